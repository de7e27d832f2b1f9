// The audio device on the page: WebAudio at the mixer's rate, fed from the
// main thread. The console's mixer (brim_mixer_callback) fills chunks when
// the console pumps its events, enough to keep a short lead over what the
// browser has played; an AudioWorklet (loaded from a data: URL) plays them,
// or a ScriptProcessor where there are no worklets (pages served over plain
// http). Browsers start sound only after a user gesture: the first key,
// click or touch resumes it.
#pragma once

// Once per host frame: mixes and posts what the lead needs.
void web_audio_pump();
// A key, click or touch: starts or resumes the sound.
void web_audio_user_gesture();
