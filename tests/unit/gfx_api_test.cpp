// The script entry points: argument counting, defaults and pen rules.
#include "api/registry.h"
#include "gfx/font.h"
#include "gfx/glyph_sheet.h"
#include "gfx/print.h"
#include "gfx_fixture.h"
#include "script/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "machine/heap.h"

struct GfxApi : GfxMachine {
  lua_State* L = nullptr;
  brim_font* font = nullptr;
  void SetUp() override {
    GfxMachine::SetUp();
    L = lua_newstate(zurkel_lua_alloc, m);
    for (const zk_api_entry* e = zk_gfx_api; e->name; e++) lua_register(L, e->name, e->fn);
    lua_pushcfunction(L, [](lua_State* S) {
      lua_pushstring(S, luaL_typename(S, 1));
      return 1;
    });
    lua_setglobal(L, "type");
    // A font where every glyph is one ink pixel followed by blank columns.
    font = brim_create_font();
    for (int i = 0; i < 256; i++) {
      brim_bitmap* g = brim_create_bitmap(3, 5, 8);
      g->line[0][0] = 1;
      font->glyphs.push_back(g);
    }
    zurkel_console_font = font;
  }
  void TearDown() override {
    zurkel_console_font = nullptr;
    brim_destroy_font(font);
    lua_close(L);
    GfxMachine::TearDown();
  }
  void run(const char* code) { ASSERT_EQ(luaL_dostring(L, code), 0) << lua_tostring(L, -1); }
  std::string eval(const char* expr) {
    std::string code = std::string("local r = ") + expr + " return type(r)..':'..tostring(r)";
    lua_pushcfunction(L, [](lua_State* S) {
      lua_pushstring(S, lua_isnumber(S, 1) ? std::to_string(zk_arg_int(S, 1)).c_str()
                                           : (lua_isboolean(S, 1) ? (lua_toboolean(S, 1) ? "true" : "false") : "nil"));
      return 1;
    });
    lua_setglobal(L, "tostring");
    if (luaL_dostring(L, code.c_str()) != 0) return std::string("error: ") + lua_tostring(L, -1);
    std::string r = lua_tostring(L, -1);
    lua_pop(L, 1);
    return r;
  }
  std::string printed_width(const char* code) {
    gfx_cls(m, 0);
    m->draw[DS_CURSOR_X] = 0;
    m->draw[DS_CURSOR_Y] = 0;
    run(code);
    int n = 0;
    for (int x = 0; x < 128; x += 4) n += px(x, 0) != 0;
    return std::to_string(n);
  }
};

TEST_F(GfxApi, CircDefaultsAndPen) {
  run("circ(64, 64)");
  EXPECT_EQ(px(68, 64), 6);  // radius 4 in the pen colour
  EXPECT_EQ(px(64, 60), 6);
  gfx_cls(m, 0);
  run("circ(64, 64, nil, 9)");  // a nil radius reads 0
  EXPECT_EQ(count(9), 1);
  run("circ(64, 64, -1, 8)");
  EXPECT_EQ(m->draw[DS_PEN], 8);
  run("color(3) circfill(64, 64, -1, 8)");
  EXPECT_EQ(m->draw[DS_PEN], 3);
  gfx_cls(m, 0);
  run("circ(64)");  // fewer than two arguments: nothing
  EXPECT_EQ(count(0), 128 * 128);
}

TEST_F(GfxApi, PsetPgetArguments) {
  run("pset(3)");
  EXPECT_EQ(count(0), 128 * 128);
  run("pset(3, 4, 0x19)");
  EXPECT_EQ(px(3, 4), 9);
  EXPECT_EQ(eval("pget(3, 4)"), "number:9");
  EXPECT_EQ(eval("pget(3)"), "number:0");
  EXPECT_EQ(eval("pget(200, 5)"), "number:0");
  run("pset(5.9, 6.99, 2)");  // integer parts
  EXPECT_EQ(px(5, 6), 2);
  run("pset(-0.5, 7, 2)");    // floor, not truncation
  EXPECT_EQ(px(0, 7), 0);
}

TEST_F(GfxApi, SprFractionalSizeAndFlip) {
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 16; x++) sheet(x, y, 1 + ((x + y) % 15));
  run("spr(0, 0, 0, 1.5, 1.5)");
  EXPECT_NE(px(11, 11), 0);
  EXPECT_EQ(px(12, 0), 0);
  EXPECT_EQ(px(0, 12), 0);
  gfx_cls(m, 0);
  run("spr(0, 0, 0, 1)");  // h missing: zero rows
  EXPECT_EQ(count(0), 128 * 128);
  run("spr(0, 20, 0, 1, 1, true)");
  EXPECT_EQ(px(20, 0), m->cart->gfx->line[0][7]);
  run("spr(0, 40, 0, 1, 1, false, true)");
  EXPECT_EQ(px(40, 0), m->cart->gfx->line[7][0]);
}

