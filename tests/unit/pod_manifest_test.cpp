#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "cart/cart_image.h"
#include "cart/textcart.h"
#include "machine/memory.h"
#include "cart/data_pod.h"
#include "cart/embedded_carts.h"
#include "cart/pod_manifest.h"
#include "pod/vdisk.h"
#include "machine/loaded_cart.h"
#include "cart/cart_record.h"

namespace {

struct manifest_dir : ::testing::Test {
  std::string dir;
  void SetUp() override {
    dir = std::string(::testing::TempDir()) + "zk_manifest_" + std::to_string(getpid()) + "/";
    std::string cmd = "mkdir -p '" + dir + "sub'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir + "'";
    std::system(cmd.c_str());
  }
  void put(const std::string& name, const std::string& text) {
    std::ofstream(dir + name, std::ios::binary) << text;
  }
  brim_pod* build(const std::string& manifest, std::string& error) {
    put("m.manifest", manifest);
    return brim_build_pod_from_manifest((dir + "m.manifest").c_str(), error);
  }
};

using PodManifest = manifest_dir;

TEST_F(PodManifest, EveryDirective) {
  put("sub/a.bin", std::string("\x01\x02\x03", 3));
  std::string pal;
  for (int i = 0; i < 256; i++) pal += std::to_string(i) + " " + std::to_string(255 - i) + " 7  # c\n";
  put("sub/pal.txt", "# a palette\n" + pal);
  put("sub/art.txt", "# art\n1.f\n\nA0.\n");
  put("sub/c.zk", "zurkel cartridge\nversion 12\n__lua__\nprint(1)\n__gfx__\n12\n\n");
  std::string error;
  brim_pod* pod = build(
      "name top\n"
      "file sub/a.bin\n"
      "file sub/a.bin renamed\n"
      "text \"say \\\"hi\\\"\\n\" greeting\n"
      "  # indented comment\n"
      "pod inner\n"
      "  palette sub/pal.txt\n"
      "  bitmap8 sub/art.txt\n"
      "end\n"
      "pad 6\n"
      "cart32k sub/c.zk c.zk\n",
      error);
  ASSERT_NE(pod, nullptr) << error;
  EXPECT_STREQ(pod->name, "top");
  ASSERT_EQ(pod->count, 7);
  EXPECT_STREQ(cpod_get_file(pod, 0)->name, "a.bin");
  EXPECT_EQ(cpod_get_file(pod, 0)->size, 3);
  EXPECT_STREQ(cpod_get_file(pod, 1)->name, "renamed");
  brim_stream* t = cpod_get_file(pod, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(t->data), t->size), "say \"hi\"\n");
  brim_pod* inner = cpod_load_nested(pod, 3);
  ASSERT_NE(inner, nullptr);
  EXPECT_STREQ(inner->name, "inner");
  brim_pod_palette* p = cpod_get_palette(inner, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->rgb[10][0], 10);
  EXPECT_EQ(p->rgb[10][1], 245);
  EXPECT_EQ(p->rgb[10][2], 7);
  brim_bitmap* art = cpod_get_bitmap(inner, 1);
  ASSERT_NE(art, nullptr);
  EXPECT_EQ(art->w, 3);
  EXPECT_EQ(art->h, 2);
  const uint8_t want[6] = {1, 0, 15, 10, 0, 0};
  EXPECT_EQ(std::memcmp(art->data, want, 6), 0);
  EXPECT_EQ(cpod_get_file(pod, 4)->size, 0);  // padding
  EXPECT_EQ(cpod_get_file(pod, 5)->size, 0);
  brim_stream* c = cpod_get_file(pod, 6);
  ASSERT_EQ(c->size, ZURKEL_IMAGE_SIZE);
  zurkel_cart* cart = brim_create_zurkel_cart();
  ASSERT_EQ(load_zurkel_cart_32k(cart, c->data), 0);
  EXPECT_STREQ(cart->code, "print(1)");
  EXPECT_EQ(cart->gfx->line[0][1], 2);
  brim_destroy_zurkel_cart(cart);
  brim_destroy_pod(inner);
  brim_destroy_pod(pod);
}

