// The console's drawing helpers over the engine's back page.
#pragma once

struct brim_bitmap;

// The engine's back page (brim_back_page), made at 128 x 128 when missing.
brim_bitmap* console_back_page();
// Remakes the back page at w x h (8-bit) unless it already has that size.
void console_set_back_page_size(int w, int h);
// Text in the console font, every ink pixel in one colour; null b ignored.
void console_text(brim_bitmap* b, const char* text, int x, int y, int colour);
