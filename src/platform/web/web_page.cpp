#include "web_page.h"

#include <emscripten.h>

// The canvas keeps its 128 × 128 drawing size; shell.html scales its CSS
// box by a whole factor with pixelated rendering, so pixels stay sharp.
EM_JS(void, web_page_present, (const uint32_t* pixels), {
  var canvas = Module['canvas'];
  if (!canvas) return;
  if (!Module.zkImage) {
    Module.zkContext = canvas.getContext('2d', {alpha: false});
    Module.zkImage = Module.zkContext.createImageData(128, 128);
  }
  Module.zkImage.data.set(HEAPU8.subarray(pixels, pixels + 128 * 128 * 4));
  Module.zkContext.putImageData(Module.zkImage, 0, 0);
});

EM_JS(void, web_page_set_text, (const char* id, const char* text), {
  var element = document.getElementById(UTF8ToString(id));
  if (element) element.textContent = UTF8ToString(text);
});

void web_page_set_dump(const char* text) { web_page_set_text("zk-dump", text); }
void web_page_set_error(const char* text) { web_page_set_text("zk-error", text); }
