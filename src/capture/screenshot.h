// PNG screenshots of the display.
#pragma once

struct brim_bitmap;

// screenshot_scale limited to 1-32.
int capture_screenshot_scale();

// Writes an 8-bit bitmap as an 8-bit RGBA PNG through the 256-entry host
// palette, index 0 fully transparent, everything else opaque. The file is
// written beside its final name and renamed into place. True on success.
bool brim_save_png(const char* path, const brim_bitmap* bmp);

// Saves the 128 x 128 display, scaled by screenshot_scale, as the next free
// "<base>_NNN.png" on the desktop. Colour 0 is saved as 16 so black stays
// opaque. 0 when the file exists afterwards, 1 otherwise.
int save_png_screenshot(const brim_bitmap* display);
