// The host's side of display output (platform/video_sdl.cpp, or the
// headless host's, which has no window). No SDL types appear here so the
// engine stage (gfx/video.cpp) stays plain C++.
#pragma once

struct brim_bitmap;

// Window plus renderer (or the software window when asked or when no
// renderer can be made); 0 on success.
int brim_set_screen_plat(int window_w, int window_h, int texture_w, int texture_h, int bits,
                         int flags);
// Starts the host's video service; false when no display can be had.
bool plat_video_init();
void plat_video_shutdown();

void plat_desktop_size(int* w, int* h);
void plat_set_title(const char* title);
bool plat_has_renderer();
// Current window size in pixels; false (and zeros) without a window.
bool plat_window_size(int* w, int* h);
// Platform stage: scale the 32-bit page into the window.
void plat_blit_renderer(const brim_bitmap* page32, const brim_bitmap* overlay32);
void plat_blit_software(const brim_bitmap* page32);

void plat_mouse_state(int* x, int* y, int* buttons);
bool plat_key_held(int scancode);
