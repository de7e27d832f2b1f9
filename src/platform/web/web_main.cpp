// The web player's entry. For now it is the toolchain's end-to-end check
// that grows into the web host layer: it shows the self-test picture
// (web_selftest.h), advancing its colours one step per update, and paces the
// updates as the player will:
//  - normally from requestAnimationFrame, in fixed 60 Hz steps (at most four
//    owed steps per animation frame, so a hidden tab does not race on);
//  - in automation mode (the page's URL query carries `frames`) from timers,
//    because headless Chromium's virtual time never runs animation frames;
//    `fast` makes them back-to-back, else one per 1/60 s. After `frames`
//    updates the last picture stays on the canvas and the screen is written
//    into the page's zk-dump element as 16,384 hexadecimal palette indices.
// The query reads as console options (web_query.h); until the web host
// layer runs the console and its option table, this entry knows two.
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "web_page.h"
#include "web_palette.h"
#include "web_query.h"
#include "web_selftest.h"

namespace {

constexpr int kPixels = 128 * 128;
constexpr double kStepMs = 1000.0 / 60.0;
constexpr int kMaxOwedSteps = 4;

const uint8_t kPalette[16][3] = {ZK_WEB_PALETTE};

struct Player {
  uint8_t picture[kPixels];  // the self-test picture
  uint8_t screen[kPixels];   // what is shown: the picture, its colours stepped
  uint32_t pixels[kPixels];
  long steps = 0;
  long frames = -1;  // automation: stop after this many updates
  bool fast = false;
  double last_ms = 0;
  double owed_ms = 0;
};
Player player;

void update() {
  player.steps++;
  for (int i = 0; i < kPixels; i++) player.screen[i] = (player.picture[i] + player.steps) & 15;
}

void present() {
  for (int i = 0; i < kPixels; i++) {
    const uint8_t* c = kPalette[player.screen[i]];
    player.pixels[i] = 0xFF000000u | c[2] << 16 | c[1] << 8 | c[0];
  }
  web_page_present(player.pixels);
}

void write_dump() {
  static const char hex[] = "0123456789abcdef";
  static char text[kPixels + 1];
  for (int i = 0; i < kPixels; i++) text[i] = hex[player.screen[i] & 15];
  text[kPixels] = 0;
  web_page_set_dump(text);
}

// Each callback returns whether its loop goes on.
EM_BOOL automation_frame(double, void*) {
  if (player.steps < player.frames) update();
  present();
  if (player.steps < player.frames) return EM_TRUE;
  write_dump();
  return EM_FALSE;
}

EM_BOOL animation_frame(double now, void*) {
  if (player.last_ms == 0) player.last_ms = now;
  player.owed_ms += now - player.last_ms;
  player.last_ms = now;
  if (player.owed_ms > kMaxOwedSteps * kStepMs) player.owed_ms = kMaxOwedSteps * kStepMs;
  for (; player.owed_ms >= kStepMs; player.owed_ms -= kStepMs) update();
  present();
  return EM_TRUE;
}

bool takes_value(const char* name) { return std::strcmp(name, "fast") != 0; }

void read_options() {
  auto words = web_query_arguments(web_query_parse(emscripten_run_script_string("location.search")),
                                   takes_value);
  for (size_t i = 0; i < words.size(); i++) {
    if (words[i] == "-frames" && i + 1 < words.size()) player.frames = std::atol(words[++i].c_str());
    else if (words[i] == "-fast") player.fast = true;
  }
}

}  // namespace

int main() {
  read_options();
  const char* failure = web_selftest(player.picture, kPalette);
  if (failure) {
    web_page_set_error(failure);
    std::memset(player.picture, 8, sizeof player.picture);
  }
  std::memcpy(player.screen, player.picture, sizeof player.screen);
  if (player.frames >= 0)
    emscripten_set_timeout_loop(automation_frame, player.fast ? 0 : kStepMs, nullptr);
  else
    emscripten_request_animation_frame_loop(animation_frame, nullptr);
  return 0;
}
