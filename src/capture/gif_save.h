// Animated GIF of the recording ring.
#pragma once

// gif_scale limited to 1-32 (a scale below 1 would make an empty canvas).
int capture_gif_scale();

// Writes the frames held in the ring, oldest first, as the next free
// "<base>_N.gif" on the desktop: gif_scale * 128 square, looping forever,
// 3/100 s per frame, a 16-entry colour table unless a frame uses an
// extended colour (then 256). Streamed to a temp file and renamed into
// place. 0 on success, 1 on failure.
int save_gif();