TEST_F(PodManifest, ErrorsNameTheLine) {
  std::string error;
  EXPECT_EQ(build("file nothing/here\n", error), nullptr);
  EXPECT_NE(error.find("m.manifest:1: cannot read"), std::string::npos) << error;
  EXPECT_EQ(build("# c\nbogus x\n", error), nullptr);
  EXPECT_NE(error.find(":2: unknown directive 'bogus'"), std::string::npos) << error;
  EXPECT_EQ(build("pod a\ntext \"x\" y\n", error), nullptr);
  EXPECT_NE(error.find("has no 'end'"), std::string::npos) << error;
  EXPECT_EQ(build("end\n", error), nullptr);
  EXPECT_EQ(build("text \"a\" a\ntext \"b\" b\npad 1\n", error), nullptr);
  EXPECT_NE(error.find("cannot pad"), std::string::npos) << error;
  EXPECT_EQ(build("text \"open a\n", error), nullptr);
  put("bad.txt", "1 2 3\n");
  EXPECT_EQ(build("palette bad.txt\n", error), nullptr);
  put("ragged.txt", "12\n123\n");
  EXPECT_EQ(build("bitmap8 ragged.txt\n", error), nullptr);
  put("notcart.zk", "hello\n");
  EXPECT_EQ(build("cart32k notcart.zk x\n", error), nullptr);
  EXPECT_EQ(build("podfile notcart.zk\n", error), nullptr);
  EXPECT_EQ(build("bitmap32 notcart.zk\n", error), nullptr);
  EXPECT_EQ(brim_build_pod_from_manifest("/nonexistent/m", error), nullptr);
}

// The real manifest builds, with its items where the console looks.
TEST(DataPod, SourceManifestLayoutAndBoot) {
  std::string error;
  std::string manifest = std::string(ZURKEL_SOURCE_DIR) + "/assets/data.pod.manifest";
  brim_pod* pod = brim_build_pod_from_manifest(manifest.c_str(), error);
  ASSERT_NE(pod, nullptr) << error;
  brim_stream* system = cpod_get_file(pod, DATA_POD_SYSTEM_CART);
  ASSERT_NE(system, nullptr);
  brim_stream* view = brim_open_buffer_view(system);
  zurkel_cart* sys = brim_load_zurkel_cart_from_file(view);
  brim_fclose(view);
  ASSERT_NE(sys, nullptr);
  EXPECT_GT(sys->sfx[0].notes[0].volume, 0);  // the boot chime sounds
  brim_destroy_zurkel_cart(sys);
  brim_pod* gfx = cpod_load_nested(pod, DATA_POD_GFX);
  ASSERT_NE(gfx, nullptr);
  EXPECT_NE(cpod_get_palette(gfx, 1), nullptr);
  brim_bitmap* tmpl = cpod_get_bitmap(gfx, 145);
  ASSERT_NE(tmpl, nullptr);
  EXPECT_EQ(tmpl->w, 160);
  EXPECT_EQ(tmpl->h, 205);
  EXPECT_EQ(tmpl->depth, 32);
  brim_stream* title = cpod_get_file(gfx, 4);
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(title->data), title->size), "zurkel");
  ASSERT_NE(cpod_get_bitmap(gfx, 6), nullptr);
  EXPECT_EQ(cpod_get_bitmap(gfx, 6)->depth, 32);
  for (int i : {7, 8, 19, 20, 21, 34, 176, 177, 178, 180, 181, 185, 187, 194})
    ASSERT_NE(cpod_get_bitmap(gfx, i), nullptr) << i;
  EXPECT_EQ(cpod_get_bitmap(gfx, 8)->w, 12);
  brim_destroy_pod(gfx);
  brim_pod* font = cpod_load_nested(pod, DATA_POD_FONT);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->count, 256);
  ASSERT_NE(cpod_get_bitmap(font, 'A'), nullptr);
  EXPECT_EQ(cpod_get_bitmap(font, 'A')->w, 3);
  brim_destroy_pod(font);
  ASSERT_NE(cpod_get_file(pod, DATA_POD_HEAD_CART), nullptr);
  EXPECT_EQ(cpod_get_file(pod, DATA_POD_HEAD_CART)->size, ZURKEL_IMAGE_SIZE);

  // Booting it: the head cart becomes the loaded cart and is mounted.
  brim_vdisk_clear();
  zurkel_machine m;
  brim_pod* saved_pod = zurkel_data_pod;
  zurkel_data_pod = pod;
  boot_embedded_cart(&m);
  EXPECT_EQ(m.mode, 0);
  EXPECT_EQ(m.pending_command, 1);
  ASSERT_NE(m.loaded.cart, nullptr);
  EXPECT_EQ(m.loaded.cart->version, 12);
  EXPECT_NE(std::strstr(m.loaded.cart->code, "function _draw()"), nullptr);
  EXPECT_STREQ(m.loaded.name, cpod_get_file(pod, DATA_POD_HEAD_CART)->name);
  const char* hash = get_embedded_cart_hash_for_filename(m.loaded.name);
  ASSERT_NE(hash, nullptr);
  EXPECT_STREQ(hash, m.loaded.hash);
  zurkel_cart* mounted = brim_load_zurkel_cart(m.loaded.name);  // from the virtual disk
  ASSERT_NE(mounted, nullptr);
  EXPECT_STREQ(mounted->code, m.loaded.cart->code);
  brim_destroy_zurkel_cart(mounted);
  EXPECT_EQ(get_embedded_cart_hash_for_filename("nope.zk"), nullptr);

  zurkel_data_pod = saved_pod;
  brim_destroy_pod(pod);
  brim_destroy_zurkel_cart(m.loaded.cart);
  m.loaded.cart = nullptr;
  brim_vdisk_clear();
  clear_embedded_carts();
}

