#include "web_page.h"

#include <emscripten.h>

#include <cstdint>
#include <cstdlib>

EM_JS(void, web_page_present, (const uint32_t* pixels, int w, int h), {
  var canvas = Module["canvas"];
  if (!canvas) return;
  if (canvas.width != w || canvas.height != h) {
    canvas.width = w;
    canvas.height = h;
    Module.zkImage = null;
    if (window.zkFitCanvas) zkFitCanvas();
  }
  if (!Module.zkImage) {
    Module.zkContext = canvas.getContext("2d", {alpha: false});
    Module.zkImage = Module.zkContext.createImageData(w, h);
  }
  Module.zkImage.data.set(HEAPU8.subarray(pixels, pixels + w * h * 4));
  Module.zkContext.putImageData(Module.zkImage, 0, 0);
});

EM_JS(void, web_page_set_canvas_size, (int w, int h), {
  var canvas = Module["canvas"];
  if (!canvas || (canvas.width == w && canvas.height == h)) return;
  canvas.width = w;
  canvas.height = h;
  Module.zkImage = null;
  if (window.zkFitCanvas) zkFitCanvas();
});

EM_JS(void, web_page_canvas_size, (int* w, int* h), {
  var canvas = Module["canvas"];
  HEAP32[w >> 2] = canvas ? canvas.width : 0;
  HEAP32[h >> 2] = canvas ? canvas.height : 0;
});

EM_JS(void, web_page_screen_size, (int* w, int* h), {
  HEAP32[w >> 2] = window.screen ? screen.width : 0;
  HEAP32[h >> 2] = window.screen ? screen.height : 0;
});

EM_JS(void, web_page_toggle_fullscreen, (), {
  try {
    if (document.fullscreenElement) document.exitFullscreen();
    else Module["canvas"].requestFullscreen();
  } catch (e) {}
});

// A saved screenshot or recording, handed to the browser as a download.
EM_JS(void, web_page_offer_download, (const char* path), {
  try {
    var name = UTF8ToString(path);
    var bytes = FS.readFile(name);
    var type = name.endsWith(".gif") ? "image/gif" : "image/png";
    var url = URL.createObjectURL(new Blob([bytes], {type: type}));
    var a = document.createElement("a");
    a.href = url;
    a.download = name.substring(name.lastIndexOf("/") + 1);
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function() { URL.revokeObjectURL(url); }, 10000);
  } catch (e) {
    console.error("download of " + UTF8ToString(path) + " failed: " + e);
  }
});

EM_JS(void, web_page_copy_text, (const char* text), {
  try {
    if (navigator.clipboard) navigator.clipboard.writeText(UTF8ToString(text)).catch(function() {});
  } catch (e) {}
});

// IndexedDB does not count as pending work for headless Chromium's virtual
// time, which would run out before a transfer ends; so while one is under
// way a timer keeps the page busy, each tick taking a little real time.
EM_JS(void, web_page_spin_setup, (), {
  Module.zkSpin = function() {
    var x = 0;
    for (var i = 0; i < 1000000; i++) x += i & 7;
    Module.zkSpun = x;
  };
});

EM_JS(void, web_page_load_storage_js, (const char* folder, int done), {
  var path = UTF8ToString(folder);
  var finish = function(err) {
    if (err) console.error("stored files unavailable: " + err);
    clearInterval(busy);
    Module.zkStorageReady = true;
    wasmTable.get(done)();
  };
  var busy = setInterval(Module.zkSpin, 1);
  try {
    FS.mkdirTree(path);
    FS.mount(IDBFS, {}, path);
    FS.syncfs(true, finish);
  } catch (e) {
    finish(e);
  }
});

EM_JS(void, web_page_sync_storage_js, (int done), {
  var waiters = Module.zkSyncWaiters = Module.zkSyncWaiters || [];
  waiters.push(function() { if (done) wasmTable.get(done)(); });
  if (!Module.zkStorageReady) {
    Module.zkSyncWaiters = [];
    waiters.forEach(function(w) { w(); });
    return;
  }
  if (Module.zkSyncing) return;  // one transfer at a time; the waiters get the next
  var run = function() {
    var these = Module.zkSyncWaiters;
    Module.zkSyncWaiters = [];
    Module.zkSyncing = true;
    var busy = setInterval(Module.zkSpin, 1);
    FS.syncfs(false, function(err) {
      clearInterval(busy);
      Module.zkSyncing = false;
      if (err) console.error("storing files failed: " + err);
      these.forEach(function(w) { w(); });
      if (Module.zkSyncWaiters.length) run();
    });
  };
  run();
});

// Function pointers reach JavaScript as indices of the function table.
void web_page_load_storage(const char* folder, void (*done)()) {
  web_page_spin_setup();
  web_page_load_storage_js(folder, static_cast<int>(reinterpret_cast<intptr_t>(done)));
}
void web_page_sync_storage_then(void (*done)()) {
  web_page_sync_storage_js(static_cast<int>(reinterpret_cast<intptr_t>(done)));
}
void web_page_sync_storage() { web_page_sync_storage_then(nullptr); }

namespace {
std::string take(char* text) {
  std::string s = text ? text : "";
  std::free(text);
  return s;
}
}  // namespace

EM_JS(char*, web_page_pasted_js, (), {
  return Module.zkPasted === undefined ? 0 : allocateUTF8(Module.zkPasted);
});

EM_JS(char*, web_page_query_js, (), { return allocateUTF8(location.search || ""); });

EM_JS(char*, web_page_cart_js, (int which), {
  var e = document.getElementById("zk-cart");
  if (!e) return allocateUTF8("");
  return allocateUTF8(which ? (e.getAttribute("data-name") || "") : e.textContent);
});

std::string web_page_pasted_text(const std::string& fallback) {
  char* t = web_page_pasted_js();
  return t ? take(t) : fallback;
}
std::string web_page_query() { return take(web_page_query_js()); }
std::string web_page_cart_name() { return take(web_page_cart_js(1)); }
std::string web_page_cart_base64() { return take(web_page_cart_js(0)); }

EM_JS(void, web_page_set_text, (const char* id, const char* text), {
  var element = document.getElementById(UTF8ToString(id));
  if (element) element.textContent = UTF8ToString(text);
});

EM_JS(void, web_page_set_title_js, (const char* title), { document.title = UTF8ToString(title); });

void web_page_set_dump(const char* text) { web_page_set_text("zk-dump", text); }
void web_page_set_error(const char* text) { web_page_set_text("zk-error", text); }
void web_page_set_title(const char* title) { web_page_set_title_js(title); }
