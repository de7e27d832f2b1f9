#include "zkcart_core.h"

#include <lodepng.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "audio/audio.h"
#include "audio/mix_channel.h"
#include "audio/wav_writer.h"
#include "cart/cart_files.h"
#include "cart/cart_names.h"
#include "cart/compress.h"
#include "cart/cart_record.h"
#include "cart/legacy.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "cart/standalone.h"
#include "cart/data_pod.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "cart/textcart.h"
#include "gfx/blit.h"
#include "script/tabs.h"
#include "script/tokens.h"
#include "script/tokens_limits.h"
#include "machine/loaded_cart.h"
#include "machine/memory.h"
#include "machine/machine.h"
#include <lua.h>
#include "runner/runner.h"
#include "gfx/printer.h"
#include "tool_core.h"

struct zkc_sound {
  zurkel_sfx sfx[ZKC_SOUNDS];
  int32_t music[ZKC_SOUNDS][4];
  int32_t music_flags[ZKC_SOUNDS];
};

namespace {

constexpr int kMaxPngSide = 8192;

// The console prints through a machine's screen; the tool keeps one for the
// whole run and collects the lines.
std::vector<std::string> g_printed;

zurkel_machine* use_machine() {
  static zurkel_machine machine;
  if (machine.screen) return &machine;
  machine.screen = brim_create_bitmap(128, 128, 8);
  machine.cart = brim_create_zurkel_cart();
  machine.mode = 0;
  machine.print_listener = [](const char* text, int) {
    std::string line = text;
    while (!line.empty() && line.back() == '\n') line.pop_back();
    g_printed.push_back(line);
  };
  return &machine;
}

std::vector<std::string> take_printed() { return std::exchange(g_printed, {}); }

struct record_deleter {
  void operator()(zurkel_cart* c) const { brim_destroy_zurkel_cart(c); }
};
using record = std::unique_ptr<zurkel_cart, record_deleter>;

void copy_picture(const brim_bitmap* b, uint8_t* out, int w, int h) {
  for (int y = 0; y < h; y++) std::memcpy(out + y * w, b->line[y], w);
}
void paste_picture(const uint8_t* in, brim_bitmap* b, int w, int h) {
  for (int y = 0; y < h; y++) std::memcpy(b->line[y], in + y * w, w);
}

void from_record(const zurkel_cart* r, zkc_cart& c) {
  c.code = r->code ? r->code : "";
  copy_picture(r->gfx, c.gfx.data(), ZKC_SHEET, ZKC_SHEET);
  copy_picture(r->map, c.map.data(), ZKC_MAP_W, ZKC_MAP_H);
  for (int i = 0; i < 256; i++) c.flags[i] = static_cast<uint8_t>(r->sprite_flags[i]);
  c.has_label = r->label && r->label->w == ZKC_SHEET && r->label->h == ZKC_SHEET;
  if (c.has_label) copy_picture(r->label, c.label.data(), ZKC_SHEET, ZKC_SHEET);
  c.sound = std::make_shared<zkc_sound>();
  std::memcpy(c.sound->sfx, r->sfx, sizeof r->sfx);
  std::memcpy(c.sound->music, r->music, sizeof r->music);
  std::memcpy(c.sound->music_flags, r->music_flags, sizeof r->music_flags);
}

record to_record(const zkc_cart& c) {
  record r(brim_create_zurkel_cart());
  size_t n = std::min(c.code.size(), static_cast<size_t>(ZURKEL_CODE_BUFFER - 1));
  std::memcpy(r->code, c.code.data(), n);
  r->code[n] = 0;
  paste_picture(c.gfx.data(), r->gfx, ZKC_SHEET, ZKC_SHEET);
  paste_picture(c.map.data(), r->map, ZKC_MAP_W, ZKC_MAP_H);
  for (int i = 0; i < 256; i++) r->sprite_flags[i] = c.flags[i];
  if (c.has_label) {
    r->label = brim_create_bitmap(ZKC_SHEET, ZKC_SHEET, 8);
    paste_picture(c.label.data(), r->label, ZKC_SHEET, ZKC_SHEET);
  }
  if (c.sound) {
    std::memcpy(r->sfx, c.sound->sfx, sizeof r->sfx);
    std::memcpy(r->music, c.sound->music, sizeof r->music);
    std::memcpy(r->music_flags, c.sound->music_flags, sizeof r->music_flags);
  }
  return r;
}

// What the load pipeline does to a freshly read cart, short of making it
// the console's loaded cart.
void settle(zurkel_cart* r) {
  apply_legacy_changes(use_machine(), r);
  zurkel_sync_shared_after_load(r);
  split_code_to_tabs(r);
  merge_code_from_tabs(r);
}

std::string text_cart_fault(bool empty) {
  if (textcart_future_version) return "made by a newer version of the console";
  if (empty) return "an empty file";
  return "not a cartridge: its first line must begin with \"zurkel cartridge\"";
}

}  // namespace

