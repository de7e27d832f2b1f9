// Window, renderer, streaming texture and software output over SDL2.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "gfx/video.h"
#include "base/debug.h"
#include "base/startup_report.h"
#include "host/video.h"
#include "platform/sdl_parts.h"

namespace {
SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
SDL_Texture* overlay_tex = nullptr;
int texture_w = 0, texture_h = 0;

void destroy_window() {
  if (overlay_tex) SDL_DestroyTexture(overlay_tex);
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
  overlay_tex = texture = nullptr;
  renderer = nullptr;
  window = nullptr;
  texture_w = texture_h = 0;
}

void set_icon() {
  const brim_bitmap* icon = brim_window_icon();
  if (!window || !icon) return;
  SDL_Surface* s = SDL_CreateRGBSurfaceFrom(icon->data, icon->w, icon->h, 32, icon->w * 4,
                                            0xFF0000, 0xFF00, 0xFF, 0xFF000000);
  if (!s) return;
  SDL_SetWindowIcon(window, s);
  SDL_FreeSurface(s);
}

void fatal_no_window() {
  std::printf("Unable to create window\n");
  std::fflush(stdout);
  std::exit(1);
}

Uint32 base_window_flags() {
  Uint32 f = SDL_WINDOW_SHOWN;
  if (!brim_video.fullscreen) {
    f |= SDL_WINDOW_RESIZABLE;
    if (brim_video.frameless) f |= SDL_WINDOW_BORDERLESS;
  } else {
    f |= brim_video.fullscreen_method == 2 ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
  return f;
}

SDL_Window* make_window(int w, int h) {
  int x = brim_video.window_x < 0 ? int(SDL_WINDOWPOS_UNDEFINED) : brim_video.window_x;
  int y = brim_video.window_y < 0 ? int(SDL_WINDOWPOS_UNDEFINED) : brim_video.window_y;
  if (brim_video.fullscreen) {
    int dw = 0, dh = 0;
    plat_desktop_size(&dw, &dh);
    if (dw > 0 && dh > 0) w = dw, h = dh;
  }
  return SDL_CreateWindow(brim_window_title(), x, y, w, h, base_window_flags());
}

bool make_textures(int tw, int th) {
  if (texture) SDL_DestroyTexture(texture);
  if (overlay_tex) SDL_DestroyTexture(overlay_tex);
  texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, tw, th);
  overlay_tex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, 128, 8);
  if (overlay_tex) SDL_SetTextureBlendMode(overlay_tex, SDL_BLENDMODE_BLEND);
  texture_w = texture ? tw : 0;
  texture_h = texture ? th : 0;
  return texture != nullptr;
}
}  // namespace

void plat_desktop_size(int* w, int* h) {
  *w = *h = 0;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) *w = mode.w, *h = mode.h;
}

void plat_set_title(const char* title) {
  if (window) SDL_SetWindowTitle(window, title);
}

int brim_set_screen_software(int window_w, int window_h) {
  if (window) destroy_window();
  window = make_window(window_w, window_h);
  if (!window) fatal_no_window();
  set_icon();
  return 0;
}

int brim_set_screen_plat(int window_w, int window_h, int tex_w, int tex_h, int, int) {
  if (brim_video.software_blit) return brim_set_screen_software(window_w, window_h);
  if (brim_video.fullscreen && brim_video.pixel_perfect == 1) plat_desktop_size(&window_w, &window_h);
  if (window) {
    destroy_window();
  } else if (brim_video.fullscreen) {
    // A first full-screen start shows a black window for a moment.
    SDL_Window* w = SDL_CreateWindow(brim_window_title(), SDL_WINDOWPOS_UNDEFINED,
                                     SDL_WINDOWPOS_UNDEFINED, window_w, window_h, SDL_WINDOW_SHOWN);
    if (w) {
      SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
      if (r) {
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r);
        SDL_RenderPresent(r);
      }
      SDL_Delay(2000);
      if (r) SDL_DestroyRenderer(r);
      SDL_DestroyWindow(w);
    }
  }
  double t = brim_startup_now_ms();
  window = make_window(window_w, window_h);
  if (!window) fatal_no_window();
  brim_startup_part("sdl window", t);
  t = brim_startup_now_ms();
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
  brim_startup_part("sdl renderer", t);
  if (!renderer) {
    brim_debug(" could not create sdl_renderer! dropping down to software_blit\n");
    brim_video.software_blit = true;
    return brim_set_screen_software(window_w, window_h);
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, brim_video.pixel_perfect == 1 ? "nearest" : "linear");
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  SDL_RenderPresent(renderer);
  make_textures(tex_w, tex_h);
  set_icon();
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) == 0)
    brim_debugf(" renderer: %s flags %x\n", info.name ? info.name : "?", info.flags);
  return 0;
}

