#include "capture/video_clip.h"

#include <cstring>

#include "base/bitmap.h"
#include "settings/config.h"

capture_state capture;

namespace {
constexpr int SIDE = 128;

bool make_ring() {
  int n = capture_ring_len(console_config.gif_len);
  auto** ring = new brim_bitmap*[n]();
  for (int i = 0; i < n; i++) {
    ring[i] = brim_create_bitmap(SIDE, SIDE, 8);
    if (!ring[i]) {
      for (int j = 0; j < i; j++) brim_destroy_bitmap(ring[j]);
      delete[] ring;
      return false;
    }
  }
  capture.video_clip = ring;
  capture.video_clip_len = n;
  capture.video_clip_index = 0;
  return true;
}

// Copies the overlapping part; frames are 128 x 128 8-bit in practice.
void copy_frame(const brim_bitmap* src, brim_bitmap* dst) {
  std::memset(dst->data, 0, SIDE * SIDE);
  if (src->depth != 8) return;
  int w = src->w < SIDE ? src->w : SIDE;
  int h = src->h < SIDE ? src->h : SIDE;
  for (int y = 0; y < h; y++) std::memcpy(dst->line[y], src->line[y], w);
}
}  // namespace

int capture_ring_len(int gif_len) {
  if (gif_len <= 0) return 30;
  if (gif_len > 120) return 3600;
  return gif_len * 30;
}

void record_video_frame(const brim_bitmap* frame, uint64_t now_ms) {
  capture.last_video_t = now_ms;
  if (!frame || !frame->data) return;
  if (!capture.video_clip && !make_ring()) return;
  brim_bitmap** ring = capture.video_clip;
  int n = capture.video_clip_len;
  copy_frame(frame, ring[capture.video_clip_index]);
  if (capture.video_clip_index < n - 1) {
    capture.video_clip_index++;
    return;
  }
  brim_bitmap* oldest = ring[0];
  std::memmove(ring, ring + 1, sizeof(brim_bitmap*) * (n - 1));
  ring[n - 1] = oldest;
}

void reset_video() { capture.video_clip_index = 0; }

void capture_free() {
  for (int i = 0; i < capture.video_clip_len; i++) brim_destroy_bitmap(capture.video_clip[i]);
  delete[] capture.video_clip;
  capture = capture_state{};
}
