// Cost of one heavy frame of drawing: a full-screen map, 200 sprites, 50
// filled circles and a full-screen patterned rectfill, then presentation
// through the screen palette and the 32-bit conversion.
#include <benchmark/benchmark.h>

#include "gfx/display.h"
#include "gfx/draw_state.h"
#include "gfx/shapes.h"
#include "gfx/sprites.h"
#include "gfx/video.h"
#include "machine/cart.h"
#include "machine/machine.h"
#include "cart/cart_record.h"

namespace {

struct scene {
  zurkel_machine m;
  scene() {
    m.screen = brim_create_bitmap(128, 128, 8);
    m.display = brim_create_bitmap(128, 128, 8);
    m.cart = brim_create_zurkel_cart();
    gfx_reset_draw_state(&m);
    for (int y = 0; y < 128; y++)
      for (int x = 0; x < 128; x++) m.cart->gfx->line[y][x] = static_cast<uint8_t>((x * 7 + y * 3) & 15);
    for (int y = 0; y < 64; y++)
      for (int x = 0; x < 128; x++) m.cart->map->line[y][x] = static_cast<uint8_t>(1 + (x + y) % 255);
  }
  ~scene() {
    brim_destroy_bitmap(m.screen);
    brim_destroy_bitmap(m.display);
    brim_destroy_zurkel_cart(m.cart);
  }
  void frame(int t) {
    gfx_cls(&m, 0);
    gfx_map(&m, 0, 0, -(t & 7), 0, 17, 16, 0);
    for (int i = 0; i < 200; i++)
      gfx_spr(&m, i & 255, (i * 37 + t) % 136 - 8, (i * 53) % 136 - 8, 8, 8, i & 1, false);
    for (int i = 0; i < 50; i++) gfx_circfill(&m, (i * 29) % 128, (i * 41 + t) % 128, 2 + i % 10, i & 15);
    gfx_fillp(&m, 0x5A5A8000);
    gfx_rectfill(&m, 0, 0, 127, 127, 0x21);
    gfx_fillp(&m, std::nullopt);
  }
};

void BM_HeavyFrameDraw(benchmark::State& state) {
  scene s;
  int t = 0;
  for (auto _ : state) {
    s.frame(t++);
    benchmark::DoNotOptimize(s.m.screen->data);
  }
}
BENCHMARK(BM_HeavyFrameDraw)->Unit(benchmark::kMicrosecond);

void BM_HeavyFrameDrawAndPresent(benchmark::State& state) {
  scene s;
  brim_bitmap* work = brim_create_bitmap(128, 128, 32);
  uint8_t pal[768];
  for (int i = 0; i < 768; i++) pal[i] = static_cast<uint8_t>(i);
  int t = 0;
  for (auto _ : state) {
    s.frame(t++);
    gfx_present_screen(&s.m, true);
    brim_page_to_argb(s.m.display, work, pal);
    benchmark::DoNotOptimize(work->data);
  }
  brim_destroy_bitmap(work);
}
BENCHMARK(BM_HeavyFrameDrawAndPresent)->Unit(benchmark::kMicrosecond);

void BM_SoftwareScale640(benchmark::State& state) {
  brim_bitmap* work = brim_create_bitmap(128, 128, 32);
  static uint32_t surface[640 * 640];
  for (auto _ : state) {
    brim_software_scale(work, surface, 640, 640, 640, brim_rect{0, 0, 640, 640});
    benchmark::DoNotOptimize(surface);
  }
  brim_destroy_bitmap(work);
}
BENCHMARK(BM_SoftwareScale640)->Unit(benchmark::kMicrosecond);

}  // namespace
