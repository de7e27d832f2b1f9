#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cart/standalone.h"
#include "pod/pod.h"

namespace {

std::string temp_path(const char* name) {
  return std::string(::testing::TempDir()) + "zk_standalone_" + std::to_string(getpid()) + "_" + name;
}

void write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string read(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

brim_pod* console_pod() {
  brim_pod* pod = brim_create_pod(5);
  for (const char* name : {"system.zk", "gfx", "font", "head.zk", "demo.zk"})
    cpod_add_file(pod, name, name, static_cast<int>(std::strlen(name)));
  return pod;
}

TEST(Standalone, CartNames) {
  const char* cases[][2] = {
      {"carts/game.zk", "game.zk"},     {"/a/b/game.zk.png", "game.zk"}, {"pic.png", "pic.zk"},
      {"noext", "noext.zk"},            {"dir.zk/x.p8", "x.p8.zk"},
  };
  for (auto& c : cases) EXPECT_EQ(standalone_cart_name(c[0]), c[1]) << c[0];
  EXPECT_EQ(standalone_cart_name(std::string(100, 'n').c_str()).size(), 63u);
}

TEST(Standalone, Base64) {
  // RFC 4648's test vectors, both ways.
  const char* cases[][2] = {{"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},
                            {"foo", "Zm9v"},   {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                            {"foobar", "Zm9vYmFy"}};
  for (auto& c : cases) {
    std::string plain = c[0];
    EXPECT_EQ(standalone_base64(reinterpret_cast<const uint8_t*>(plain.data()), plain.size()), c[1]);
    std::vector<uint8_t> back = standalone_unbase64(std::string(c[1]) + "\n");
    EXPECT_EQ(std::string(back.begin(), back.end()), plain);
  }
}

TEST(Standalone, PodHoldsResourcesAndCart) {
  brim_pod* pod = console_pod();
  std::vector<uint8_t> image(0x8000, 7), bytes;
  std::string error;
  ASSERT_TRUE(standalone_pod(pod, image, "x.zk", bytes, error)) << error;
  brim_stream* s = brim_open_memory(bytes.data(), static_cast<int>(bytes.size()));
  brim_pod* back = brim_load_pod_file("x", s);
  brim_fclose(s);
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->count, 4);  // the console's other carts stay behind
  EXPECT_STREQ(cpod_get_file(back, 1)->name, "gfx");
  EXPECT_STREQ(cpod_get_file(back, 3)->name, "x.zk");
  EXPECT_EQ(cpod_get_file(back, 3)->size, 0x8000);
  brim_destroy_pod(back);
  EXPECT_FALSE(standalone_pod(pod, std::vector<uint8_t>(100), "x.zk", bytes, error));
  brim_pod* bare = brim_create_pod(1);
  EXPECT_FALSE(standalone_pod(bare, image, "x.zk", bytes, error));
  EXPECT_NE(error.find("items 0-2"), std::string::npos);
  brim_destroy_pod(bare);
  brim_destroy_pod(pod);
}

TEST(Standalone, ProgramCarriesOnePod) {
  std::string exe = temp_path("exe"), out = temp_path("out"), again = temp_path("again");
  write(exe, "\x7f" "ELF program bytes");
  EXPECT_TRUE(standalone_read_appended(exe.c_str()).empty());
  std::string error;
  std::vector<uint8_t> pod = {'C', 'P', 'O', 'D', 1, 2, 3};
  ASSERT_TRUE(standalone_write_program(exe.c_str(), pod, out.c_str(), error)) << error;
  EXPECT_EQ(standalone_read_appended(out.c_str()), pod);
  EXPECT_EQ(access(out.c_str(), X_OK), 0);
  // Exporting from a standalone program replaces its pod, never stacks one.
  std::vector<uint8_t> other = {'C', 'P', 'O', 'D', 9};
  ASSERT_TRUE(standalone_write_program(out.c_str(), other, again.c_str(), error));
  EXPECT_EQ(standalone_read_appended(again.c_str()), other);
  EXPECT_EQ(read(again).substr(0, read(exe).size()), read(exe));
  EXPECT_EQ(read(again).size(), read(exe).size() + other.size() + 16);
  // A trailer whose size runs past the file's start is no pod.
  write(out, "abc" + std::string("\xff\xff\xff\xff\xff\xff\xff\x7f", 8) + "ZKSTANDA");
  EXPECT_TRUE(standalone_read_appended(out.c_str()).empty());
  EXPECT_FALSE(standalone_write_program(temp_path("missing").c_str(), pod, out.c_str(), error));
  for (const std::string& p : {exe, out, again}) std::remove(p.c_str());
}

TEST(Standalone, PageFillsTheCartSlot) {
  std::string player =
      "<body><script type=\"application/octet-stream\" id=\"zk-cart\" data-name=\"\"></script></body>";
  std::string page, error;
  ASSERT_TRUE(standalone_page(player, {1, 2, 3}, "my game\".zk", page, error));
  EXPECT_EQ(page,
            "<body><script type=\"application/octet-stream\" id=\"zk-cart\" "
            "data-name=\"my_game_.zk\">AQID</script></body>");
  EXPECT_FALSE(standalone_page(page, {1}, "x.zk", page, error));  // filled already
  EXPECT_NE(error.find("not the web player"), std::string::npos);
}

TEST(Standalone, PlayerPlaces) {
  std::vector<std::string> p = standalone_player_places("/b/");
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0], "/b/zurkel.html");
  EXPECT_EQ(p[1], "/b/web/zurkel.html");
  EXPECT_EQ(p[2], "/b/../build-web/zurkel.html");
  EXPECT_EQ(p[4], "/b/../../web/zurkel.html");
}

}  // namespace