bool plat_video_init() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
  brim_debugf("video init failed: %s\n", SDL_GetError());
  return false;
}

void plat_video_shutdown() {
  destroy_window();
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool plat_has_renderer() { return renderer != nullptr; }

bool plat_window_size(int* w, int* h) {
  *w = *h = 0;
  if (!window) return false;
  if (renderer) {
    if (SDL_GetRendererOutputSize(renderer, w, h) == 0) return true;
  }
  SDL_GetWindowSize(window, w, h);
  return true;
}

void plat_blit_renderer(const brim_bitmap* page, const brim_bitmap* overlay) {
  if (!renderer) return;
  SDL_ShowCursor(SDL_DISABLE);
  if (!texture || texture_w != page->w || texture_h != page->h) make_textures(page->w, page->h);
  if (texture) SDL_UpdateTexture(texture, nullptr, page->data, page->w * 4);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  brim_rect r = get_dest_rect();
  if (texture && r.w >= 0 && r.h >= 0) {
    SDL_Rect d{r.x, r.y, r.w, r.h};
    SDL_RenderCopy(renderer, texture, nullptr, &d);
  }
  if (r.w > 127 && r.h > 7 && overlay && overlay_tex) {
    SDL_UpdateTexture(overlay_tex, nullptr, overlay->data, overlay->w * 4);
    SDL_Rect d{0, 0, 128, 8};
    SDL_RenderCopy(renderer, overlay_tex, nullptr, &d);
  }
  SDL_RenderPresent(renderer);
}

void plat_blit_software(const brim_bitmap* page) {
  if (!window) return;
  SDL_ShowCursor(SDL_DISABLE);
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (!surface) return;
  // Scale into a 32-bit surface; the window surface is written directly
  // when it already has that layout.
  bool direct = surface->format->BytesPerPixel == 4;
  SDL_Surface* target = direct ? surface
                               : SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32,
                                                                SDL_PIXELFORMAT_ARGB8888);
  if (!target) return;
  if (SDL_LockSurface(target) == 0) {
    for (int y = 0; y < target->h; y++)
      SDL_memset(static_cast<uint8_t*>(target->pixels) + y * target->pitch, 0, target->w * 4);
    brim_software_scale(page, static_cast<uint32_t*>(target->pixels), target->pitch / 4, target->w,
                        target->h, get_dest_rect());
    SDL_UnlockSurface(target);
  }
  if (!direct) {
    SDL_BlitSurface(target, nullptr, surface, nullptr);
    SDL_FreeSurface(target);
  }
  SDL_UpdateWindowSurface(window);
}

void plat_mouse_state(int* x, int* y, int* buttons) {
  Uint32 b = SDL_GetMouseState(x, y);
  int r = 0;
  if (b & SDL_BUTTON(SDL_BUTTON_LEFT)) r |= 1;
  if (b & SDL_BUTTON(SDL_BUTTON_RIGHT)) r |= 2;
  if (b & SDL_BUTTON(SDL_BUTTON_MIDDLE)) r |= 4;
  *buttons = r;
}

bool plat_key_held(int scancode) {
  int n = 0;
  const Uint8* keys = SDL_GetKeyboardState(&n);
  return keys && scancode > 0 && scancode < n && keys[scancode];
}

