// A machine with a screen, display and live cart for graphics tests.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "gfx/draw_state.h"
#include "machine/cart.h"
#include "machine/machine.h"
#include "cart/cart_record.h"

struct GfxMachine : ::testing::Test {
  zurkel_machine* m = nullptr;

  void SetUp() override {
    m = new zurkel_machine;
    m->screen = brim_create_bitmap(128, 128, 8);
    m->display = brim_create_bitmap(128, 128, 8);
    m->cart = brim_create_zurkel_cart();
    gfx_reset_draw_state(m);
  }
  void TearDown() override {
    brim_destroy_bitmap(m->screen);
    brim_destroy_bitmap(m->display);
    brim_destroy_zurkel_cart(m->cart);
    delete m;
  }
  int px(int x, int y) const { return m->screen->line[y][x]; }
  int count(int colour) const {
    int n = 0;
    for (int y = 0; y < 128; y++)
      for (int x = 0; x < 128; x++) n += px(x, y) == colour;
    return n;
  }
  // Rows of the screen region as text, one char per pixel ('.' for 0).
  std::string region(int x0, int y0, int w, int h) const {
    std::string s;
    for (int y = y0; y < y0 + h; y++) {
      for (int x = x0; x < x0 + w; x++) {
        int v = px(x, y);
        s += v == 0 ? '.' : "0123456789abcdef"[v & 15];
      }
      s += '\n';
    }
    return s;
  }
  void sheet(int x, int y, int c) { m->cart->gfx->line[y][x] = static_cast<uint8_t>(c); }
};
