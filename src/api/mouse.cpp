#include "api/mouse.h"

#include "gfx/video.h"
#include "input/buttons.h"

int zurkel_mouse_stat(int what) {
  if (what == 3) return zbuttons.pressed[64];
  if (what == 4) return zbuttons.pressed[65];
  if (what < 0 || what > 2) return 0;
  int v[3] = {0, 0, 0};
  brim_get_mouse(&v[0], &v[1], &v[2]);
  return v[what];
}