TEST(DataPod, BootWithoutHeadCartSaysSo) {
  static std::string printed;
  printed.clear();
  zurkel_machine m;
  m.print_listener = [](const char* t, int) { printed += t; };
  brim_pod* pod = brim_create_pod(0);
  cpod_add_file(pod, "zero", "0", 1);
  brim_pod* saved_pod = zurkel_data_pod;
  zurkel_data_pod = pod;
  boot_embedded_cart(&m);
  EXPECT_EQ(printed, "head cart not found\n");
  EXPECT_EQ(m.pending_command, 0);
  EXPECT_EQ(m.mode, 2);
  zurkel_data_pod = nullptr;
  boot_embedded_cart(&m);  // no data.pod at all: same message, no crash
  EXPECT_EQ(printed, "head cart not found\nhead cart not found\n");
  zurkel_data_pod = saved_pod;
  brim_destroy_pod(pod);
}

TEST(DataPod, MountTableHoldsSixtyFour) {
  clear_embedded_carts();
  brim_vdisk_clear();
  zurkel_cart* c = brim_create_zurkel_cart();
  for (int i = 0; i < 70; i++) mount_embedded_cart(c, ("c" + std::to_string(i) + ".zk").c_str());
  EXPECT_EQ(embedded_cart_count(), 64);
  EXPECT_NE(get_embedded_cart_hash_for_filename("c63.zk"), nullptr);
  EXPECT_EQ(get_embedded_cart_hash_for_filename("c64.zk"), nullptr);
  EXPECT_EQ(brim_vdisk_find("c64.zk"), nullptr);
  EXPECT_NE(brim_vdisk_find("c0.zk"), nullptr);
  clear_embedded_carts();
  EXPECT_EQ(get_embedded_cart_hash_for_filename("c0.zk"), nullptr);
  brim_vdisk_clear();
  brim_destroy_zurkel_cart(c);
}

}  // namespace
