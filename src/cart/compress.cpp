#include "cart/compress.h"

#include <cstring>
#include <vector>

namespace {

// Index 0 ('^') is never used for encoding.
constexpr char kLiteral[] =
    "^\n 0123456789abcdefghijklmnopqrstuvwxyz!#%(){}[]<>+=/*:;.,~_";
constexpr int kLiteralCount = 60;
constexpr int kWindow = 3120;
constexpr int kMaxMatch = 17;
constexpr int kHashSize = 8192;

// Adapters older versions appended to programs; dropped when they end a text.
constexpr char kAdapter60[] =
    "if(_update60)_update=function()_update60()_update60()end";
constexpr char kAdapterButtons[] =
    "if(_update60)_update=function()_update60()_update_buttons()_update60()end";

struct reverse_table {
  uint8_t index[256] = {};
  constexpr reverse_table() {
    for (int i = 1; i < kLiteralCount; i++)
      index[static_cast<uint8_t>(kLiteral[i])] = static_cast<uint8_t>(i);
  }
};
constexpr reverse_table kReverse;

inline int hash3(const uint8_t* s) {
  return (s[0] * 7 + s[1] * 1503 + s[2] * 51717) & (kHashSize - 1);
}

// Cuts suffix off out[0 .. n-1] when the text ends with it.
int cut_suffix(char* out, int n, const char* suffix) {
  int len = static_cast<int>(std::strlen(suffix));
  if (n >= len && std::memcmp(out + n - len, suffix, len) == 0) {
    std::memset(out + n - len, 0, len);
    return n - len;
  }
  return n;
}

}  // namespace

int compress_mini_block(const char* text_in, uint8_t* out, int length) {
  const auto* text = reinterpret_cast<const uint8_t*>(text_in);
  // found[h]: latest position whose three bytes hash to h. prev[j]: the
  // position before j with the same hash, so the window's candidates can be
  // visited without scanning every position. Only candidates whose first
  // three bytes agree can give a reference (length 3 or more), and all of
  // them share the hash, so this picks exactly the match a full scan of the
  // window would pick.
  std::vector<int> found(kHashSize, -1);
  std::vector<int> prev(length > 0 ? length : 1, -1);
  int candidates[kWindow];

  out[0] = ':';
  out[1] = 'c';
  out[2] = ':';
  out[3] = 0;
  out[4] = static_cast<uint8_t>(length >> 8);
  out[5] = static_cast<uint8_t>(length);
  out[6] = 0;
  out[7] = 0;
  int o = 8;
  int p = 0;
  while (p < length) {
    int p_before = p;
    int m = length - p < kMaxMatch ? length - p : kMaxMatch;
    int w = p < kWindow ? p : kWindow;
    int best_len = 0, best_i = 0;
    if (m > 2 && w > 2) {
      int e = found[hash3(text + p)];
      int lo = p - w;
      if (e >= lo) {
        // Gather the chain within the window, then test farthest first so
        // ties go to the farthest match and a full-length match ends it.
        int count = 0;
        for (int i = e; i >= lo && count < kWindow; i = prev[i]) candidates[count++] = i;
        for (int c = count - 1; c >= 0; c--) {
          int i = candidates[c];
          int k = 0;
          while (k < m && i + k < p && text[i + k] == text[p + k]) k++;
          if (k > best_len) {
            best_len = k;
            best_i = i;
            if (k == m) break;
          }
        }
      }
    }
    if (best_len >= 3) {
      int d = p - best_i;
      out[o++] = static_cast<uint8_t>(d / 16 + 60);
      out[o++] = static_cast<uint8_t>(d % 16 + (best_len - 2) * 16);
      p += best_len;
    } else {
      uint8_t ch = text[p];
      uint8_t idx = kReverse.index[ch];
      if (idx == 0) {
        out[o++] = 0;
        out[o++] = ch;
      } else {
        out[o++] = idx;
      }
      p += 1;
    }
    int from = p_before - 2 > 0 ? p_before - 2 : 0;
    for (int j = from; j <= p - 3; j++) {
      int h = hash3(text + j);
      prev[j] = found[h];
      found[h] = j;
    }
  }
  return o;
}

int compress_mini(const char* text, uint8_t* out, int length) {
  int size = compress_mini_block(text, out, length);
  if (size < length) return size;
  // The uncompressed text wins ties.
  if (length > 0) std::memcpy(out, text, length);
  return length;
}

int compressed_code_size(const char* text) {
  int length = static_cast<int>(std::strlen(text));
  if (length > 65535) length = 65535;
  std::vector<uint8_t> out(8 + 2 * static_cast<size_t>(length));
  return compress_mini(text, out.data(), length);
}

bool is_compressed_code(const uint8_t* data, int size) {
  return size >= 4 && data[0] == ':' && data[1] == 'c' && data[2] == ':' && data[3] == 0;
}

int decompress_mini(const uint8_t* block, char* out, int size, int block_size) {
  if (size > 0) std::memset(out, 0, size);
  if (block_size < 8) return -1;
  int declared = (block[4] << 8) | block[5];
  if (size < declared) return 1;

  int n = 0;
  int b = 8;
  bool bad = false;
  while (n < declared) {
    if (b >= block_size) { bad = true; break; }
    int t = block[b++];
    if (t == 0) {
      if (b >= block_size) { bad = true; break; }
      out[n++] = static_cast<char>(block[b++]);
    } else if (t < kLiteralCount) {
      out[n++] = kLiteral[t];
    } else {
      if (b >= block_size) { bad = true; break; }
      int u = block[b++];
      int offset = (t - 60) * 16 + (u & 0x0F);
      int len = (u >> 4) + 2;
      if (offset == 0 || offset > n || n + len > declared) { bad = true; break; }
      // Byte by byte, so an overlapping reference repeats its pattern.
      for (int k = 0; k < len; k++, n++) out[n] = out[n - offset];
    }
  }
  if (bad) {
    if (size > 0) std::memset(out, 0, size);
    return -1;
  }
  n = cut_suffix(out, n, kAdapter60);
  n = cut_suffix(out, n, kAdapterButtons);
  return n;
}