bool zkc_load(const std::string& path, zkc_cart& cart, zkc_load_notes& notes, std::string& err) {
  use_machine();
  take_printed();
  notes = zkc_load_notes{};
  std::vector<uint8_t> bytes;
  if (!cart_read_file(path, bytes)) {
    err = cart_file_exists(path) ? "cannot read it" : "no such file";
    return false;
  }
  notes.png = bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
  record r;
  if (notes.png) {
    r.reset(load_zurkel_cart_png(path.c_str()));
    if (!r) {
      const char* why[] = {"", "not a readable PNG file",
                           "not a picture cart (those are 160 x 205 pixels)",
                           "made by a newer version of the console"};
      err = why[std::clamp(zurkel_png_load_error, 1, 3)];
    }
  } else {
    textcart_notes tn;
    r.reset(brim_load_zurkel_cart(path.c_str(), &tn));
    notes.header = tn.header;
    notes.version_line = tn.version_line;
    notes.unknown_sections = tn.unknown_sections;
    if (!r) err = text_cart_fault(bytes.empty());
  }
  if (!r) return false;
  settle(r.get());
  notes.console_lines = take_printed();
  from_record(r.get(), cart);
  return true;
}

bool zkc_parse_text(const std::string& text, zkc_cart& cart, std::string& err) {
  use_machine();
  brim_stream* s = brim_open_memory(text.data(), static_cast<int>(text.size()));
  record r(brim_load_zurkel_cart_from_file(s));
  brim_fclose(s);
  if (!r) {
    err = "not a text cart";
    return false;
  }
  settle(r.get());
  take_printed();
  from_record(r.get(), cart);
  return true;
}

bool zkc_is_png_name(const std::string& path) { return cart_name_is_png(path); }

bool zkc_save(const zkc_cart& cart, const std::string& path, std::string& err) {
  use_machine();
  record r = to_record(cart);
  if (!zkc_is_png_name(path)) {
    if (brim_save_zurkel_cart(r.get(), path.c_str()) == 0) return true;
    err = "cannot write it";
    return false;
  }
  std::vector<uint8_t> png;
  if (!save_zurkel_cart_png_to_memory(r.get(), png)) {
    err = "the code does not fit a picture cart (" +
          std::to_string(compressed_code_size(r->code)) + " / " +
          std::to_string(ZURKEL_COMPRESSED_LIMIT) + " compressed bytes)";
    return false;
  }
  if (cart_write_file(path, png.data(), png.size())) return true;
  err = "cannot write it";
  return false;
}

void zkc_sync_shared(zkc_cart& cart, bool map_from_sheet) {
  record r = to_record(cart);
  if (map_from_sheet) sync_shared_gfx_to_map(r.get());
  else sync_shared_map_to_gfx(r.get());
  copy_picture(r->gfx, cart.gfx.data(), ZKC_SHEET, ZKC_SHEET);
  copy_picture(r->map, cart.map.data(), ZKC_MAP_W, ZKC_MAP_H);
}

std::vector<zkc_size_line> zkc_size_lines(const std::string& code) {
  std::vector<zkc_size_line> out;
  for (const zurkel_info_line& l :
       {info_tokens_line(count_tokens(code.c_str())), info_chars_line(static_cast<int>(code.size())),
        info_compressed_line(compressed_code_size(code.c_str()))})
    out.push_back({l.text, l.colour != 6});
  return out;
}

bool zkc_compile(const zkc_cart& cart, std::vector<std::string>& lines) {
  zurkel_machine* m = use_machine();
  take_printed();
  // The cart becomes the loaded cart, whose code tabs name error lines.
  set_loaded_cart(m, to_record(cart).release(), nullptr);
  split_code_to_tabs(m);
  merge_code_from_tabs(m);
  reset_lua_machine(m);
  bool ok = run_program_as(m, m->loaded.cart->code, false);
  lua_State* L = m->L;
  m->L = nullptr;
  m->gc_thread = nullptr;
  if (L) lua_close(L);
  m->mode = 0;
  lines = take_printed();
  return ok;
}

int zkc_sfx_count(const zkc_cart& cart) {
  int n = 0;
  for (const zurkel_sfx& s : cart.sound->sfx)
    n += std::any_of(std::begin(s.notes), std::end(s.notes), [](const zurkel_note& k) { return k.volume > 0; });
  return n;
}

