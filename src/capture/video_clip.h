// The recording ring: the last seconds of play, 30 frames per second, as
// 128 x 128 palette-index frames. Nothing is encoded until a save.
#pragma once
#include <cstdint>

struct brim_bitmap;

struct capture_state {
  brim_bitmap** video_clip = nullptr;  // ring of video_clip_len bitmaps
  int video_clip_len = 0;              // 0 until the first recorded frame
  int video_clip_index = 0;            // frames held, 0 .. len - 1
  uint64_t last_video_t = 0;           // ms of the last recorded frame
};
extern capture_state capture;

// Ring length for a gif_len in seconds: gif_len * 30 limited to 30-3600.
int capture_ring_len(int gif_len);

// Copies the 128 x 128 frame into the ring. The ring is made on first use
// with the gif_len in force then and never resized; once full it rotates so
// slots 0 .. len - 2 hold the latest frames, oldest first.
void record_video_frame(const brim_bitmap* frame, uint64_t now_ms);
// Empties the ring (a new starting point); the bitmaps are kept.
void reset_video();
// Frees the ring; the next recorded frame makes a new one.
void capture_free();
