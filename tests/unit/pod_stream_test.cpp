#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>

#include "pod/stream.h"
#include "pod/vdisk.h"

namespace {

std::string temp_path(const char* name) {
  return std::string(::testing::TempDir()) + "zk_stream_" + std::to_string(getpid()) + "_" + name;
}

void write_file(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

TEST(PodStream, MemoryBufferReadWriteSeek) {
  brim_stream* b = brim_create_buffer(0);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(brim_feof(b));
  EXPECT_EQ(brim_fprintf(b, "abc %d\n", 42), 7);
  EXPECT_TRUE(brim_write_u32(b, 0x01020304));
  EXPECT_EQ(b->size, 11);
  EXPECT_EQ(b->data[7], 4);  // little-endian
  EXPECT_EQ(brim_fseek(b, 0, SEEK_SET), 0);
  char line[32];
  EXPECT_STREQ(brim_fgets(line, sizeof line, b), "abc 42\n");
  uint32_t v = 0;
  EXPECT_TRUE(brim_read_u32(b, &v));
  EXPECT_EQ(v, 0x01020304u);
  EXPECT_TRUE(brim_feof(b));
  EXPECT_FALSE(brim_read_u32(b, &v));
  EXPECT_EQ(brim_fseek(b, 12, SEEK_SET), -1);  // past the end
  EXPECT_EQ(brim_fseek(b, -2, SEEK_END), 0);
  EXPECT_EQ(brim_ftell(b), 9);
  EXPECT_EQ(brim_fremaining(b), 2);
  brim_destroy_buffer(b);
}

TEST(PodStream, CreateBufferIsZeroedAndBounded) {
  brim_stream* b = brim_create_buffer(100);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->size, 100);
  for (int i = 0; i < 100; i++) ASSERT_EQ(b->data[i], 0);
  brim_destroy_buffer(b);
  EXPECT_EQ(brim_create_buffer(-1), nullptr);
  EXPECT_EQ(brim_create_buffer(BRIM_BUFFER_MAX + 1), nullptr);
}

TEST(PodStream, ViewsAreReadOnly) {
  const char text[] = "hello";
  brim_stream* v = brim_open_memory(text, 5);
  EXPECT_EQ(brim_fwrite("x", 1, 1, v), 0u);
  char buf[8] = {};
  EXPECT_EQ(brim_fread(buf, 1, 8, v), 5u);
  EXPECT_STREQ(buf, "hello");
  brim_fclose(v);
}

TEST(PodStream, SensitiveLinesAllEndings) {
  const char text[] = "one\ntwo\r\nthree\rfour\n\nlast";
  brim_stream* s = brim_open_memory(text, sizeof text - 1);
  char line[64];
  const char* want[] = {"one", "two", "three", "four", ""};
  for (const char* w : want) {
    ASSERT_NE(brim_fgets_sensitive(line, sizeof line, s), nullptr);
    EXPECT_STREQ(line, w);
  }
  ASSERT_NE(brim_fgets_sensitive(line, sizeof line, s), nullptr);
  EXPECT_STREQ(line, "last");
  EXPECT_TRUE(brim_feof(s));
  EXPECT_EQ(brim_fgets_sensitive(line, sizeof line, s), nullptr);
  brim_fclose(s);
}

TEST(PodStream, LongLinesComeInPieces) {
  std::string text(10, 'a');
  text += "\nb\n";
  brim_stream* s = brim_open_memory(text.data(), static_cast<int>(text.size()));
  char line[5];
  EXPECT_STREQ(brim_fgets_sensitive(line, 5, s), "aaaa");
  EXPECT_STREQ(brim_fgets_sensitive(line, 5, s), "aaaa");
  EXPECT_STREQ(brim_fgets_sensitive(line, 5, s), "aa");
  EXPECT_STREQ(brim_fgets_sensitive(line, 5, s), "b");
  brim_fclose(s);
  // A line exactly filling the buffer keeps its line end.
  const char exact[] = "abcd\r\nef\n";
  s = brim_open_memory(exact, sizeof exact - 1);
  EXPECT_STREQ(brim_fgets_sensitive(line, 5, s), "abcd");
  EXPECT_STREQ(brim_fgets_sensitive(line, 5, s), "ef");
  brim_fclose(s);
}

TEST(PodStream, FileEndCountsOnlyAfterRunningIntoIt) {
  std::string path = temp_path("eof.txt");
  write_file(path, "a\nb\n");
  brim_stream* s = brim_fopen(path.c_str(), "r");
  ASSERT_NE(s, nullptr);
  char line[16];
  EXPECT_STREQ(brim_fgets_sensitive(line, 16, s), "a");
  EXPECT_STREQ(brim_fgets_sensitive(line, 16, s), "b");
  EXPECT_FALSE(brim_feof(s));  // the last line had its line end
  EXPECT_EQ(brim_fgets_sensitive(line, 16, s), nullptr);
  EXPECT_TRUE(brim_feof(s));
  brim_fclose(s);
  write_file(path, "a\nb");
  s = brim_fopen(path.c_str(), "r");
  EXPECT_STREQ(brim_fgets_sensitive(line, 16, s), "a");
  EXPECT_STREQ(brim_fgets_sensitive(line, 16, s), "b");
  EXPECT_TRUE(brim_feof(s));  // no line end: the read ran into the end
  EXPECT_EQ(brim_fremaining(s), 0);
  brim_fclose(s);
  std::remove(path.c_str());
}

TEST(PodVdisk, NamesWithoutFolders) {
  brim_vdisk_clear();
  brim_stream* w = brim_fopen_vdisk("some/folder/game.zk", "w");
  ASSERT_NE(w, nullptr);
  brim_fputs("data", w);
  brim_fclose(w);  // stays on the disk
  EXPECT_EQ(brim_vdisk_count(), 1);
  brim_stream* r = brim_fopen_vdisk("game.zk", "r");
  ASSERT_NE(r, nullptr);
  char buf[8] = {};
  EXPECT_EQ(brim_fread(buf, 1, 8, r), 4u);
  EXPECT_STREQ(buf, "data");
  brim_fclose(r);
  r = brim_fopen_vdisk("/other/game.zk", "rb");  // from its start again
  EXPECT_EQ(brim_fgetc(r), 'd');
  brim_fclose(r);
  EXPECT_EQ(brim_fopen_vdisk("game.zk2", "r"), nullptr);
  EXPECT_EQ(brim_fopen_vdisk("game.zk", "a"), nullptr);
  // 'w' empties the existing file.
  w = brim_fopen_vdisk("game.zk", "w");
  EXPECT_EQ(w->size, 0);
  brim_fclose(w);
  EXPECT_EQ(brim_vdisk_count(), 1);
  brim_vdisk_clear();
}

TEST(PodVdisk, FopenFallsBackForReadingOnly) {
  brim_vdisk_clear();
  const char* name = "zk_vdisk_only_file_that_does_not_exist.txt";
  EXPECT_EQ(brim_fopen(name, "r"), nullptr);
  brim_stream* w = brim_fopen_vdisk(name, "w");
  brim_fputs("x", w);
  brim_fclose(w);
  brim_stream* r = brim_fopen(name, "rb");
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->on_vdisk);
  brim_fclose(r);
  brim_vdisk_remove(name);
  EXPECT_EQ(brim_vdisk_count(), 0);
  EXPECT_EQ(brim_fopen(name, "r"), nullptr);
}

}  // namespace
