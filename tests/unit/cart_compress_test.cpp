#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cart/compress.h"

namespace {

std::vector<uint8_t> compress(const std::string& s) {
  std::vector<uint8_t> out(8 + 2 * s.size());
  int n = compress_mini(s.data(), out.data(), static_cast<int>(s.size()));
  out.resize(n);
  return out;
}

std::string decompress(const std::vector<uint8_t>& block) {
  std::vector<char> out(65538);
  int n = decompress_mini(block.data(), out.data(), static_cast<int>(out.size()),
                          static_cast<int>(block.size()));
  EXPECT_GE(n, 0);
  EXPECT_EQ(std::strlen(out.data()), static_cast<size_t>(n < 0 ? 0 : n));
  return std::string(out.data(), n < 0 ? 0 : n);
}

// The plain scan over the whole window, kept here as the yardstick for the
// hash-chain search of the real compressor.
std::vector<uint8_t> reference_block(const std::string& s) {
  const char* lit = "^\n 0123456789abcdefghijklmnopqrstuvwxyz!#%(){}[]<>+=/*:;.,~_";
  int rev[256] = {};
  for (int i = 1; i < 60; i++) rev[static_cast<uint8_t>(lit[i])] = i;
  std::string t = s + std::string(1024, '\0');
  auto u = [&](int i) { return static_cast<uint8_t>(t[i]); };
  auto hash = [&](int i) { return (u(i) * 7 + u(i + 1) * 1503 + u(i + 2) * 51717) & 0x1FFF; };
  std::vector<int> found(8192, -1);
  int L = static_cast<int>(s.size());
  std::vector<uint8_t> out = {':', 'c', ':', 0, static_cast<uint8_t>(L >> 8),
                              static_cast<uint8_t>(L), 0, 0};
  int p = 0;
  while (p < L) {
    int pb = p;
    int m = std::min(L - p, 17), w = std::min(p, 3120);
    int best = 0, bi = 0;
    if (m > 2 && w > 2) {
      int e = found[hash(p)];
      if (e >= p - w) {
        for (int i = p - w; i <= e; i++) {
          if (t[i] != t[p]) continue;
          int k = 0;
          while (k < m && i + k < p && t[i + k] == t[p + k]) k++;
          if (k > best) { best = k; bi = i; }
        }
      }
    }
    if (best >= 3) {
      out.push_back(static_cast<uint8_t>((p - bi) / 16 + 60));
      out.push_back(static_cast<uint8_t>((p - bi) % 16 + (best - 2) * 16));
      p += best;
    } else {
      int idx = rev[u(p)];
      if (idx == 0) { out.push_back(0); out.push_back(u(p)); } else { out.push_back(idx); }
      p++;
    }
    for (int j = std::max(0, pb - 2); j <= p - 3; j++) found[hash(j)] = j;
  }
  return out;
}

const char* kProgram =
    "-- space pilots\n-- by the zurkel team\n\n"
    "function _init()\n  ship={x=64,y=100,spd=2,hp=3}\n  bullets={}\n  enemies={}\n"
    "  for i=1,8 do\n    add(enemies,{x=i*14,y=10+rnd(20),dx=1})\n  end\nend\n\n"
    "function _update()\n  if (btn(0)) ship.x-=ship.spd\n  if (btn(1)) ship.x+=ship.spd\n"
    "  if btnp(4) then\n    add(bullets,{x=ship.x+3,y=ship.y})\n    sfx(0)\n  end\n"
    "  for b in all(bullets) do\n    b.y-=4\n    if (b.y<-8) del(bullets,b)\n  end\n"
    "  for e in all(enemies) do\n    e.x+=e.dx\n    if e.x<0 or e.x>120 then e.dx=-e.dx e.y+=4 end\n"
    "  end\nend\n\nfunction _draw()\n  cls()\n  spr(1,ship.x,ship.y)\n"
    "  for b in all(bullets) do pset(b.x,b.y,10) end\n"
    "  for e in all(enemies) do spr(2,e.x,e.y) end\n"
    "  print(\"HP: \"..ship.hp,2,2,7)\nend\n";

std::string random_printable(std::mt19937& rng, int n) {
  std::string s;
  std::uniform_int_distribution<int> ch(32, 126), nl(0, 40);
  for (int i = 0; i < n; i++) s.push_back(nl(rng) == 0 ? '\n' : static_cast<char>(ch(rng)));
  return s;
}

// A large program assembled from varied pieces, like a real game's source.
std::string big_program(std::mt19937& rng, int target) {
  const char* names[] = {"player", "enemy", "bullet", "particle", "camera", "level", "score"};
  std::string s;
  std::uniform_int_distribution<int> pick(0, 6), num(0, 255);
  int f = 0;
  while (static_cast<int>(s.size()) < target) {
    std::string a = names[pick(rng)], b = names[pick(rng)];
    s += "function update_" + a + std::to_string(f++) + "(o)\n";
    s += "  o.x+=o.dx*" + std::to_string(num(rng)) + "\n  o.y+=o.dy\n";
    s += "  if o.x>" + std::to_string(num(rng)) + " then del(" + b + "s,o) end\n";
    s += "  for i=1,#" + a + "s do\n    local q=" + a + "s[i]\n";
    s += "    if (abs(q.x-o.x)<" + std::to_string(num(rng) % 9) + ") sfx(" +
         std::to_string(num(rng) % 64) + ")\n  end\nend\n\n";
  }
  s.resize(target);
  return s;
}

}  // namespace

