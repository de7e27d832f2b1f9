// Item numbers of the graphics pod (data.pod item 1) and the console font
// pod (data.pod item 2). The browser's "resource sprite" numbers are item
// numbers of the graphics pod. Icons are 8-bit, colour 0 transparent.
#pragma once

enum gfx_resource_item {
  GFX_RES_PALETTE = 1,          // 256 x (r, g, b)
  GFX_RES_TITLE = 4,            // text: the window title
  GFX_RES_WINDOW_ICON = 6,      // 32 x 32, 32-bit
  GFX_RES_MENU_ARROW = 7,       // 7 x 7, pause menu and browser menus
  GFX_RES_DISK_FIRST = 8,       // 12 x 12, 12 frames (8-19): disk activity
  GFX_RES_DISK_FRAMES = 12,
  GFX_RES_DEVKIT_MOUSE = 20,    // 15 x 15, the "devkit mouse enabled" banner
  GFX_RES_KEY_FIRST = 21,       // 22 x 12 key-configuration pictures: 21-32 the
                                // twelve button entries, 33 pause, 34 finished
  GFX_RES_KEY_PAUSE = 33,
  GFX_RES_KEY_DONE = 34,
  GFX_RES_CART_TEMPLATE = 145,  // 160 x 205, PNG cartridge template
  GFX_RES_BOARD_CART = 176,     // 7 x 7 browser icons
  GFX_RES_LOCAL_CART = 177,
  GFX_RES_SPECIAL_ITEM = 178,
  GFX_RES_PNG_FILE = 180,
  GFX_RES_FOLDER = 181,
  GFX_RES_PARENT_FOLDER = 185,
  GFX_RES_LIST_FIRST = 187,     // 187-194: one per browser list
};

struct brim_pod;
struct brim_bitmap;

// Takes the console's graphics from data.pod's graphics and font pods:
// the host palette, the window title ("ZURKEL" until one is found) and icon,
// the console font (zurkel_console_font) and the icons. Missing items keep
// the defaults. The pods stay the caller's.
void gfx_load_resources(const brim_pod* gfx_pod, const brim_pod* font_pod);
void gfx_free_resources();
// An icon or picture of the graphics pod by item number, or null.
const brim_bitmap* gfx_resource_bitmap(int item);
// Draws an 8-bit icon, colour 0 transparent, clipped to the target's clip.
void gfx_draw_icon(brim_bitmap* dst, int item, int x, int y);
