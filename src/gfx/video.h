// Engine stage of display output and the window settings. Everything here
// is plain logic; the SDL calls live in platform/video_sdl.cpp behind
// host/video.h.
//
// Host loop use: brim_video_init() at start ("brim_video_init"), then
// brim_set_screen(128, 128, 8, 0x100); each iteration the console draws
// into brim_back_page and the loop calls brim_blit_back_page();
// brim_video_exit() at shut-down. The event pump calls
// brim_toggle_fullscreen() (F11, Alt+Enter) and brim_toggle_show_fps() (Ctrl+1).
#pragma once
#include <cstdint>

#include "base/bitmap.h"

struct brim_rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// Display settings, filled from config.txt and the command line.
struct brim_video_config {
  int window_w = 0, window_h = 0;     // below 32 means 640 x 480
  int window_x = -1, window_y = -1;   // -1: the window manager decides
  bool frameless = false;
  bool fullscreen = false;
  bool windowed = false;              // forces windowed at set-up
  int fullscreen_method = 1;          // 2: real full screen, else desktop-sized
  bool software_blit = false;
  int pixel_perfect = -1;             // -1: decide at the first set-up
  brim_rect draw_rect;                // override when w and h are above 0
  bool show_fps = false;
  bool headless = false;              // no window at all
  int rmb_key = 0;                    // scancode: left click held with it is a right click
  int lmb_emulate_key = 0;            // scancodes that press bit 0 / bit 1 while held
  int rmb_emulate_key = 0;
};
extern brim_video_config brim_video;

// Host output descriptor: the window size with a full clip rectangle.
struct brim_screen_desc {
  int w = 0, h = 0, depth = 32;
  int cl = 0, ct = 0, cr = 0, cb = 0;
};
extern brim_screen_desc brim_screen;

extern brim_bitmap* brim_back_page;    // 8-bit, 128 x 128 while the console runs
extern uint8_t brim_palette[768];      // 256 x (red, green, blue)
extern int32_t smoothed_fps;           // 16.16
extern uint64_t frame_start_t;         // ms of the previous presentation, 0 before

// Grey-ramp palette, built-in fonts and (unless headless) the host's video.
void brim_video_init();
void brim_video_exit();
void brim_set_palette(const uint8_t* rgb768);
int brim_set_screen(int width, int height, int bits, int flags);
// The run-time toggles (F11 / Alt+Enter, Ctrl+1); config.txt keeps the new
// state (cconfig.windowed, cconfig.show_fps).
void brim_toggle_fullscreen();
void brim_toggle_show_fps();
void brim_blit_back_page();
int brim_get_fps();
// The host frame rate as the machine sees it: the smoothed presentation
// rate, or 60 under the virtual clock (-fast), where the loop runs one
// iteration per update period and a measured rate would only echo the
// target (and a dropped rate could never come back).
int brim_host_fps();
brim_rect get_dest_rect();
void brim_get_mouse(int* x, int* y, int* buttons);
void brim_set_mouse(int x, int y);
// Window title and 32-bit icon, applied to every window made from now on.
void brim_set_window_title(const char* title);
void brim_set_window_icon(const brim_bitmap* icon32);
const char* brim_window_title();
const brim_bitmap* brim_window_icon();

// Picture conversion between 8-bit indices and 32-bit colours.
void brim_convert_bitmap(const brim_bitmap* src, brim_bitmap* dst, const uint8_t* palette);

// --- Pure pieces, exposed for the platform layer and for tests ---

// One frame of the smoothed rate: dt = ms since the previous presentation.
int32_t brim_fps_step(int32_t smoothed, int64_t dt);
// The destination rectangle for a window of ww x wh and a page of pw x ph.
brim_rect brim_compute_dest_rect(const brim_rect& override, int ww, int wh, int pw, int ph,
                                 bool pixel_perfect);
// 8-bit page to 0xFFRRGGBB pixels through a 768-byte palette.
void brim_page_to_argb(const brim_bitmap* src, brim_bitmap* dst, const uint8_t* palette);
// Software output: clamps the rectangle to W x H and nearest-neighbour
// scales the 32-bit source into dst (pitch in pixels). Returns false when
// nothing is drawn.
bool brim_software_scale(const brim_bitmap* src, uint32_t* dst, int pitch, int W, int H,
                         brim_rect r);
// Host mouse position to screen coordinates.
void brim_mouse_to_screen(int hx, int hy, const brim_rect& r, int pw, int ph, int* x, int* y);
