// The lists, navigation, the cart menu and launching.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "audio/audio.h"
#include "base/debug.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "gfx/resources.h"
#include "gfx/video.h"
#include "host/desktop.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "machine/machine.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "splore/bbs_names.h"
#include "splore/download.h"
#include "splore/favourites.h"
#include "splore/list_page.h"
#include "splore/splore.h"
#include "splore/splore_state.h"

splore_state splore;

namespace fs = std::filesystem;

namespace {
constexpr const char* SEARCH_CHARS = " abcdefghijklmnopqrstuvwxyz0123456789";

struct list_def {
  const char* name;
  const char* title;
  const char* request;
};
const list_def list_defs[LIST_COUNT] = {
    {"local", "local", ""},
    {"fav", "favourites", "cat=7&orderby=favourites&uid=1"},
    {"new", "new", "cat=7&sub=2"},
    {"top", "featured", "cat=7&sub=2&orderby=rating"},
    {"wip", "work in progress", "cat=7&sub=3"},
    {"collab", "collaboration", "cat=7&sub=4"},
    {"jam", "jam", "cat=7&sub=8"},
    {"search", "search", ""},
};

bool pressed(int b) { return button_pressed_frame(b, 0) != 0; }

std::string root() { return console_config.root_path; }

std::string title_of_file(const std::string& name) {
  std::string t = name.substr(name.find_last_of('/') == std::string::npos ? 0 : name.find_last_of('/') + 1);
  if (t.size() > 3) t.resize(t.size() - 3);
  return t;
}

void populate_splore_list_from_directory(splore_list& l, const std::string& folder) {
  l.items.clear();
  if (!folder.empty()) {
    splore_item up;
    up.type = ITEM_FOLDER;
    up.icon = GFX_RES_PARENT_FOLDER;
    up.title = up.file = "..";
    l.items.push_back(up);
  }
  std::vector<splore_item> found;
  std::error_code ec;
  for (fs::directory_iterator it(root() + folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code entry_ec;  // an unreadable entry is a file; the listing goes on
    bool dir = it->is_directory(entry_ec);
    if (!dir && name.find(".zk") == std::string::npos) continue;
    splore_item item;
    item.file = (folder + name).substr(0, SPLORE_TEXT_MAX);
    item.type = dir ? ITEM_FOLDER : ITEM_CART;
    item.icon = dir ? GFX_RES_FOLDER : 0;
    item.title = dir ? name : title_of_file(name);
    found.push_back(item);
    if (found.size() >= 4096) break;
  }
  std::sort(found.begin(), found.end(), [](const splore_item& a, const splore_item& b) {
    if ((a.type == ITEM_FOLDER) != (b.type == ITEM_FOLDER)) return a.type == ITEM_FOLDER;
    return a.title < b.title;
  });
  for (splore_item& it : found) l.items.push_back(std::move(it));
  mark_favourites(l);
}

void refill_local() {
  populate_splore_list_from_directory(splore.lists[LIST_LOCAL], splore.folder);
  splore_clamp_selection(splore.lists[LIST_LOCAL]);
}

splore_item* selected_item() {
  splore_list& l = splore_current();
  if (l.selected < 0 || l.selected >= static_cast<int>(l.items.size())) return nullptr;
  return &l.items[l.selected];
}

void start_launch() { splore.launch = 1; }

void enter_folder(const std::string& name) {
  std::error_code ec;
  fs::path base = fs::weakly_canonical(fs::path(root()), ec);
  fs::path target = fs::weakly_canonical(fs::path(root() + splore.folder + name), ec);
  if (ec) return;
  std::string b = base.string(), t = target.string();
  while (!b.empty() && b.back() == '/') b.pop_back();
  if (t != b && t.compare(0, b.size() + 1, b + "/") != 0) return;  // outside the root
  splore.folder = t == b ? "" : t.substr(b.size() + 1) + "/";
  splore.lists[LIST_LOCAL].selected = 0;
  refill_local();
}

void start_search_entry(splore_list& l) {
  l.search.clear();
  l.cursor = 0;
  l.entering = true;
  brim_drain_keys();
  brim_debug("splore: search entry\n");
}

void initiate_search(splore_list& l) {
  l.request = "cat=7&search=" + splore_url_encode(l.search) + "&max=32";
  download_list(l.name, l.request, 0);
  l.entering = false;
  block_buttons();
}

void generate_cart_menu(int menu) {
  splore.menu = menu;
  splore.menu_row = 0;
  splore.menu_rows.clear();
  if (menu == MENU_CART) {
    bool fav_list = splore.current == LIST_FAV;
    splore.menu_rows = {{"run cart", 1},
                        {fav_list ? "remove from favourites" : "favourite", 3},
                        {"bbs thread (browser)", 18},
                        {"options", 5},
                        {"cancel", 6}};
  } else if (menu == MENU_OPTIONS) {
    splore.menu_rows = {{cconfig.sound_volume == 0 ? "sound:off" : "sound:on", 32},
                        {brim_video.fullscreen ? "fullscreen:on" : "fullscreen:off", 33},
                        {"shutdown zurkel", 34},
                        {"back", 6}};
  }
}

void process_cart_menu_action(zurkel_machine* m, int action) {
  splore_item* it = selected_item();
  switch (action) {
    case 1:
      splore.menu = MENU_NONE;
      action_current_splore_item(m);
      break;
    case 3:
      if (it && it->type == ITEM_CART) {
        splore_toggle_favourite(*it);
        save_splore_favourites();
        mark_favourites(splore_current());
      }
      if (splore.current == LIST_FAV) splore.menu = MENU_NONE;
      else generate_cart_menu(MENU_CART);
      break;
    case 5: generate_cart_menu(MENU_OPTIONS); break;
    case 6:
      if (splore.menu == MENU_OPTIONS) generate_cart_menu(MENU_CART);
      else splore.menu = MENU_NONE;
      break;
    case 18:
      if (it && splore_valid_id(it->id)) {
        std::string url = splore_board_url() + "/bbs/?pid=" + it->id;
        brim_debugf("open %s\n", url.c_str());
        if (!cconfig.headless) host_open_folder(url.c_str());
      }
      splore.menu = MENU_NONE;
      break;
    case 32: {
      int v = cconfig.sound_volume == 0 ? 256 : 0;
      cconfig.sound_volume = cconfig.music_volume = v;
      brim_set_sound_volume(v);
      brim_set_music_volume(v);
      generate_cart_menu(MENU_OPTIONS);
      splore.menu_row = 0;
      break;
    }
    case 33:
      brim_toggle_fullscreen();
      generate_cart_menu(MENU_OPTIONS);
      splore.menu_row = 1;
      break;
    case 34: m->host->quit(); break;
  }
}

// Typed text while entering search text; true when any was taken (the
// buttons then wait for release, so a letter key that is also a button,
// or Enter, which is also pause, only types).
bool search_keys(splore_list& l) {
  bool any = false;
  while (brim_keypressed()) {
    int k = brim_readkey_nowait();
    if (k >= 'A' && k <= 'Z') k += 'a' - 'A';
    bool text = (k >= 'a' && k <= 'z') || (k >= '0' && k <= '9') || k == ' ';
    if (!text && k != 8 && k != 13) continue;  // keys without text (arrows, ...)
    any = true;
    if (text) {
      if (static_cast<int>(l.search.size()) < SPLORE_SEARCH_MAX) {
        l.search.insert(l.search.begin() + l.cursor, static_cast<char>(k));
        l.cursor++;
      }
    } else if (k == 8 && l.cursor > 0) {
      l.search.erase(l.search.begin() + --l.cursor);
    } else if (k == 13) {
      initiate_search(l);
      return true;
    }
  }
  if (any) block_buttons();
  return any;
}

void search_controls(zurkel_machine* m, splore_list& l) {
  if (pressed(6)) {
    l.entering = false;
    splore_message(m, "cancelled", 1000);
    block_buttons();
    return;
  }
  if (search_keys(l)) return;
  if (pressed(4) || pressed(5)) {
    initiate_search(l);
    return;
  }
  int turn = pressed(2) ? -1 : pressed(3) ? 1 : 0;
  if (turn) {
    if (l.cursor >= static_cast<int>(l.search.size())) l.search.resize(l.cursor + 1, ' ');
    const std::string chars = SEARCH_CHARS;
    size_t at = chars.find(l.search[l.cursor]);
    int n = static_cast<int>(chars.size());
    int i = (at == std::string::npos ? 0 : static_cast<int>(at)) + turn;
    l.search[l.cursor] = chars[(i + n) % n];
  }
  if (pressed(0) && l.cursor > 0) l.cursor--;
  if (pressed(1)) {
    int len = static_cast<int>(l.search.size());
    if (l.cursor < len - 1) l.cursor++;
    else if (l.cursor == len - 1 && len < 21) {
      l.search += ' ';
      l.cursor++;
    }
  }
}

void switch_list(int step) {
  splore.current = (splore.current + step + LIST_COUNT) % LIST_COUNT;
  mark_favourites(splore_current());
  splore.selected_ms = splore_wall_ms();
  brim_debugf("splore: showing %s: %d items\n", splore_current().name.c_str(),
              static_cast<int>(splore_current().items.size()));
}

void splore_controls(zurkel_machine* m) {
  splore_list& l = splore_current();
  if (splore_download_running()) {
    if (pressed(6)) {
      cancel_download(m, "download cancelled");
      block_buttons();
    }
    return;
  }
  if (l.entering) return search_controls(m, l);
  if (splore.menu != MENU_NONE) {
    int n = static_cast<int>(splore.menu_rows.size());
    if (n == 0) return;
    if (pressed(2)) splore.menu_row = (splore.menu_row + n - 1) % n;
    if (pressed(3)) splore.menu_row = (splore.menu_row + 1) % n;
    if (pressed(4) || pressed(5) || pressed(6)) {
      int action = splore.menu_rows[splore.menu_row].action;
      block_buttons();
      process_cart_menu_action(m, action);
    }
    return;
  }
  if (pressed(2)) splore_set_selected(l, l.selected - 1);
  if (pressed(3)) splore_set_selected(l, l.selected + 1);
  if (pressed(0)) switch_list(-1);
  if (pressed(1)) switch_list(1);
  splore_item* it = selected_item();
  if (!it) return;
  bool ox = pressed(4) || pressed(5), pause = pressed(6);
  if (it->type == ITEM_CART && pause) {
    generate_cart_menu(MENU_CART);
    block_buttons();
  } else if (ox || pause) {
    block_buttons();
    action_current_splore_item(m);
  }
}

void launch_step(zurkel_machine* m) {
  if (!splore.launch) return;
  if (++splore.launch <= 20) return;
  splore.launch = 0;
  brim_debugf("splore: run %s\n", m->loaded.name);
  m->pending_command = 1;
  reset_run_chain(m);
  splore.menu = MENU_NONE;
  splore.running_from_browser = true;
  m->draw[DS_CURSOR_X] = m->draw[DS_CURSOR_Y] = 0;
  m->draw[DS_CLIP_LEFT] = m->draw[DS_CLIP_TOP] = 0;
  m->draw[DS_CLIP_RIGHT] = m->draw[DS_CLIP_BOTTOM] = 128;
  if (m->screen) {
    m->screen->cl = m->screen->ct = 0;
    m->screen->cr = m->screen->cb = 128;
  }
}

bool finished_notice_shown(const zurkel_machine* m) {
  return splore.running_from_browser && m->run.finished_notice == 1;
}
}  // namespace

uint64_t splore_wall_ms() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

splore_list& splore_current() { return splore.lists[splore.current]; }

void splore_clamp_selection(splore_list& l) {
  int n = static_cast<int>(l.items.size());
  if (l.selected >= n) l.selected = n - 1;
  if (l.selected < 0) l.selected = 0;
}

void splore_set_selected(splore_list& l, int index) {
  int before = l.selected;
  l.selected = index;
  splore_clamp_selection(l);
  if (l.selected != before) splore.selected_ms = splore_wall_ms();
}

void splore_message(zurkel_machine* m, const char* text, int ms) {
  if (m && m->host && m->host->show_message) m->host->show_message(text, ms);
}

void action_current_splore_item(zurkel_machine* m) {
  splore_list& l = splore_current();
  splore_item* it = selected_item();
  if (!it) return;
  switch (it->type) {
    case ITEM_FOLDER: enter_folder(it->file == ".." ? ".." : it->title); break;
    case ITEM_CART: {
      splore.running_item = *it;
      if (it->id.empty()) {
        std::string path = root() + it->file;
        if (it->file.empty() || load_working_cart(m, path.c_str()) != 0) {
          splore_message(m, "could not load", 1500);
          return;
        }
        start_launch();
        return;
      }
      std::string path = get_bbs_cart_filename_ex(it->id, false);
      if (!path.empty() && brim_file_exists(path.c_str())) {
        if (zurkel_cart* cart = load_zurkel_cart_png(path.c_str(), m)) {
          prepare_loaded_cart(m, cart, path.c_str());
          start_launch();
          return;
        }
      }
      download_bbs_cart(m, it->id);
      break;
    }
    case ITEM_UPDATE: download_list(l.name, l.request, 0); break;
    case ITEM_LOAD_MORE: download_list(l.name, l.request, static_cast<int>(l.items.size()) - 2); break;
    case ITEM_SEARCH: start_search_entry(l); break;
  }
}

void splore_cart_arrived(zurkel_machine* m, const std::string& path) {
  zurkel_cart* cart = load_zurkel_cart_png(path.c_str(), m);
  if (!cart) {
    int why = zurkel_png_load_error;
    splore_message(m, why == 3 ? "future version. please update!"
                      : why == 1 ? "could not connect to bbs" : "could not load", 1500);
    return;
  }
  prepare_loaded_cart(m, cart, path.c_str());
  start_launch();
}

void splore_init(zurkel_machine*) {
  for (int i = 0; i < LIST_COUNT; i++) {
    splore_list& l = splore.lists[i];
    l.name = list_defs[i].name;
    l.title = list_defs[i].title;
    l.request = list_defs[i].request;
  }
  for (int i = LIST_NEW; i <= LIST_JAM; i++) {
    splore_list& l = splore.lists[i];
    int r = populate_splore_list_from_png_file(l, splore_bbs_path(l.name + ".pip.png").c_str(), false);
    brim_debugf("splore: list %s: %s, %d items\n", l.name.c_str(), r ? "no cache" : "cached",
                static_cast<int>(l.items.size()));
  }
  populate_splore_list_from_png_file(splore.lists[LIST_SEARCH], "", false);
  reload_favourites();
  brim_debugf("splore: list fav: %d items\n", static_cast<int>(splore.lists[LIST_FAV].items.size()));
  for (int i = LIST_NEW; i < LIST_COUNT; i++) mark_favourites(splore.lists[i]);
  splore.inited = true;
}

void splore_enter(zurkel_machine*) {
  brim_debug("splore: enter\n");
  refill_local();
  mark_favourites(splore_current());
  splore.selected_ms = splore_wall_ms();
}

void splore_update(zurkel_machine* m) {
  if (!splore.inited) splore_init(m);
  if (m->frame_count != splore.last_frame + 1) splore_enter(m);
  splore.last_frame = m->frame_count;
  if (finished_notice_shown(m)) {
    for (int b = 0; b <= 6; b++)
      if (pressed(b)) {
        m->run.finished_notice = 0;
        splore.running_from_browser = false;
        block_buttons();
        break;
      }
  } else if (!splore.launch) {
    if (brim_get_key_state(KEY_ESCAPE) == 3 && !splore_download_running() && splore.menu == MENU_NONE &&
        !splore_current().entering) {
      m->console_screen = 0;
      print_splore_exit_message(m);
      return;
    }
    splore_controls(m);
  }
  update_splore_download(m);
  launch_step(m);
}

int splore_running_favourite(const zurkel_machine* m) {
  if (!splore.running_from_browser || m->mode != 1 || m->console_screen != 2) return -1;
  return is_favourite(splore.running_item.id, splore.running_item.file) ? 1 : 0;
}

void splore_toggle_running_favourite(zurkel_machine* m) {
  if (splore_running_favourite(m) < 0) return;
  bool now = splore_toggle_favourite(splore.running_item);
  save_splore_favourites();
  for (int i = LIST_LOCAL; i < LIST_COUNT; i++) mark_favourites(splore.lists[i]);
  splore_message(m, now ? "added to favourites" : "removed from favourites", 1400);
}