int zkc_pattern_count(const zkc_cart& cart) {
  int n = 0;
  for (const auto& p : cart.sound->music) n += std::any_of(p, p + 4, [](int32_t c) { return c < 64; });
  return n;
}

namespace {

// A silent chip at volume 256 whose first tick starts with the next sample:
// the 183 samples of a fresh channel's empty tick buffer are mixed away.
void start_chip(const zurkel_machine* m) {
  brim_audio_use_sample_clock();
  brim_audio_reset_state();
  brim_set_sound_volume(256);
  brim_set_music_volume(256);
  brim_audio_set_engine_paused(0);
  zurkel_set_audio_pause(0);
  int16_t scratch[BRIM_TICK_SAMPLES];
  brim_mix_samples(m, scratch, BRIM_TICK_SAMPLES);
}

// Mixes one tick onto out; false once max_samples are there.
bool mix_tick(const zurkel_machine* m, std::vector<int16_t>& out, int max_samples) {
  if (static_cast<int>(out.size()) + BRIM_TICK_SAMPLES > max_samples) return false;
  size_t at = out.size();
  out.resize(at + BRIM_TICK_SAMPLES);
  brim_mix_samples(m, out.data() + at, BRIM_TICK_SAMPLES);
  return true;
}

void stop_chip(const zurkel_cart* r) {
  brim_stop_all_sounds();
  brim_audio_release_cart(r);
}

}  // namespace

zkc_render_end zkc_render_sfx(const zkc_cart& cart, int n, int max_samples,
                              std::vector<int16_t>& out) {
  zurkel_machine* m = use_machine();
  out.clear();
  record r = to_record(cart);
  const zurkel_sfx& s = r->sfx[n];
  bool loops = s.loop_start < s.loop_end;
  // A looping effect would play forever: to its loop end and twice round.
  int length = loops ? s.loop_end + 2 * (s.loop_end - s.loop_start) : 0;
  start_chip(m);
  int channel = brim_play_sfx_ex(&s, 0, length, r.get(), -1);
  zkc_render_end end = zkc_render_end::capped;
  while (mix_tick(m, out, max_samples)) {
    if (brim_get_zurkel_channel_sfx(channel)) continue;
    mix_tick(m, out, max_samples);  // the last note's fade-out
    end = loops ? zkc_render_end::looped : zkc_render_end::finished;
    break;
  }
  stop_chip(r.get());
  if (std::all_of(out.begin(), out.end(), [](int16_t v) { return v == 0; })) return zkc_render_end::silent;
  return end;
}

zkc_render_end zkc_render_music(const zkc_cart& cart, int n, int max_samples,
                                std::vector<int16_t>& out) {
  zurkel_machine* m = use_machine();
  out.clear();
  record r = to_record(cart);
  start_chip(m);
  brim_play_zurkel_song(r.get(), n, 0);
  zkc_render_end end = zkc_render_end::capped;
  if (!brim_music_is_playing()) end = zkc_render_end::silent;
  // stat(24) and stat(25): the pattern playing, and how often it moved on.
  std::set<int> played = {n};
  int moves = zurkel_sound_stat(m, 25);
  while (end == zkc_render_end::capped && mix_tick(m, out, max_samples)) {
    if (!brim_music_is_playing()) {
      mix_tick(m, out, max_samples);  // the last notes' fade-out
      end = zkc_render_end::finished;
    } else if (zurkel_sound_stat(m, 25) != moves) {
      moves = zurkel_sound_stat(m, 25);
      if (!played.insert(zurkel_sound_stat(m, 24)).second) end = zkc_render_end::looped;
    }
  }
  stop_chip(r.get());
  return end;
}

bool zkc_write_wav(const std::string& path, const std::vector<int16_t>& samples) {
  return brim_write_wav(path.c_str(), samples.data(), static_cast<int>(samples.size()));
}

bool zkc_load_resources(const std::string& data_pod, std::string& err) {
  use_machine();
  std::string pod = tool_find_data_pod(data_pod);
  if (pod.empty()) {
    err = data_pod.empty() ? "no data.pod found (beside zkcart or in the build tree); name one with --data-pod FILE"
                           : "no such file: " + data_pod;
    return false;
  }
  return tool_load_resources(pod, err);
}

std::array<uint8_t, 3> zkc_colour(int c) {
  const uint8_t* p = tool_palette_rgb() + 3 * (c & 15);
  return {p[0], p[1], p[2]};
}

