#include "web_selftest.h"

#include <gif_lib.h>
#include <lodepng.h>
#include <lz4.h>
#include <lz4hc.h>
#include <nettle/sha1.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "lauxlib.h"
#include "lua.h"

namespace {

constexpr int kSide = 128;
constexpr int kPixels = kSide * kSide;

// The picture: 8 × 8 squares whose colour steps along both axes, computed
// by a script on the fixed-point interpreter (numbers are 16.16 values).
const char kPictureScript[] =
    "return function(x, y) return ((x - x % 8) / 8 + (y - y % 8) / 8) % 16 end";

// A raised error unwinds as a C++ exception (Lua is compiled as C++), so
// this is the check that the build's exception support works.
const char kErrorScript[] = "local t return t.x";

bool lua_error_caught(lua_State* L) {
  bool ok = luaL_loadbuffer(L, kErrorScript, sizeof kErrorScript - 1, "=error") == LUA_OK &&
            lua_pcall(L, 0, 0, 0) == LUA_ERRRUN && lua_isstring(L, -1);
  lua_settop(L, 0);
  return ok;
}

bool lua_draw(uint8_t* screen) {
  lua_State* L = luaL_newstate();
  if (!L) return false;
  bool ok = lua_error_caught(L) &&
            luaL_loadbuffer(L, kPictureScript, sizeof kPictureScript - 1, "=picture") == LUA_OK &&
            lua_pcall(L, 0, 1, 0) == LUA_OK && lua_isfunction(L, -1);
  for (int i = 0; ok && i < kPixels; i++) {
    lua_pushvalue(L, -1);
    lua_pushnumber(L, (lua_Number)((i % kSide) << 16));
    lua_pushnumber(L, (lua_Number)((i / kSide) << 16));
    ok = lua_pcall(L, 2, 1, 0) == LUA_OK;
    if (ok) screen[i] = (uint8_t)(lua_tointeger(L, -1) & 15);
    lua_pop(L, ok ? 1 : 0);
  }
  lua_close(L);
  return ok;
}

std::vector<unsigned char> to_rgba(const uint8_t* screen, const uint8_t (*rgb)[3]) {
  std::vector<unsigned char> rgba(kPixels * 4);
  for (int i = 0; i < kPixels; i++) {
    std::memcpy(&rgba[i * 4], rgb[screen[i] & 15], 3);
    rgba[i * 4 + 3] = 255;
  }
  return rgba;
}

bool zlib_round_trip(const std::vector<unsigned char>& data) {
  uLongf packed_len = compressBound(data.size());
  std::vector<unsigned char> packed(packed_len);
  if (compress2(packed.data(), &packed_len, data.data(), data.size(), 9) != Z_OK) return false;
  uLongf back_len = data.size();
  std::vector<unsigned char> back(back_len);
  return uncompress(back.data(), &back_len, packed.data(), packed_len) == Z_OK && back == data;
}

bool lz4_round_trip(const std::vector<unsigned char>& data) {
  std::vector<char> packed(LZ4_compressBound((int)data.size()));
  int n = LZ4_compress_HC((const char*)data.data(), packed.data(), (int)data.size(),
                          (int)packed.size(), LZ4HC_CLEVEL_DEFAULT);
  std::vector<unsigned char> back(data.size());
  return n > 0 && LZ4_decompress_safe(packed.data(), (char*)back.data(), n, (int)back.size()) ==
                      (int)data.size() &&
         back == data;
}

// RFC 3174's first test vector.
bool sha1_known_answer() {
  static const uint8_t want[SHA1_DIGEST_SIZE] = {0xa9, 0x99, 0x3e, 0x36, 0x47, 0x06, 0x81,
                                                 0x6a, 0xba, 0x3e, 0x25, 0x71, 0x78, 0x50,
                                                 0xc2, 0x6c, 0x9c, 0xd0, 0xd8, 0x9d};
  sha1_ctx ctx;
  sha1_init(&ctx);
  sha1_update(&ctx, 3, (const uint8_t*)"abc");
  uint8_t got[SHA1_DIGEST_SIZE];
  sha1_digest(&ctx, sizeof got, got);
  return std::memcmp(got, want, sizeof got) == 0;
}

int gif_write(GifFileType* gif, const GifByteType* bytes, int n) {
  auto* out = static_cast<std::vector<unsigned char>*>(gif->UserData);
  out->insert(out->end(), bytes, bytes + n);
  return n;
}

// Encodes the screen as a one-frame GIF in memory: a whole file has the
// signature and ends with the trailer byte.
bool gif_encode(uint8_t* screen, const uint8_t (*rgb)[3]) {
  std::vector<unsigned char> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, gif_write, &error);
  if (!gif) return false;
  GifColorType colours[16];
  for (int i = 0; i < 16; i++) colours[i] = {rgb[i][0], rgb[i][1], rgb[i][2]};
  ColorMapObject* map = GifMakeMapObject(16, colours);
  bool ok = map && EGifPutScreenDesc(gif, kSide, kSide, GifBitSize(16), 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, kSide, kSide, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < kSide; y++) ok = EGifPutLine(gif, screen + y * kSide, kSide) == GIF_OK;
  GifFreeMapObject(map);
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  return ok && out.size() > 6 && std::memcmp(out.data(), "GIF8", 4) == 0 && out.back() == 0x3B;
}

}  // namespace

const char* web_selftest(uint8_t* screen, const uint8_t (*rgb)[3]) {
  if (!lua_draw(screen)) return "lua: picture script or error handling failed";
  std::vector<unsigned char> rgba = to_rgba(screen, rgb);
  std::vector<unsigned char> png;
  if (lodepng::encode(png, rgba, kSide, kSide) != 0) return "lodepng: encode failed";
  if (!zlib_round_trip(png)) return "zlib: round trip failed";
  if (!lz4_round_trip(png)) return "lz4: round trip failed";
  std::vector<unsigned char> decoded;
  unsigned w = 0, h = 0;
  if (lodepng::decode(decoded, w, h, png) != 0 || decoded != rgba) return "lodepng: decode differs";
  if (!sha1_known_answer()) return "nettle: sha1 gives a wrong digest";
  if (!gif_encode(screen, rgb)) return "giflib: encode failed";
  return nullptr;
}
