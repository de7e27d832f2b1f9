// The page around the web player (shell.html): its canvas and its
// automation elements. Only src/platform/web includes emscripten's headers.
#pragma once
#include <cstdint>

// Shows a 128 × 128 picture of 0xAABBGGRR words (bytes R, G, B, A in
// memory, the canvas's own order) on the page's canvas. Written in
// JavaScript (EM_JS), hence C linkage.
extern "C" void web_page_present(const uint32_t* pixels);

// Writes the text into the element with id `zk-dump` (the end of an
// automated run) or `zk-error`.
void web_page_set_dump(const char* text);
void web_page_set_error(const char* text);
