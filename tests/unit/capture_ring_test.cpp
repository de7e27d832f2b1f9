#include "capture_fixture.h"

TEST_F(CaptureTest, RingLengthIsThirtyFramesPerSecondWithinLimits) {
  EXPECT_EQ(capture_ring_len(8), 240);
  EXPECT_EQ(capture_ring_len(1), 30);
  EXPECT_EQ(capture_ring_len(0), 30);
  EXPECT_EQ(capture_ring_len(-5), 30);
  EXPECT_EQ(capture_ring_len(120), 3600);
  EXPECT_EQ(capture_ring_len(121), 3600);
  EXPECT_EQ(capture_ring_len(100000), 3600);
}

TEST_F(CaptureTest, RingIsMadeOnFirstFrameAndNeverResized) {
  EXPECT_EQ(capture.video_clip, nullptr);
  console_config.gif_len = 1;
  record(1, 1234);
  EXPECT_EQ(capture.video_clip_len, 30);
  EXPECT_EQ(capture.video_clip_index, 1);
  EXPECT_EQ(capture.last_video_t, 1234u);
  console_config.gif_len = 8;
  record(2, 1267);
  EXPECT_EQ(capture.video_clip_len, 30);
  EXPECT_EQ(capture.last_video_t, 1267u);
}

TEST_F(CaptureTest, FullRingKeepsTheLatestFramesOldestFirst) {
  console_config.gif_len = 1;  // 30 slots, at most 29 frames held
  for (int i = 0; i < 29; i++) record(i);
  EXPECT_EQ(capture.video_clip_index, 29);
  for (int i = 29; i < 45; i++) record(i);
  EXPECT_EQ(capture.video_clip_index, 29);
  for (int s = 0; s < 29; s++) EXPECT_EQ(capture.video_clip[s]->data[100], 45 - 29 + s) << s;
}

TEST_F(CaptureTest, StartKeyEmptiesTheRingAndKeepsTheBitmaps) {
  for (int i = 0; i < 10; i++) record(i);
  brim_bitmap* slot0 = capture.video_clip[0];
  reset_video();
  EXPECT_EQ(capture.video_clip_index, 0);
  EXPECT_EQ(capture.video_clip[0], slot0);
  record(77);
  EXPECT_EQ(capture.video_clip_index, 1);
  EXPECT_EQ(capture.video_clip[0]->data[0], 77);
}

TEST_F(CaptureTest, FramesAreCopiedNotShared) {
  brim_bitmap* b = frame(3, 140);
  record_video_frame(b, 0);
  b->line[5][7] = 9;
  EXPECT_EQ(capture.video_clip[0]->line[5][7], 140);
  EXPECT_EQ(capture.video_clip[0]->line[0][0], 3);
  brim_destroy_bitmap(b);
}
