#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "pod/pod.h"

namespace {

std::string temp_path(const char* name) {
  return std::string(::testing::TempDir()) + "zk_pod_" + std::to_string(getpid()) + "_" + name;
}

brim_pod* sample_pod() {
  brim_pod* pod = brim_create_pod(2);
  std::snprintf(pod->name, sizeof pod->name, "sample");
  std::string long_name(80, 'n');
  std::string text = "hello pod";
  cpod_add_file(pod, long_name.c_str(), text.data(), static_cast<int>(text.size()));
  brim_bitmap* b8 = brim_create_bitmap(3, 2, 8);
  for (int i = 0; i < 6; i++) b8->data[i] = static_cast<uint8_t>(i * 40);
  b8->flags = 7;
  cpod_add_item(pod, BRIM_ITEM_BITMAP, b8);
  auto* pal = new brim_pod_palette;
  for (int i = 0; i < 256; i++) pal->rgb[i][0] = pal->rgb[i][1] = pal->rgb[i][2] = static_cast<uint8_t>(i);
  cpod_add_item(pod, BRIM_ITEM_PALETTE, pal);
  brim_bitmap* b32 = brim_create_bitmap(2, 2, 32);
  for (int i = 0; i < 16; i++) b32->data[i] = static_cast<uint8_t>(i + 1);
  cpod_add_item(pod, BRIM_ITEM_BITMAP, b32);
  std::vector<uint8_t> big(5000);
  for (size_t i = 0; i < big.size(); i++) big[i] = static_cast<uint8_t>(i % 7);
  cpod_add_file(pod, "big.bin", big.data(), static_cast<int>(big.size()));
  cpod_add_file(pod, "empty", nullptr, 0);
  return pod;
}

void expect_same_items(const brim_pod* a, const brim_pod* b) {
  ASSERT_EQ(a->count, b->count);
  for (int i = 0; i < a->count; i++) {
    int ta, tb;
    void* ia = cpod_get_item(a, i, &ta);
    void* ib = cpod_get_item(b, i, &tb);
    ASSERT_EQ(ta, tb) << i;
    if (ta == BRIM_ITEM_FILE) {
      auto* fa = static_cast<brim_stream*>(ia);
      auto* fb = static_cast<brim_stream*>(ib);
      ASSERT_EQ(fa->size, fb->size);
      if (fa->size > 0) {
        EXPECT_EQ(std::memcmp(fa->data, fb->data, fa->size), 0);
      }
      EXPECT_EQ(std::strncmp(fa->name, fb->name, 63), 0);
    } else if (ta == BRIM_ITEM_BITMAP) {
      auto* ba = static_cast<brim_bitmap*>(ia);
      auto* bb = static_cast<brim_bitmap*>(ib);
      ASSERT_EQ(ba->w, bb->w);
      ASSERT_EQ(ba->h, bb->h);
      ASSERT_EQ(ba->depth, bb->depth);
      EXPECT_EQ(ba->flags, bb->flags);
      EXPECT_EQ(std::memcmp(ba->data, bb->data, ba->w * ba->h * ba->depth / 8), 0);
    } else if (ta == BRIM_ITEM_PALETTE) {
      EXPECT_EQ(std::memcmp(ia, ib, 768), 0);
    }
  }
}

brim_stream* saved(const brim_pod* pod) {
  brim_stream* s = brim_create_buffer(0);
  EXPECT_EQ(brim_save_pod_file(nullptr, pod, s), 0);
  brim_fseek(s, 0, SEEK_SET);
  return s;
}

TEST(PodArchive, RoundTripKeepsItemsAndOrder) {
  brim_pod* pod = sample_pod();
  brim_stream* s = saved(pod);
  // Header: tag, length 68, version 1, name, count.
  EXPECT_EQ(std::memcmp(s->data, "CPOD", 4), 0);
  EXPECT_EQ(s->data[4], 68);
  EXPECT_EQ(s->data[8], 1);
  EXPECT_STREQ(reinterpret_cast<char*>(s->data + 12), "sample");
  EXPECT_EQ(s->data[44], 6);
  EXPECT_EQ(std::memcmp(s->data + 76, "CFIL", 4), 0);
  brim_pod* back = brim_load_pod_file("mem", s);
  ASSERT_NE(back, nullptr);
  EXPECT_STREQ(back->name, "sample");
  EXPECT_EQ(brim_pod_version, 1);
  expect_same_items(pod, back);
  // Names are cut to 63 characters.
  EXPECT_EQ(std::strlen(cpod_get_file(back, 0)->name), 63u);
  EXPECT_EQ(cpod_get_bitmap(back, 0), nullptr);  // wrong type
  EXPECT_NE(cpod_get_palette(back, 2), nullptr);
  EXPECT_EQ(cpod_get_item(back, 99), nullptr);
  brim_destroy_pod(back);
  brim_destroy_buffer(s);
  brim_destroy_pod(pod);
}

TEST(PodArchive, CompressedFormsRoundTrip) {
  brim_pod* pod = sample_pod();
  brim_pod_compression = 1;
  brim_stream* s = saved(pod);
  brim_pod_compression = 0;
  EXPECT_EQ(std::memcmp(s->data + 76, "cFIL", 4), 0);
  brim_stream* plain = saved(pod);
  EXPECT_LT(s->size, plain->size);  // the 5000-byte file shrinks
  brim_pod* back = brim_load_pod_file("mem", s);
  ASSERT_NE(back, nullptr);
  expect_same_items(pod, back);
  brim_destroy_pod(back);
  brim_destroy_buffer(s);
  brim_destroy_buffer(plain);
  brim_destroy_pod(pod);
}

TEST(PodArchive, CompressedBitmapLengthIsThePixelSize) {
  brim_pod* pod = brim_create_pod(0);
  cpod_add_item(pod, BRIM_ITEM_BITMAP, brim_create_bitmap(4, 3, 32));
  brim_pod_compression = 1;
  brim_stream* s = saved(pod);
  brim_pod_compression = 0;
  EXPECT_EQ(std::memcmp(s->data + 76, "cBMP", 4), 0);
  EXPECT_EQ(s->data[80], 4 * 3 * 4 + 20);
  brim_destroy_buffer(s);
  brim_destroy_pod(pod);
}

// A cFIL chunk by hand: its declared size is what the LZ4 block expands to.
std::vector<uint8_t> cfil_pod(uint32_t declared, const std::string& payload, int lie_n = 0) {
  brim_pod* pod = brim_create_pod(0);
  brim_stream* s = brim_create_buffer(0);
  brim_save_pod_file("hand", pod, s);  // header only
  brim_fwrite("cFIL", 1, 4, s);
  brim_write_u32(s, 0);
  brim_write_u32(s, declared);
  char name[64] = "packed.txt";
  brim_fwrite(name, 1, 64, s);
  long at = brim_ftell(s);
  brim_fwrite_lz4(s, payload.data(), static_cast<int>(payload.size()));
  if (lie_n) {
    brim_fseek(s, at, SEEK_SET);
    brim_write_u32(s, static_cast<uint32_t>(lie_n));
  }
  std::vector<uint8_t> bytes(s->data, s->data + s->size);
  brim_destroy_buffer(s);
  brim_destroy_pod(pod);
  return bytes;
}

TEST(PodArchive, CompressedFileExpandsToExactlyItsSize) {
  std::string payload(3000, 'z');
  payload += "tail";
  auto bytes = cfil_pod(static_cast<uint32_t>(payload.size()), payload);
  brim_stream* s = brim_open_memory(bytes.data(), static_cast<int>(bytes.size()));
  brim_pod* pod = brim_load_pod_file("", s);
  brim_fclose(s);
  ASSERT_NE(pod, nullptr);
  brim_stream* f = cpod_get_file(pod, 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->size, static_cast<int>(payload.size()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(f->data), f->size), payload);
  EXPECT_STREQ(f->name, "packed.txt");
  brim_destroy_pod(pod);
}

TEST(PodArchive, LyingSizesAreRefused) {
  std::string payload(3000, 'z');
  // Declared size larger or smaller than what the block expands to.
  for (uint32_t declared : {3001u, 2999u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    auto bytes = cfil_pod(declared, payload);
    brim_stream* s = brim_open_memory(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(brim_load_pod_file("", s), nullptr) << declared;
    brim_fclose(s);
  }
  // A compressed size word that lies.
  for (int n : {1, 5, 1 << 30, -1}) {
    auto bytes = cfil_pod(3000, payload, n);
    brim_stream* s = brim_open_memory(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(brim_load_pod_file("", s), nullptr) << n;
    brim_fclose(s);
  }
}

TEST(PodArchive, TwoPodsAndNopInOneBuffer) {
  brim_pod* a = brim_create_pod(0);
  cpod_add_file(a, "a", "1", 1);
  brim_pod* b = brim_create_pod(0);
  cpod_add_file(b, "b", "22", 2);
  cpod_add_file(b, "c", "333", 3);
  brim_stream* s = brim_create_buffer(0);
  brim_save_pod_file("first", a, s);
  brim_save_pod_file("second", b, s);
  brim_save_pod_file(nullptr, nullptr, s);  // CNOP
  brim_save_pod_file("third", a, s);
  brim_fseek(s, 0, SEEK_SET);

  brim_pod* p1 = brim_load_pod_file("", s);
  brim_pod* p2 = brim_load_pod_file("", s);
  brim_pod* p3 = brim_load_pod_file("", s);
  brim_pod* p4 = brim_load_pod_file("", s);
  ASSERT_NE(p1, nullptr);
  ASSERT_NE(p2, nullptr);
  EXPECT_EQ(p3, nullptr);
  ASSERT_NE(p4, nullptr);
  EXPECT_EQ(p1->count, 1);
  EXPECT_EQ(p2->count, 2);
  EXPECT_STREQ(p2->name, "second");
  EXPECT_STREQ(p4->name, "third");
  EXPECT_TRUE(brim_feof(s));

  brim_pod* set[256];
  brim_load_pod_set_from_memory(s->data, s->size, set);
  EXPECT_NE(set[0], nullptr);
  EXPECT_NE(set[1], nullptr);
  EXPECT_EQ(set[2], nullptr);
  ASSERT_NE(set[3], nullptr);
  EXPECT_EQ(set[3]->count, 1);
  for (int i = 4; i < 256; i++) ASSERT_EQ(set[i], nullptr);
  for (brim_pod* p : set) brim_destroy_pod(p);
  for (brim_pod* p : {a, b, p1, p2, p4}) brim_destroy_pod(p);
  brim_destroy_buffer(s);
}

TEST(PodArchive, EmptyPodAndWrongFirstTagAreNull) {
  brim_pod* empty = brim_create_pod(0);
  brim_stream* s = saved(empty);
  EXPECT_EQ(brim_load_pod_file("", s), nullptr);
  brim_destroy_buffer(s);
  brim_destroy_pod(empty);
  const char junk[] = "JUNKJUNKJUNKJUNK";
  s = brim_open_memory(junk, 16);
  EXPECT_EQ(brim_load_pod_file("", s), nullptr);
  brim_fclose(s);
  EXPECT_EQ(brim_load_pod_file("", nullptr), nullptr);
}

int callback_seen = 0;
bool take_csnd(brim_pod* pod, const char tag[4], uint32_t length, brim_stream* s) {
  if (std::memcmp(tag, "CSND", 4) != 0) return false;
  callback_seen++;
  std::vector<uint8_t> payload(length);
  brim_fread(payload.data(), 1, length, s);
  cpod_add_file(pod, "sound", payload.data(), static_cast<int>(length));
  return true;
}

TEST(PodArchive, UnknownChunksSkippedOrOfferedToTheLoader) {
  brim_pod* pod = brim_create_pod(0);
  cpod_add_file(pod, "x", "x", 1);
  brim_stream* s = brim_create_buffer(0);
  brim_save_pod_file("p", pod, s);
  for (const char* tag : {"CMOD", "CSND"}) {
    brim_fwrite(tag, 1, 4, s);
    brim_write_u32(s, 5);
    brim_fwrite("abcde", 1, 5, s);
  }
  brim_save_pod_file("next", pod, s);

  brim_fseek(s, 0, SEEK_SET);
  brim_pod* back = brim_load_pod_file("", s);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->count, 1);  // both skipped by length
  brim_pod* next = brim_load_pod_file("", s);
  ASSERT_NE(next, nullptr);
  EXPECT_STREQ(next->name, "next");
  brim_destroy_pod(back);
  brim_destroy_pod(next);

  brim_pod_loader_callback = take_csnd;
  brim_fseek(s, 0, SEEK_SET);
  back = brim_load_pod_file("", s);
  brim_pod_loader_callback = nullptr;
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(callback_seen, 1);
  ASSERT_EQ(back->count, 2);
  EXPECT_EQ(cpod_get_file(back, 1)->size, 5);
  brim_destroy_pod(back);
  brim_destroy_buffer(s);
  brim_destroy_pod(pod);
}

TEST(PodArchive, TruncatedAndCorruptedPodsNeverCrash) {
  brim_pod* pod = sample_pod();
  brim_pod_compression = 1;
  brim_stream* packed = saved(pod);
  brim_pod_compression = 0;
  brim_stream* plain = saved(pod);
  for (brim_stream* full : {packed, plain}) {
    // Every truncation: the pod is either whole-itemed or refused.
    for (int cut = 0; cut < full->size; cut += 7) {
      brim_stream* s = brim_open_memory(full->data, cut);
      brim_pod* p = brim_load_pod_file("", s);
      if (p) {
        EXPECT_LE(p->count, pod->count);
      }
      brim_destroy_pod(p);
      brim_fclose(s);
    }
    // Byte damage everywhere.
    std::vector<uint8_t> bytes(full->data, full->data + full->size);
    uint32_t x = 99;
    for (int round = 0; round < 400; round++) {
      std::vector<uint8_t> bad = bytes;
      for (int k = 0; k < 4; k++) {
        x = x * 1664525 + 1013904223;
        bad[(x >> 8) % bad.size()] = static_cast<uint8_t>(x >> 24);
      }
      brim_stream* s = brim_open_memory(bad.data(), static_cast<int>(bad.size()));
      brim_destroy_pod(brim_load_pod_file("", s));
      brim_fclose(s);
    }
  }
  brim_destroy_buffer(packed);
  brim_destroy_buffer(plain);
  brim_destroy_pod(pod);
}

TEST(PodArchive, HugeDeclaredBitmapIsRefusedWithoutAllocating) {
  brim_pod* pod = brim_create_pod(0);
  brim_stream* s = brim_create_buffer(0);
  brim_save_pod_file("hand", pod, s);
  brim_fwrite("CBMP", 1, 4, s);
  brim_write_u32(s, 20);
  for (uint32_t v : {16000u, 16000u, 32u, 0u, 0u}) brim_write_u32(s, v);
  brim_fseek(s, 0, SEEK_SET);
  EXPECT_EQ(brim_load_pod_file("", s), nullptr);
  brim_destroy_buffer(s);
  brim_destroy_pod(pod);
}

TEST(PodArchive, FilesOnDiskAndNested) {
  brim_pod* inner = sample_pod();
  brim_stream* inner_bytes = saved(inner);
  brim_pod* outer = brim_create_pod(0);
  cpod_add_file(outer, "zero", "0", 1);
  cpod_add_file(outer, "inner", inner_bytes->data, inner_bytes->size);
  std::string path = temp_path("outer.pod");
  EXPECT_EQ(brim_save_pod(path.c_str(), outer), 0);
  brim_pod* back = brim_load_pod(path.c_str());
  ASSERT_NE(back, nullptr);
  brim_pod* nested = cpod_load_nested(back, 1);
  ASSERT_NE(nested, nullptr);
  expect_same_items(inner, nested);
  EXPECT_EQ(cpod_load_nested(back, 0), nullptr);
  EXPECT_EQ(cpod_load_nested(back, 5), nullptr);
  EXPECT_EQ(brim_load_pod("/nonexistent/folder/x.pod"), nullptr);
  EXPECT_EQ(brim_save_pod("/nonexistent/folder/x.pod", outer), 0);  // 0 even so
  std::remove(path.c_str());
  for (brim_pod* p : {inner, outer, back, nested}) brim_destroy_pod(p);
  brim_destroy_buffer(inner_bytes);
}

TEST(PodLz4, FrameRoundTripAndDamage) {
  std::string text;
  for (int i = 0; i < 200; i++) text += "pattern " + std::to_string(i % 9);
  brim_stream* s = brim_create_buffer(0);
  int n = brim_fwrite_lz4(s, text.data(), static_cast<int>(text.size()));
  EXPECT_EQ(n, s->size);
  brim_fseek(s, 0, SEEK_SET);
  std::string out(text.size(), 0);
  EXPECT_EQ(brim_fread_lz4(s, out.data(), static_cast<int>(out.size())), 0);
  EXPECT_EQ(out, text);
  // Wrong expected size, damaged block.
  brim_fseek(s, 0, SEEK_SET);
  EXPECT_EQ(brim_fread_lz4(s, out.data(), static_cast<int>(out.size()) - 1), -1);
  s->data[s->size / 2] ^= 0xFF;
  s->data[s->size / 2 + 1] ^= 0x5A;
  brim_fseek(s, 0, SEEK_SET);
  // A flipped byte may still decode; it must never write past the buffer.
  brim_fread_lz4(s, out.data(), static_cast<int>(out.size()));
  brim_destroy_buffer(s);
}

}  // namespace
