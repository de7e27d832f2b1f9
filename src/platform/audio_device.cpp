// The audio device over SDL2: opening it with the mixer as its callback.
#include <SDL.h>

#include "audio/audio.h"
#include "host/audio_device.h"
#include "base/debug.h"
#include "base/startup_report.h"

#include <cstdio>

int brim_sound_inited = 0;

static void log_differences(const SDL_AudioSpec& want, const SDL_AudioSpec& got) {
  if (got.freq != want.freq) brim_debugf("freq differs; got: %d\n", got.freq);
  if (got.format != want.format) brim_debugf("format differs; got: %d\n", got.format);
  if (got.channels != want.channels) brim_debugf("channels differs; got: %d\n", got.channels);
  if (got.silence != want.silence) brim_debugf("silence differs; got: %d\n", got.silence);
  if (got.samples != want.samples) brim_debugf("samples differs; got: %d\n", got.samples);
  if (got.callback != want.callback) brim_debug("callback differs\n");
}

static void log_drivers() {
  int n = SDL_GetNumAudioDrivers();
  if (n <= 0) {
    brim_debug("No built-in audio drivers\n");
  } else {
    char line[512];
    int len = SDL_snprintf(line, sizeof(line), "Built-in audio drivers:");
    for (int i = 0; i < n && len < static_cast<int>(sizeof(line)) - 2; i++)
      len += SDL_snprintf(line + len, sizeof(line) - len - 1, " %d %s", i, SDL_GetAudioDriver(i));
    if (len > static_cast<int>(sizeof(line)) - 2) len = sizeof(line) - 2;
    line[len] = '\n';
    line[len + 1] = 0;
    brim_debug(line);
  }
  const char* cur = SDL_GetCurrentAudioDriver();
  brim_debugf("Current audio driver: %s\n", cur ? cur : "(null)");
}

int brim_sound_init_plat(int flags, void* userdata) {
  if (flags != 16) return 1;
  int samples = brim_get_mix_buffer_size();
  if (samples == 0) return 0;  // sound switched off
  bool ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  ok = SDL_Init(SDL_INIT_AUDIO) == 0 && ok;
  brim_debug("brim_sound_init\n");
  if (!ok) return 1;
  brim_debug("SDL_INIT_AUDIO ok\n");

  SDL_AudioSpec want{};
  want.freq = brim_sound_freq;
  want.format = AUDIO_S16LSB;
  want.channels = 1;
  want.silence = 0;
  want.samples = static_cast<Uint16>(samples);
  want.callback = brim_mixer_callback;
  want.userdata = userdata;
  SDL_AudioSpec got{};
  if (SDL_OpenAudio(&want, &got) == 0) {
    brim_debug("SDL_OpenAudio ok\n");
    log_differences(want, got);  // the synthesis is not adapted
    // One buffer is mixed ahead of what plays (a callback, no queue).
    if (brim_startup_report_enabled() && got.freq > 0)
      std::fprintf(stderr, "startup: audio buffer %d samples at %d Hz: %.1f ms\n", got.samples,
                   got.freq, 1000.0 * got.samples / got.freq);
    SDL_PauseAudio(0);
    brim_sound_inited = 1;
  }
  log_drivers();
  // sound_volume and music_volume are the mixer's live words, set by the
  // configuration before start-up; nothing more to apply here.
  return 0;
}