bool zkc_read_png(const std::string& path, int w, int h, std::vector<uint8_t>& rgba,
                  std::string& err) {
  std::vector<uint8_t> bytes;
  if (!cart_read_file(path, bytes)) {
    err = cart_file_exists(path) ? "cannot read it" : "no such file";
    return false;
  }
  unsigned iw = 0, ih = 0;
  lodepng::State state;
  unsigned code = lodepng_inspect(&iw, &ih, &state, bytes.data(), bytes.size());
  if (code == 0 && (iw > kMaxPngSide || ih > kMaxPngSide)) code = 93;
  if (code == 0 && (static_cast<int>(iw) != w || static_cast<int>(ih) != h)) {
    err = std::to_string(iw) + " x " + std::to_string(ih) + " pixels; it must be " + std::to_string(w) +
          " x " + std::to_string(h);
    return false;
  }
  if (code == 0) code = lodepng::decode(rgba, iw, ih, bytes, LCT_RGBA, 8);
  if (code != 0) {
    err = std::string("not a readable PNG file (") + lodepng_error_text(code) + ")";
    return false;
  }
  return true;
}

bool zkc_write_png(const std::string& path, const uint8_t* colours, int w, int h) {
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < static_cast<size_t>(w) * h; i++) {
    std::array<uint8_t, 3> c = zkc_colour(colours[i]);
    std::copy(c.begin(), c.end(), rgb.begin() + 3 * i);
  }
  std::string png;
  return tool_encode_png(rgb.data(), w, h, false, png) && tool_write_file(path, png);
}

std::vector<uint8_t> zkc_draw_map(const zkc_cart& cart) {
  record r = to_record(cart);
  brim_bitmap* out = brim_create_bitmap(ZKC_MAP_W * 8, ZKC_MAP_H * 8, 8);
  int32_t palette[16];
  for (int c = 0; c < 16; c++) palette[c] = c;  // every colour drawn, none transparent
  for (int y = 0; y < ZKC_MAP_H; y++)
    for (int x = 0; x < ZKC_MAP_W; x++)
      if (int v = r->map->line[y][x])
        zurkel_draw_sprite_pal(r->gfx, out, (v % 16) * 8, (v / 16) * 8, x * 8, y * 8, 8, 8, palette);
  std::vector<uint8_t> pixels(static_cast<size_t>(out->w) * out->h);
  copy_picture(out, pixels.data(), out->w, out->h);
  brim_destroy_bitmap(out);
  return pixels;
}

bool zkc_read_file(const std::string& path, std::string& data, size_t max_size) {
  return tool_read_file(path, data, max_size);
}
bool zkc_write_file(const std::string& path, const std::string& data) { return tool_write_file(path, data); }
bool zkc_file_exists(const std::string& path) { return cart_file_exists(path); }
std::string zkc_code_comment(const std::string& code, int n) { return tool_code_comment(code.c_str(), n); }

namespace {
bool cart_image_of(const zkc_cart& cart, std::vector<uint8_t>& image, std::string& err) {
  record r = to_record(cart);
  return standalone_cart_image(r.get(), image, err);
}

std::string program_folder() {
  char here[BRIM_PATH_MAX];
  brim_set_program_path(nullptr);
  brim_prefix_with_program_path("", here);
  return here;
}

std::string first_existing(const std::string& given, const std::vector<std::string>& places,
                           std::vector<std::string>& looked) {
  looked = given.empty() ? places : std::vector<std::string>{given};
  for (const std::string& p : looked)
    if (cart_file_exists(p)) return p;
  return "";
}
}  // namespace

bool zkc_export_page(const zkc_cart& cart, const std::string& cart_path,
                     const std::string& player_html, std::string& page, std::string& err) {
  std::vector<uint8_t> image;
  return cart_image_of(cart, image, err) &&
         standalone_page(player_html, image, standalone_cart_name(cart_path.c_str()), page, err);
}

bool zkc_export_program(const zkc_cart& cart, const std::string& cart_path,
                        const std::string& console, const std::string& out, std::string& err) {
  std::vector<uint8_t> image, pod;
  return cart_image_of(cart, image, err) &&
         standalone_pod(zurkel_data_pod, image, standalone_cart_name(cart_path.c_str()), pod, err) &&
         standalone_write_program(console.c_str(), pod, out.c_str(), err);
}

std::string zkc_find_player(const std::string& given, std::vector<std::string>& looked) {
  return first_existing(given, standalone_player_places(program_folder()), looked);
}

std::string zkc_find_console(const std::string& given, std::vector<std::string>& looked) {
  std::string here = program_folder();
  return first_existing(given, {here + "zurkel", here + "../../zurkel"}, looked);
}