TEST(CartCompress, EmptyTextGivesNothing) {
  uint8_t out[8];
  EXPECT_EQ(compress_mini("", out, 0), 0);
  EXPECT_EQ(compress_mini_block("", out, 0), 8);
  const uint8_t header[8] = {':', 'c', ':', 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(out, header, 8), 0);
}

TEST(CartCompress, FourEqualLettersStayPlain) {
  uint8_t out[16];
  EXPECT_EQ(compress_mini_block("aaaa", out, 4), 12);
  const uint8_t want[12] = {':', 'c', ':', 0, 0, 4, 0, 0, 13, 13, 13, 13};
  EXPECT_EQ(std::memcmp(out, want, 12), 0);
  EXPECT_EQ(compress_mini("aaaa", out, 4), 4);
  EXPECT_EQ(std::memcmp(out, "aaaa", 4), 0);
}

TEST(CartCompress, DistanceThreeLengthThreeToken) {
  // "abcabc...": at position 3 the match "abc" lies 3 back.
  std::string s = "abcabc";
  std::vector<uint8_t> out(8 + 2 * s.size());
  int n = compress_mini_block(s.data(), out.data(), 6);
  ASSERT_EQ(n, 13);
  EXPECT_EQ(out[8], 13);
  EXPECT_EQ(out[9], 14);
  EXPECT_EQ(out[10], 15);
  EXPECT_EQ(out[11], 60);
  EXPECT_EQ(out[12], 0x13);
}

TEST(CartCompress, CharactersOutsideTheTableCostTwoBytes) {
  uint8_t out[32];
  int n = compress_mini_block("A\"^-", out, 4);
  ASSERT_EQ(n, 16);
  const uint8_t want[8] = {0, 'A', 0, '"', 0, '^', 0, '-'};
  EXPECT_EQ(std::memcmp(out + 8, want, 8), 0);
}

TEST(CartCompress, TiesGoToTheFarthestMatch) {
  // "xyz" occurs at 0 and at 4; at position 8 both give length 3, the
  // farthest (distance 8) wins.
  std::string s = "xyz.xyz.xyz;";
  std::vector<uint8_t> out(8 + 2 * s.size());
  int n = compress_mini_block(s.data(), out.data(), static_cast<int>(s.size()));
  std::vector<uint8_t> got(out.begin(), out.begin() + n);
  EXPECT_EQ(got, reference_block(s));
  // position 4: "xyz." distance 4 length 4, then position 8: "xyz" from 0.
  const std::vector<uint8_t> tokens = {36, 37, 38, 56, 60, 0x24, 60, 0x18, 55};
  EXPECT_EQ(std::vector<uint8_t>(got.begin() + 8, got.end()), tokens);
}

TEST(CartCompress, UncompressedFormWinsTies) {
  std::string tie, shorter;
  for (int i = 0; i < 16; i++) tie.push_back("abcd"[i % 4]);
  shorter = tie + "abc";
  std::vector<uint8_t> out(8 + 2 * shorter.size());
  ASSERT_EQ(compress_mini_block(tie.data(), out.data(), 16), 16);
  EXPECT_EQ(compress_mini(tie.data(), out.data(), 16), 16);
  EXPECT_EQ(std::string(out.begin(), out.begin() + 16), tie);
  EXPECT_EQ(compress_mini(shorter.data(), out.data(), 19), 18);
  EXPECT_TRUE(is_compressed_code(out.data(), 18));
}

TEST(CartCompress, MatchesThePlainWindowScan) {
  std::mt19937 rng(7);
  std::vector<std::string> corpus = {kProgram, big_program(rng, 20000),
                                     random_printable(rng, 5000),
                                     std::string(5000, ' '), std::string(300, 'a') + "b"};
  for (const auto& s : corpus) {
    std::vector<uint8_t> out(8 + 2 * s.size());
    int n = compress_mini_block(s.data(), out.data(), static_cast<int>(s.size()));
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + n), reference_block(s));
  }
}

TEST(CartCompress, RoundTripOfPrograms) {
  std::mt19937 rng(11);
  std::vector<std::string> corpus = {kProgram, big_program(rng, 65535), big_program(rng, 4000),
                                     std::string(kProgram) + "\x80\xff~^|&"};
  for (const auto& s : corpus) {
    auto block = compress(s);
    if (static_cast<int>(block.size()) < static_cast<int>(s.size())) {
      EXPECT_TRUE(is_compressed_code(block.data(), static_cast<int>(block.size())));
      EXPECT_EQ(decompress(block), s);
    }
  }
  EXPECT_LT(compress(kProgram).size(), std::strlen(kProgram));
}

