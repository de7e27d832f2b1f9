#include "gfx/video.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gfx/font.h"
#include "base/debug.h"
#include "host/time.h"
#include "host/video.h"
#include "settings/config.h"
#include "settings/options.h"

brim_video_config brim_video;
brim_screen_desc brim_screen;
brim_bitmap* brim_back_page = nullptr;
uint8_t brim_palette[768];
int32_t smoothed_fps = 0;
uint64_t frame_start_t = 0;

namespace {
// The engine stage's own state (the globals above are read elsewhere).
struct video_state {
  brim_bitmap* work32 = nullptr;    // the back page in 32-bit colours
  brim_bitmap* overlay32 = nullptr; // 128 x 8 frame-counter strip
  int desktop_w = 0, desktop_h = 0;
  char window_title[256] = "zurkel";
  brim_bitmap* window_icon = nullptr;
  // Mouse warp: the host position at the time of brim_set_mouse, and the target.
  bool warp_pending = false;
  int warp_host_x = 0, warp_host_y = 0, warp_x = 0, warp_y = 0;
} stage;

void keep_settings() {
  cconfig.windowed = brim_video.fullscreen ? 0 : 1;
  cconfig.show_fps = brim_video.show_fps ? 1 : 0;
}
}  // namespace

void brim_video_init() {
  if (!brim_video.headless && !plat_video_init()) brim_video.headless = true;
  for (int i = 0; i < 256; i++) brim_palette[3 * i] = brim_palette[3 * i + 1] = brim_palette[3 * i + 2] = static_cast<uint8_t>(i);
  plat_desktop_size(&stage.desktop_w, &stage.desktop_h);
  brim_text_init();
}

void brim_video_exit() {
  plat_video_shutdown();
  brim_destroy_bitmap(stage.work32);
  brim_destroy_bitmap(stage.overlay32);
  brim_destroy_bitmap(brim_back_page);
  brim_destroy_bitmap(stage.window_icon);
  stage.work32 = stage.overlay32 = brim_back_page = stage.window_icon = nullptr;
}

void brim_set_palette(const uint8_t* rgb768) {
  if (rgb768 && rgb768 != brim_palette) std::memcpy(brim_palette, rgb768, 768);
}

void brim_set_window_title(const char* title) {
  std::snprintf(stage.window_title, sizeof stage.window_title, "%s", title ? title : "");
  plat_set_title(stage.window_title);
}

void brim_set_window_icon(const brim_bitmap* icon32) {
  brim_destroy_bitmap(stage.window_icon);
  stage.window_icon = nullptr;
  if (!icon32 || icon32->depth != 32) return;
  stage.window_icon = brim_create_bitmap(icon32->w, icon32->h, 32);
  if (!stage.window_icon) return;
  for (int y = 0; y < icon32->h; y++) std::memcpy(stage.window_icon->line[y], icon32->line[y], static_cast<size_t>(icon32->w) * 4);
}

const char* brim_window_title() { return stage.window_title; }
const brim_bitmap* brim_window_icon() { return stage.window_icon; }

int brim_set_screen(int width, int height, int bits, int flags) {
  brim_debugf("brim_set_screen %d %d %d %x\n", width, height, bits, flags);
  if (brim_video.pixel_perfect == -1) {
    brim_video.pixel_perfect = height < 480 ? 1 : 0;
    brim_debugf(" set pixel_perfect %d\n", brim_video.pixel_perfect);
  }
  if (width == 0 || height == 0) {
    width = stage.desktop_w;
    height = stage.desktop_h;
    brim_debugf("retrieving desktop resolution: %d %d\n", width, height);
  }
  int ww = brim_video.window_w, wh = brim_video.window_h;
  if (ww < 32 || wh < 32) ww = 640, wh = 480;
  brim_debugf(" window size: %d %d\n", ww, wh);
  if (!(flags & 0x100)) {
    if (flags & 4) brim_video.fullscreen = false;
    if (flags & 8) brim_video.fullscreen = true;
  } else if (brim_video.windowed) {
    brim_video.fullscreen = false;
  }
  if (!brim_video.headless) {
    int r = brim_set_screen_plat(ww, wh, width, height, bits, flags);
    if (r != 0) return r;
  }
  brim_screen.w = brim_screen.cr = ww;
  brim_screen.h = brim_screen.cb = wh;
  brim_screen.cl = brim_screen.ct = 0;
  if (!brim_back_page || brim_back_page->w != width || brim_back_page->h != height ||
      brim_back_page->depth != bits) {
    brim_destroy_bitmap(brim_back_page);
    brim_back_page = brim_create_bitmap(width, height, bits);
  }
  return 0;
}

