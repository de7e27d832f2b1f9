// The page around the web player (shell.html): its canvas, its automation
// elements, downloads, the clipboard and the stored files. Only
// src/platform/web includes emscripten's headers. The functions written in
// JavaScript (EM_JS) have C linkage.
#pragma once
#include <cstdint>
#include <string>

extern "C" {
// Shows w x h pixels of 0xAABBGGRR words (bytes R, G, B, A in memory, the
// canvas's own order) on the page's canvas.
void web_page_present(const uint32_t* pixels, int w, int h);
void web_page_set_canvas_size(int w, int h);
void web_page_canvas_size(int* w, int* h);
void web_page_screen_size(int* w, int* h);
void web_page_toggle_fullscreen();
void web_page_offer_download(const char* path);
void web_page_copy_text(const char* text);
}

// Stored files: the per-user folder lives in IndexedDB (IDBFS). Reading
// happens once before start-up, writing whenever asked; done() runs
// afterwards (also when storage is unavailable, as in a private window).
void web_page_load_storage(const char* folder, void (*done)());
void web_page_sync_storage();
void web_page_sync_storage_then(void (*done)());

// The text of the page's last paste event, or fallback before any.
std::string web_page_pasted_text(const std::string& fallback);
// The page's query string (location.search).
std::string web_page_query();
// The cart inlined by an export: its name and 32 KiB image (base64 text of
// the zk-cart element); empty when the page has none.
std::string web_page_cart_name();
std::string web_page_cart_base64();
// Writes text into the element with id `zk-dump` (the end of an automated
// run) or `zk-error`.
void web_page_set_dump(const char* text);
void web_page_set_error(const char* text);
void web_page_set_title(const char* title);
