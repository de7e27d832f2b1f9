#include "host/clipboard.h"

#include <SDL.h>

std::string host_clipboard_text() {
  if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return "";
  char* t = SDL_GetClipboardText();
  std::string s = t ? t : "";
  SDL_free(t);
  return s;
}

bool brim_set_clipboard_text(const char* text) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  return SDL_SetClipboardText(text ? text : "") == 0;
}