void brim_toggle_fullscreen() {
  brim_video.fullscreen = !brim_video.fullscreen;
  int ww = brim_video.window_w, wh = brim_video.window_h;
  if (ww < 32 || wh < 32) ww = 640, wh = 480;
  if (brim_back_page && !brim_video.headless)
    brim_set_screen_plat(ww, wh, brim_back_page->w, brim_back_page->h, brim_back_page->depth, 0);
  keep_settings();
}

void brim_toggle_show_fps() {
  brim_video.show_fps = !brim_video.show_fps;
  keep_settings();
}

int32_t brim_fps_step(int32_t smoothed, int64_t dt) {
  int32_t r = dt <= 0 ? (1001 << 16) : static_cast<int32_t>((1000 / std::min<int64_t>(dt, 1000) + 1) << 16);
  int32_t s = static_cast<int32_t>((int64_t(r) + 15 * int64_t(smoothed)) / 16);
  if (s < r) s = std::min(r, s + 0x1000);
  else if (s > r) s = std::max(r, s - 0x1000);
  return s;
}

int brim_get_fps() { return smoothed_fps >> 16; }

int brim_host_fps() { return zopts.fast ? 60 : brim_get_fps(); }

brim_rect brim_compute_dest_rect(const brim_rect& override, int ww, int wh, int pw, int ph,
                                 bool pixel_perfect) {
  if (override.w > 0 && override.h > 0) return override;
  brim_rect r;
  if (ww <= 0 || wh <= 0 || pw <= 0 || ph <= 0) return r;
  if (pixel_perfect) {
    int k = 1;
    while (pw * (k + 1) <= ww && ph * (k + 1) <= wh) k++;
    r.w = pw * k;
    r.h = ph * k;
  } else if (float(pw) / float(ph) > float(ww) / float(wh)) {
    r.w = ww;
    r.h = static_cast<int>(int64_t(ww) * ph / pw);
  } else {
    r.h = wh;
    r.w = static_cast<int>(int64_t(wh) * pw / ph);
  }
  r.x = (ww - r.w) / 2;
  r.y = (wh - r.h) / 2;
  return r;
}

brim_rect get_dest_rect() {
  int ww = 0, wh = 0;
  plat_window_size(&ww, &wh);
  int pw = brim_back_page ? brim_back_page->w : 128, ph = brim_back_page ? brim_back_page->h : 128;
  return brim_compute_dest_rect(brim_video.draw_rect, ww, wh, pw, ph, brim_video.pixel_perfect == 1);
}

void brim_page_to_argb(const brim_bitmap* src, brim_bitmap* dst, const uint8_t* palette) {
  uint32_t lut[256];
  for (int i = 0; i < 256; i++)
    lut[i] = 0xFF000000u | uint32_t(palette[3 * i]) << 16 | uint32_t(palette[3 * i + 1]) << 8 | palette[3 * i + 2];
  int w = std::min(src->w, dst->w), h = std::min(src->h, dst->h);
  for (int y = 0; y < h; y++) {
    const uint8_t* s = src->line[y];
    uint32_t* d = brim_line32(dst, y);
    for (int x = 0; x < w; x++) d[x] = lut[s[x]];
  }
}

bool brim_software_scale(const brim_bitmap* src, uint32_t* dst, int pitch, int W, int H,
                         brim_rect r) {
  r.x = std::clamp(r.x, 0, std::max(W - 1, 0));
  r.w = std::min(r.w, W - r.x);
  r.y = std::clamp(r.y, 0, std::max(H - 1, 0));
  r.h = std::min(r.h, H - r.y);
  if (r.w <= 0 || r.h <= 0) return false;
  int64_t step = (int64_t(src->w) * 65536) / r.w;
  for (int j = 0; j < r.h; j++) {
    const uint32_t* s = reinterpret_cast<const uint32_t*>(src->line[(int64_t(src->h) * j) / r.h]);
    uint32_t* d = dst + int64_t(r.y + j) * pitch + r.x;
    int64_t u = 0;
    for (int i = 0; i < r.w; i++, u += step) d[i] = s[u >> 16];
  }
  return true;
}

