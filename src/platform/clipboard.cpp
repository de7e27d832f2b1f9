#include "host/clipboard.h"

#include <SDL.h>

bool brim_set_clipboard_text(const char* text) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  return SDL_SetClipboardText(text ? text : "") == 0;
}