TEST_F(GfxApi, SsprArguments) {
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 8; x++) sheet(x, y, 1 + x);
  run("sspr(0, 0, 8, 8, 16, 0, -16, 16)");
  EXPECT_EQ(px(0, 0), 8);
  EXPECT_EQ(px(15, 15), 1);
  gfx_cls(m, 0);
  run("sspr(0, 0, 8, 8, 0, 0, 8, 8, true)");
  EXPECT_EQ(px(0, 0), 8);
  gfx_cls(m, 0);
  run("sspr(0, 0, 8, 0.5, 0, 0)");  // sh below 1
  EXPECT_EQ(count(0), 128 * 128);
}

TEST_F(GfxApi, MapDefaultsAndAlias) {
  sheet(8, 0, 5);
  m->cart->map->line[31][15] = 1;
  m->cart->map->line[0][0] = 1;
  run("map(0, 0, 0, 0)");
  EXPECT_EQ(px(0, 0), 5);
  gfx_cls(m, 0);
  run("mapdraw(0, 0, 8, 0, 1, 1)");
  EXPECT_EQ(px(8, 0), 5);
  gfx_cls(m, 0);
  run("map(0, 0, 0, 0, 0, 1)");
  EXPECT_EQ(count(0), 128 * 128);
}

TEST_F(GfxApi, FlagsAndSheetAccess) {
  EXPECT_EQ(eval("fget(300)"), "number:0");
  EXPECT_EQ(eval("fget(1, 8)"), "boolean:false");
  run("fset(1, 2, true)");
  EXPECT_EQ(eval("fget(1)"), "number:4");
  EXPECT_EQ(eval("fget(1, 2)"), "boolean:true");
  run("fset(1, 2, 0)");  // 0 is true in the script's sense
  EXPECT_EQ(eval("fget(1, 2)"), "boolean:true");
  run("fset(1, 2, nil)");
  EXPECT_EQ(eval("fget(1)"), "number:0");
  run("fset(1)");
  EXPECT_EQ(eval("fget()"), "nil:nil");
  run("sset(1, 0, 9) mset(3, 40, 0x21)");
  EXPECT_EQ(eval("sget(1, 0)"), "number:9");
  EXPECT_EQ(eval("mget(3, 40)"), "number:33");
  EXPECT_EQ(eval("sget(6, 80)"), "number:1");
  run("sset(2, 0)");
  EXPECT_EQ(eval("sget(2, 0)"), "number:0");
}

TEST_F(GfxApi, PaletteAndFillArguments) {
  run("pal(0, 8)");
  EXPECT_EQ(m->draw[DS_PAL], GFX_TRANSPARENT | 8);
  run("pal(1, 9, 0.5)");  // integer part 0: draw palette
  EXPECT_EQ(m->draw[DS_PAL + 1], 9);
  run("pal(1, 10, -1)");
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 1], 10);
  run("pal(5)");
  EXPECT_EQ(m->draw[DS_PAL], GFX_TRANSPARENT);
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 1], 1);
  run("palt(3, 0) palt(0, false)");
  EXPECT_EQ(m->draw[DS_PAL + 3], GFX_TRANSPARENT | 3);
  EXPECT_EQ(m->draw[DS_PAL], 0);
  run("palt(3)");
  EXPECT_EQ(m->draw[DS_PAL + 3], 3);
  EXPECT_EQ(m->draw[DS_PAL], GFX_TRANSPARENT);
  run("fillp(1.5)");
  EXPECT_EQ(m->draw[DS_FILLP], 0x10001);
  run("fillp(-0.5)");
  EXPECT_EQ(m->draw[DS_FILLP], 0x1FFFF);
  run("fillp()");
  EXPECT_EQ(m->draw[DS_FILLP], 0);
  run("color()");
  EXPECT_EQ(m->draw[DS_PEN], 0);
  run("clip(1, 2, 3) camera(5) cursor(7)");
  EXPECT_EQ(m->draw[DS_CLIP_RIGHT], 128);
  EXPECT_EQ(m->draw[DS_CAMERA_X], 5);
  EXPECT_EQ(m->draw[DS_CAMERA_Y], 0);
  EXPECT_EQ(m->draw[DS_CURSOR_X], 7);
  run("cls(17)");
  EXPECT_EQ(count(1), 128 * 128);
}

TEST_F(GfxApi, PrintValues) {
  EXPECT_EQ(printed_width("print(nil)"), "5");  // [nil]
  EXPECT_EQ(printed_width("print(true)"), "4");
  EXPECT_EQ(printed_width("print(false)"), "5");
  EXPECT_EQ(printed_width("print({})"), "7");  // [table]
  EXPECT_EQ(printed_width("print('abc', 5)"), "3");
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 0);
  EXPECT_EQ(printed_width("print()"), "0");
  run("print('x', 10, 20, 8)");
  EXPECT_EQ(m->draw[DS_CURSOR_X], 10);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 20);
  EXPECT_EQ(px(10, 20), 8);
  m->draw[DS_CURSOR_Y] = 0;
  run("print('a')");
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 6);
}