void brim_blit_back_page() {
  if (!brim_back_page) return;
  uint64_t now = host_ticks_ms();
  if (frame_start_t == 0) frame_start_t = now;
  int64_t dt = int64_t(now - frame_start_t);
  frame_start_t = now;
  smoothed_fps = brim_fps_step(smoothed_fps, dt);
  if (brim_video.headless || brim_back_page->depth != 8) return;

  if (!stage.work32 || stage.work32->w != brim_back_page->w || stage.work32->h != brim_back_page->h) {
    brim_destroy_bitmap(stage.work32);
    stage.work32 = brim_create_bitmap(brim_back_page->w, brim_back_page->h, 32);
    if (!stage.work32) return;
  }
  brim_page_to_argb(brim_back_page, stage.work32, brim_palette);
  char text[32];
  if (brim_video.software_blit || !plat_has_renderer()) {
    if (brim_video.show_fps) {
      std::snprintf(text, sizeof text, "%03d", brim_get_fps());
      brim_draw_text_phat(stage.work32, text, brim_font1, 1, 1, 0, 0x000000, 0xFFFFFF);
    }
    plat_blit_software(stage.work32);
    return;
  }
  const brim_bitmap* overlay = nullptr;
  if (brim_video.show_fps) {
    if (!stage.overlay32) stage.overlay32 = brim_create_bitmap(128, 8, 32);
    if (stage.overlay32) {
      std::memset(stage.overlay32->data, 0, 128 * 8 * 4);
      std::snprintf(text, sizeof text, "%03d fps", brim_get_fps());
      brim_draw_text_ex(stage.overlay32, text, brim_font1, 1, 1, 0, 0);
      overlay = stage.overlay32;
    }
  }
  plat_blit_renderer(stage.work32, overlay);
}

void brim_mouse_to_screen(int hx, int hy, const brim_rect& r, int pw, int ph, int* x, int* y) {
  *x = r.w > 0 ? static_cast<int>(int64_t(hx - r.x) * pw / r.w) : 0;
  *y = r.h > 0 ? static_cast<int>(int64_t(hy - r.y) * ph / r.h) : 0;
}

void brim_get_mouse(int* x, int* y, int* buttons) {
  int mx = 0, my = 0, mb = 0;
  if (!brim_back_page) {
    if (x) *x = 0;
    if (y) *y = 0;
    if (buttons) *buttons = 0;
    return;
  }
  int hx = 0, hy = 0, hb = 0;
  plat_mouse_state(&hx, &hy, &hb);
  bool warped = false;
  if (stage.warp_pending) {
    if (hx == stage.warp_host_x || hy == stage.warp_host_y) {
      mx = stage.warp_x, my = stage.warp_y;
      warped = true;
    } else {
      stage.warp_pending = false;
    }
  }
  mb = hb & 7;
  if (brim_video.rmb_key && (mb & 1) && plat_key_held(brim_video.rmb_key)) mb = (mb & ~1) | 2;
  if (brim_video.lmb_emulate_key && plat_key_held(brim_video.lmb_emulate_key)) mb |= 1;
  if (brim_video.rmb_emulate_key && plat_key_held(brim_video.rmb_emulate_key)) mb |= 2;
  if (!warped) brim_mouse_to_screen(hx, hy, get_dest_rect(), brim_back_page->w, brim_back_page->h, &mx, &my);
  if (x) *x = mx;
  if (y) *y = my;
  if (buttons) *buttons = mb;
}

void brim_set_mouse(int x, int y) {
  int hb = 0;
  plat_mouse_state(&stage.warp_host_x, &stage.warp_host_y, &hb);
  stage.warp_x = x;
  stage.warp_y = y;
  stage.warp_pending = true;
}

static int nearest_entry(int r, int g, int b, const uint8_t* pal) {
  int best = 0, best_d = -1;
  for (int k = 0; k < 256; k++) {
    int dr = r - pal[3 * k], dg = g - pal[3 * k + 1], db = b - pal[3 * k + 2];
    int d = dr * dr + dg * dg + db * db;
    if (d < 192) return k;
    if (best_d < 0 || d < best_d) best_d = d, best = k;
  }
  return best;
}

void brim_convert_bitmap(const brim_bitmap* src, brim_bitmap* dst, const uint8_t* palette) {
  if (!src || !dst || src->w != dst->w || src->h != dst->h) return;
  if (src->depth == dst->depth) {
    size_t row = static_cast<size_t>(src->w) * (src->depth / 8);
    for (int y = 0; y < src->h; y++) std::memcpy(dst->line[y], src->line[y], row);
    return;
  }
  if (src->depth == 8) {
    for (int y = 0; y < src->h; y++)
      for (int x = 0; x < src->w; x++) {
        int i = src->line[y][x];
        uint32_t rgb = uint32_t(palette[3 * i]) << 16 | uint32_t(palette[3 * i + 1]) << 8 | palette[3 * i + 2];
        brim_line32(dst, y)[x] = rgb | (i ? 0xFF000000u : 0u);
      }
    return;
  }
  for (int y = dst->ct; y < dst->cb; y++)
    for (int x = dst->cl; x < dst->cr; x++) {
      uint32_t p = 0;
      if (x >= src->cl && x < src->cr && y >= src->ct && y < src->cb)
        p = reinterpret_cast<const uint32_t*>(src->line[y])[x];
      dst->line[y][x] = static_cast<uint8_t>(nearest_entry((p >> 16) & 255, (p >> 8) & 255, p & 255, palette));
    }
}
