#include "web_audio.h"

#include <emscripten.h>

#include <cstdint>
#include <vector>

#include "audio/audio.h"
#include "base/debug.h"
#include "host/audio_device.h"

int brim_sound_inited = 0;
int brim_audio_is_locked = 0;

namespace {
struct {
  void* userdata = nullptr;
  std::vector<int16_t> chunk;
} device;

constexpr int kMaxChunk = 4096;  // samples mixed at most per pump

// The JavaScript side. Module.zkAudio holds the context, the node and the
// count of samples posted since the context started; the lead is what has
// been posted and not yet played.
EM_JS(int, web_audio_open_js, (int rate, int lead), {
  var AC = window.AudioContext || window.webkitAudioContext;
  if (!AC) return 0;
  var a = Module.zkAudio = {rate: rate, lead: lead, posted: 0, fed: 0, queue: [], head: null, pos: 0};
  try {
    a.ctx = new AC({sampleRate: rate});
  } catch (e) {
    a.ctx = new AC();  // the browser's own rate; chunks are resampled
  }
  a.ratio = a.ctx.sampleRate / rate;
  // ScriptProcessor: pulls from a.queue on the main thread.
  var useScriptProcessor = function() {
    a.node = a.ctx.createScriptProcessor(1024, 0, 1);
    a.node.onaudioprocess = function(e) {
      var out = e.outputBuffer.getChannelData(0), i = 0;
      while (i < out.length) {
        if (!a.head) { a.head = a.queue.shift(); a.pos = 0; if (!a.head) break; }
        var n = Math.min(out.length - i, a.head.length - a.pos);
        out.set(a.head.subarray(a.pos, a.pos + n), i);
        i += n; a.pos += n;
        if (a.pos >= a.head.length) a.head = null;
      }
      out.fill(0, i);
    };
    a.post = function(chunk) { a.queue.push(chunk); };
    a.node.connect(a.ctx.destination);
  };
  var worklet =
    "class ZkFeed extends AudioWorkletProcessor {" +
    " constructor() { super(); this.q = []; this.head = null; this.pos = 0;" +
    "  this.port.onmessage = (e) => this.q.push(e.data); }" +
    " process(inputs, outputs) {" +
    "  var out = outputs[0][0], i = 0;" +
    "  while (i < out.length) {" +
    "   if (!this.head) { this.head = this.q.shift(); this.pos = 0; if (!this.head) break; }" +
    "   var n = Math.min(out.length - i, this.head.length - this.pos);" +
    "   out.set(this.head.subarray(this.pos, this.pos + n), i);" +
    "   i += n; this.pos += n;" +
    "   if (this.pos >= this.head.length) this.head = null; }" +
    "  out.fill(0, i); return true; } }" +
    "registerProcessor('zk-feed', ZkFeed);";
  if (a.ctx.audioWorklet && window.AudioWorkletNode) {
    a.ctx.audioWorklet.addModule("data:application/javascript," + encodeURIComponent(worklet))
      .then(function() {
        a.node = new AudioWorkletNode(a.ctx, "zk-feed", {numberOfInputs: 0, outputChannelCount: [1]});
        a.post = function(chunk) { a.node.port.postMessage(chunk, [chunk.buffer]); };
        a.node.connect(a.ctx.destination);
        a.kind = "worklet";
      })
      .catch(function(e) {
        console.warn("audio worklet unavailable (" + e + "): using a ScriptProcessor");
        useScriptProcessor();
        a.kind = "script-processor";
      });
  } else {
    useScriptProcessor();
    a.kind = "script-processor";
  }
  return 1;
});

EM_JS(void, web_audio_resume_js, (), {
  var a = Module.zkAudio;
  if (a && a.ctx.state != "running") a.ctx.resume().catch(function() {});
});

// Samples to mix now to keep the lead. Until the sound can play (no
// gesture yet, the worklet still loading) the mixer still runs at its rate
// by the page's clock and its samples are dropped, so sound effects and
// music move on in time as with a desktop device.
EM_JS(int, web_audio_wanted_js, (), {
  var a = Module.zkAudio;
  if (!a) return 0;
  if (!a.post || a.ctx.state != "running") {
    var t = performance.now() / 1000;
    if (a.idle0 === undefined) { a.idle0 = t; a.idleMixed = 0; }
    a.dropping = true;
    var owed = Math.floor((t - a.idle0) * a.rate) - a.idleMixed;
    if (owed > 16384) { a.idleMixed += owed - 16384; owed = 16384; }  // a hidden tab skips on
    return Math.max(0, owed);
  }
  if (a.dropping) { a.dropping = false; a.idle0 = undefined; a.t0 = undefined; a.posted = 0; }
  if (a.t0 === undefined) a.t0 = a.ctx.currentTime;
  var played = Math.floor((a.ctx.currentTime - a.t0) * a.rate);
  if (a.posted < played) a.posted = played;  // ran dry: start the lead afresh
  return Math.max(0, a.lead - (a.posted - played));
});

EM_JS(void, web_audio_post_js, (const int16_t* samples, int n), {
  var a = Module.zkAudio;
  if (a.dropping) { a.idleMixed += n; return; }
  var m = Math.round(n * a.ratio);
  var chunk = new Float32Array(m);
  var s = HEAP16.subarray(samples >> 1, (samples >> 1) + n);
  if (m == n) {
    for (var i = 0; i < n; i++) chunk[i] = s[i] / 32768;
  } else {
    for (var i = 0; i < m; i++) chunk[i] = s[Math.min(n - 1, Math.floor(i / a.ratio))] / 32768;
  }
  a.posted += n;
  a.post(chunk);
  a.fed += n;
  // What plays, for the tests: the node's kind and the samples fed so far.
  document.documentElement.setAttribute("data-zk-audio", a.kind + " " + a.fed);
});
}  // namespace

int brim_sound_init_plat(int flags, void* userdata) {
  if (flags != 16) return 1;
  int samples = brim_get_mix_buffer_size();
  if (samples == 0) return 0;  // sound switched off
  brim_debug("brim_sound_init\n");
  device.userdata = userdata;
  // The lead: the mix buffer and one frame more, so a late frame does not
  // leave the browser without samples.
  if (!web_audio_open_js(brim_sound_freq, samples + brim_sound_freq / 30)) {
    brim_debug("no WebAudio in this browser\n");
    return 0;
  }
  brim_debug("WebAudio ok\n");
  brim_sound_inited = 1;
  return 0;
}

void brim_lock_audio_plat() { brim_audio_is_locked++; }
void brim_unlock_audio_plat() {
  if (brim_audio_is_locked > 0) brim_audio_is_locked--;
}

void web_audio_user_gesture() {
  if (brim_sound_inited) web_audio_resume_js();
}

void web_audio_pump() {
  if (!brim_sound_inited) return;
  int n = web_audio_wanted_js();
  if (n <= 0) return;
  if (n > kMaxChunk) n = kMaxChunk;
  device.chunk.resize(static_cast<size_t>(n));
  brim_mixer_callback(device.userdata, reinterpret_cast<uint8_t*>(device.chunk.data()), n * 2);
  web_audio_post_js(device.chunk.data(), n);
}
