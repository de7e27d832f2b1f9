// install_games(): data.pod's sample-games pod holds favourites lines (item
// 0) and five board carts (items 1-5) under fixed board ids; they go where
// the browser keeps board carts, so the favourites list plays them offline.
#include <cstdio>
#include <string>

#include "base/safe_write.h"
#include "cart/data_pod.h"
#include "gfx/printer.h"
#include "pod/pod.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "splore/bbs_names.h"
#include "splore/favourites.h"
#include "splore/splore.h"
#include "splore/splore_state.h"

namespace {
const char* const sample_ids[5] = {"1001", "1002", "1003", "1004", "1005"};

struct bytes {
  const brim_stream* s;
};
bool write_item(FILE* f, void* ctx) {
  const brim_stream* s = static_cast<bytes*>(ctx)->s;
  return std::fwrite(s->data, 1, static_cast<size_t>(s->size), f) == static_cast<size_t>(s->size);
}
}  // namespace

void splore_install_games(zurkel_machine* m) {
  if (!splore.inited) splore_init(m);
  save_splore_favourites();
  brim_pod* pod = zurkel_data_pod ? cpod_load_nested(zurkel_data_pod, DATA_POD_SAMPLE_GAMES) : nullptr;
  if (!pod) {
    zurkel_print_col(m, "sample games not found", 6);
    return;
  }
  if (const brim_stream* lines = cpod_get_file(pod, 0); lines && lines->size > 0) {
    char path[BRIM_PATH_MAX];
    brim_prefix_with_appdata_path("favourites.txt", path);
    if (FILE* f = std::fopen(path, "ab")) {
      std::fwrite(lines->data, 1, static_cast<size_t>(lines->size), f);
      std::fclose(f);
    }
  }
  for (int i = 0; i < 5; i++) {
    const brim_stream* cart = cpod_get_file(pod, i + 1);
    std::string path = get_bbs_cart_filename_ex(sample_ids[i], false);
    if (!cart || cart->size <= 0 || path.empty()) continue;
    bytes b{cart};
    brim_write_file_safely(path.c_str(), write_item, &b);
  }
  brim_destroy_pod(pod);
  reload_favourites();
  for (int i = LIST_LOCAL; i < LIST_COUNT; i++) mark_favourites(splore.lists[i]);
  zurkel_print_col(m, "installed sample games", 6);
  zurkel_print_col(m, "to splore favourites", 6);
}
