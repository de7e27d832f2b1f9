// The web player's entry: the console's own host loop (console/brim_main.h),
// one iteration at a time, from the browser's callbacks.
//  - Normally from requestAnimationFrame: the console paces itself (its
//    accumulator owes steps by the clock), and a frame runs iterations while
//    a step is owed, at most four, so a slow display does not slow the game.
//  - In automation mode (the URL query carries `frames`) from timers,
//    because headless Chromium's virtual time never runs animation frames;
//    with `fast` they follow back-to-back on the console's virtual clock.
//    When the run ends the last frame stays on the canvas and the screen is
//    written into the element zk-dump as 16,384 hexadecimal palette indices.
//  - `bench` (with `frames`) runs every update at once, before the page
//    has loaded, and writes the time per frame into the element zk-bench.
// The query's other keys are the console's options (web_query.h): the
// desktop's automation reaches the page unchanged; `input` carries the
// lines of an -input file. The per-user folder is kept in IndexedDB; a cart
// inlined by an export (zk-cart) runs at once, as a standalone program.
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "cart/standalone.h"
#include "console/brim_main.h"
#include "machine/machine.h"
#include "pod/pod.h"
#include "settings/options.h"
#include "web_page.h"
#include "web_query.h"

namespace {

constexpr char kProgram[] = "/zurkel/zurkel";  // data.pod is embedded beside it
constexpr char kDataPod[] = "/zurkel/data.pod";
constexpr char kHome[] = "/zurkel-home/";      // the per-user folder, in IndexedDB
constexpr char kDesktop[] = "/tmp/desktop/";   // captures, offered as downloads
constexpr char kInputFile[] = "/tmp/zk-input.txt";
constexpr double kStepMs = 1000.0 / 60.0;
constexpr int kMaxIterationsPerFrame = 4;
constexpr int kOneStep = 0x10000;  // the accumulator's 16.16 step
constexpr int kSyncEveryMs = 2000;

struct {
  std::vector<std::string> words;
  std::vector<char*> argv;
  bool automation = false;
  bool fast = false;
  bool bench = false;
  std::string dump;
} page;

bool takes_value(const char* name) { return !zurkel_option_is_flag(name); }

void read_query() {
  auto pairs = web_query_parse(web_page_query().c_str());
  std::vector<web_query_pair> options;
  for (const web_query_pair& p : pairs) {
    if (p.key == "bench") page.bench = p.value != "0";
    else options.push_back(p);
  }
  std::vector<std::string> words = web_query_arguments(options, takes_value);
  page.words = {kProgram, "-home", kHome, "-desktop", kDesktop};
  for (size_t i = 0; i < words.size(); i++) {
    if (words[i] == "-input" && i + 1 < words.size()) {
      std::ofstream(kInputFile, std::ios::binary) << words[++i];
      page.words.push_back("-input");
      words[i] = kInputFile;
    }
    if (words[i] == "-frames") page.automation = true;
    if (words[i] == "-fast") page.fast = true;
    page.words.push_back(words[i]);
  }
  page.bench = page.bench && page.automation;
}

// An exported page's cart becomes the pod the console starts from.
void take_inlined_cart() {
  std::string text = web_page_cart_base64();
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return;
  std::vector<uint8_t> image = standalone_unbase64(text), pod;
  std::string error;
  brim_pod* resources = brim_load_pod(kDataPod);
  bool ok = resources && standalone_pod(resources, image, web_page_cart_name(), pod, error);
  brim_destroy_pod(resources);
  if (!ok) {
    web_page_set_error(("the page's cart cannot run: " + error).c_str());
    return;
  }
  brim_set_standalone_pod(std::move(pod));
}

// The display as the desktop's -dump_screen writes it: the machine screen
// through the screen palette, without the host's overlays.
std::string screen_dump(const zurkel_machine* m) {
  static const char hex[] = "0123456789abcdef";
  std::string text;
  if (!m->display) return text;
  text.reserve(128 * 128);
  for (int y = 0; y < 128 && y < m->display->h; y++)
    for (int x = 0; x < 128 && x < m->display->w; x++) text += hex[m->display->line[y][x] & 15];
  return text;
}

void after_last_sync() {
  if (page.automation) web_page_set_dump(page.dump.c_str());
}

void finish() {
  if (page.automation) page.dump = screen_dump(brim_main_machine());
  int status = brim_main_end();
  if (status != 0) web_page_set_error(("the console ended with status " + std::to_string(status)).c_str());
  // Cart data and config.txt are written at the end: stored before the
  // dump says the run is over.
  web_page_sync_storage_then(after_last_sync);
}

// Each callback returns whether its loop goes on.
EM_BOOL automation_tick(double, void*) {
  if (brim_main_iterate()) return EM_TRUE;
  finish();
  return EM_FALSE;
}

EM_BOOL animation_frame(double, void*) {
  for (int i = 0; i < kMaxIterationsPerFrame; i++) {
    if (!brim_main_iterate()) {
      finish();
      return EM_FALSE;
    }
    if (brim_main_machine()->frame_accumulator < kOneStep) break;
  }
  return EM_TRUE;
}

void sync_tick(void*) { web_page_sync_storage(); }

void bench_run() {
  std::vector<double> ms;
  double start = emscripten_get_now();
  for (double t0 = start; brim_main_iterate(); t0 = emscripten_get_now())
    ms.push_back(emscripten_get_now() - t0);
  double total = emscripten_get_now() - start, worst = 0;
  for (double v : ms) worst = v > worst ? v : worst;
  char text[160];
  std::snprintf(text, sizeof text, "frames %zu total_ms %.1f per_frame_ms %.3f max_ms %.3f",
                ms.size() + 1, total, total / static_cast<double>(ms.size() + 1), worst);
  EM_ASM({ var e = document.getElementById('zk-bench'); if (e) e.textContent = UTF8ToString($0); }, text);
  finish();
}

bool begin() {
  take_inlined_cart();
  for (std::string& w : page.words) page.argv.push_back(w.data());
  page.argv.push_back(nullptr);
  int early = brim_main_begin(static_cast<int>(page.argv.size()) - 1, page.argv.data());
  if (early < 0) return true;
  web_page_set_error(("the console could not start (status " + std::to_string(early) + ")").c_str());
  return false;
}

void start() {
  if (!begin()) return;
  if (page.automation) {
    emscripten_set_timeout_loop(automation_tick, page.fast ? 0 : kStepMs, nullptr);
  } else {
    emscripten_request_animation_frame_loop(animation_frame, nullptr);
    emscripten_set_interval(sync_tick, kSyncEveryMs, nullptr);
  }
}

}  // namespace

int main() {
  read_query();
  if (page.bench) {
    // No stored files: the measurement is the console's own work.
    if (begin()) bench_run();
    return 0;
  }
  web_page_load_storage(kHome, start);
  return 0;
}