TEST(CartCompress, RoundTripOfRandomText) {
  std::mt19937 rng(3);
  for (int round = 0; round < 40; round++) {
    std::uniform_int_distribution<int> len(0, 3000);
    std::string s = random_printable(rng, len(rng));
    std::vector<uint8_t> out(8 + 2 * s.size());
    int n = compress_mini_block(s.data(), out.data(), static_cast<int>(s.size()));
    EXPECT_EQ(decompress(std::vector<uint8_t>(out.begin(), out.begin() + n)), s);
  }
}

TEST(CartCompress, AdapterStringsAreCutOnlyAtTheEnd) {
  std::string a60 = "if(_update60)_update=function()_update60()_update60()end";
  std::string ab =
      "if(_update60)_update=function()_update60()_update_buttons()_update60()end";
  ASSERT_EQ(a60.size(), 56u);
  ASSERT_EQ(ab.size(), 73u);
  std::string body = "x=1\nprint(x)\n";
  auto block = [](const std::string& s) {
    std::vector<uint8_t> out(8 + 2 * s.size());
    out.resize(compress_mini_block(s.data(), out.data(), static_cast<int>(s.size())));
    return out;
  };
  EXPECT_EQ(decompress(block(body + a60)), body);
  EXPECT_EQ(decompress(block(body + ab)), body);
  // Both, the buttons adapter first: both go.
  EXPECT_EQ(decompress(block(body + ab + a60)), body);
  // In the middle they stay.
  EXPECT_EQ(decompress(block(body + a60 + "\n" + body)), body + a60 + "\n" + body);
  EXPECT_EQ(decompress(block(a60 + ab + body)), a60 + ab + body);
}

TEST(CartCompress, SmallOutputBufferGivesOne) {
  std::string s = "hello world hello world";
  std::vector<uint8_t> out(8 + 2 * s.size());
  int n = compress_mini_block(s.data(), out.data(), static_cast<int>(s.size()));
  char small[10];
  std::memset(small, 'z', sizeof small);
  EXPECT_EQ(decompress_mini(out.data(), small, 10, n), 1);
  for (char c : small) EXPECT_EQ(c, 0);
}

TEST(CartCompress, MalformedBlocksAreRejected) {
  char out[64];
  // Reference before the start of the output.
  const uint8_t before[] = {':', 'c', ':', 0, 0, 5, 0, 0, 13, 60, 0x13};
  EXPECT_EQ(decompress_mini(before, out, 64, sizeof before), -1);
  EXPECT_EQ(out[0], 0);
  // Reference running past the declared length (3 declared, 2 + 3 produced).
  const uint8_t past[] = {':', 'c', ':', 0, 0, 3, 0, 0, 13, 14, 60, 0x12};
  EXPECT_EQ(decompress_mini(past, out, 64, sizeof past), -1);
  // Tokens run out before the declared length.
  const uint8_t shortb[] = {':', 'c', ':', 0, 0, 9, 0, 0, 13, 14};
  EXPECT_EQ(decompress_mini(shortb, out, 64, sizeof shortb), -1);
  // A 0x00 token with no byte after it, and a reference cut in half.
  const uint8_t cut0[] = {':', 'c', ':', 0, 0, 2, 0, 0, 13, 0};
  EXPECT_EQ(decompress_mini(cut0, out, 64, sizeof cut0), -1);
  const uint8_t cutref[] = {':', 'c', ':', 0, 0, 9, 0, 0, 13, 14, 15, 60};
  EXPECT_EQ(decompress_mini(cutref, out, 64, sizeof cutref), -1);
  // Offset 0 would copy bytes not yet written.
  const uint8_t zero[] = {':', 'c', ':', 0, 0, 6, 0, 0, 13, 14, 15, 60, 0x10};
  EXPECT_EQ(decompress_mini(zero, out, 64, sizeof zero), -1);
  // A header cut short.
  EXPECT_EQ(decompress_mini(before, out, 64, 5), -1);
  // A well-formed overlapping reference repeats its pattern.
  const uint8_t overlap[] = {':', 'c', ':', 0, 0, 6, 0, 0, 13, 14, 60, 0x22};
  EXPECT_EQ(decompress_mini(overlap, out, 64, sizeof overlap), 6);
  EXPECT_STREQ(out, "ababab");
}

TEST(CartCompress, HeaderRecognisedOnlyWhole) {
  const uint8_t block[] = {':', 'c', ':', 0};
  EXPECT_TRUE(is_compressed_code(block, 4));
  EXPECT_FALSE(is_compressed_code(block, 3));
  const uint8_t label[] = {':', ':', 'l', 'o'};
  EXPECT_FALSE(is_compressed_code(label, 4));
  const uint8_t text[] = {':', 'c', ':', 'x'};
  EXPECT_FALSE(is_compressed_code(text, 4));
}
