// import-map: a map drawn in Tiled, from its JSON map file or a CSV export
// of one tile layer.
#include <nlohmann/json.hpp>

#include <sstream>

#include "commands.h"

namespace {

using nlohmann::json;

// Cells read from a file, row by row from the top left.
struct grid {
  int w = 0, h = 0;
  std::vector<int> cells;
};

bool fits(const grid& g, std::string& err) {
  if (g.w < 1 || g.h < 1) return err = "no cells", false;
  if (g.w <= ZKC_MAP_W && g.h <= ZKC_MAP_H) return true;
  err = std::to_string(g.w) + " x " + std::to_string(g.h) + " cells; the map holds at most 128 x 64";
  return false;
}

// A member of an object, or null (a reference: value() would copy).
const json& member(const json& object, const char* key) {
  static const json none;
  auto it = object.find(key);
  return it == object.end() ? none : *it;
}

constexpr size_t kMaxFile = 4u << 20;  // a full map with many layers is far smaller
constexpr int kMaxGroups = 32;         // layer groups inside groups

// A tile layer by name (or the first one), groups searched in order.
const json* find_layer(const json& layers, const std::string& name, int depth = 0) {
  if (!layers.is_array() || depth > kMaxGroups) return nullptr;
  for (const json& l : layers) {
    if (!l.is_object()) continue;
    std::string type = l.value("type", "");
    if (type == "tilelayer" && (name.empty() || l.value("name", "") == name)) return &l;
    if (type == "group")
      if (const json* in = find_layer(member(l, "layers"), name, depth + 1)) return in;
  }
  return nullptr;
}

// Tiled numbers tiles from each tileset's firstgid; 0 is an empty cell. The
// top three bits flip or rotate a tile, which the map cannot.
bool tiled_cells(const json& map, const json& layer, grid& g, std::string& err) {
  auto bad = [&](int64_t i, const std::string& what) {
    err = "cell (" + std::to_string(i % g.w) + ", " + std::to_string(i / g.w) + ")" + what;
    return false;
  };
  std::vector<int64_t> firstgids;
  const json& tilesets = member(map, "tilesets");
  if (tilesets.is_array())
    for (const json& t : tilesets)
      if (t.is_object()) firstgids.push_back(t.value("firstgid", int64_t{1}));
  std::sort(firstgids.begin(), firstgids.end());
  const json& data = layer.at("data");
  if (!data.is_array() || data.size() != static_cast<size_t>(g.w) * g.h) {
    err = "the layer's data is not " + std::to_string(g.w) + " x " + std::to_string(g.h) + " tile numbers";
    return false;
  }
  for (size_t i = 0; i < data.size(); i++) {
    int64_t gid = data[i].is_number_integer() ? data[i].get<int64_t>() : -1;
    if (gid < 0 || gid > 0xFFFFFFFFll) return bad(i, ": " + data[i].dump() + " is no tile number");
    if (gid & 0xE0000000ll) return bad(i, " is flipped or rotated; map cells cannot be");
    int64_t cell = 0;
    if (gid > 0) {
      auto set = std::upper_bound(firstgids.begin(), firstgids.end(), gid);
      cell = gid - (set == firstgids.begin() ? 1 : *(set - 1));
    }
    if (cell > 255) return bad(i, ": tile " + std::to_string(cell) + " is not a sprite (0-255)");
    g.cells.push_back(static_cast<int>(cell));
  }
  return true;
}

bool read_json(const std::string& text, const std::string& layer_name, grid& g, std::string& err) {
  try {
    json map = json::parse(text);
    const json* layer = map.is_object() ? find_layer(member(map, "layers"), layer_name) : nullptr;
    if (!map.is_object()) err = "not a Tiled map (no JSON object)";
    else if (map.value("orientation", "orthogonal") != "orthogonal")
      err = "a map of orientation " + map.value("orientation", "") + "; the console's map is orthogonal";
    else if (map.value("infinite", false)) err = "an infinite map; make it a fixed size in Tiled";
    else if (!layer) err = layer_name.empty() ? "no tile layer" : "no tile layer named \"" + layer_name + "\"";
    else if (layer->value("encoding", "csv") != "csv")
      err = "the layer is stored as " + layer->value("encoding", "") + "; set Tiled's tile layer format to CSV";
    if (!err.empty()) return false;
    g.w = layer->value("width", 0);
    g.h = layer->value("height", 0);
    return fits(g, err) && tiled_cells(map, *layer, g, err);
  } catch (const json::exception& e) {
    std::string what = e.what();
    bool syntax = dynamic_cast<const json::parse_error*>(&e) != nullptr;
    err = (syntax ? "bad JSON: " : "not a Tiled map: ") + what.substr(what.find("] ") + 2);
  }
  return false;
}

// Rows of comma-separated numbers, as Tiled's CSV export writes a layer:
// tile numbers from 0, -1 for an empty cell (read as 0).
bool read_csv(const std::string& text, grid& g, std::string& err) {
  std::vector<std::vector<int>> rows;
  std::istringstream in(text);
  std::string line;
  for (int n = 1; std::getline(in, line); n++) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    if (line.back() == ',') line.pop_back();
    std::istringstream fields(line);
    std::vector<int> row;
    for (std::string f; std::getline(fields, f, ',');) {
      size_t used = 0;
      long v = -2;
      try {
        v = std::stol(f, &used);
      } catch (const std::exception&) {
      }
      if (f.find_first_not_of(" \t", used) != std::string::npos || v < -1 || v > 255)
        return err = "line " + std::to_string(n) + ", field " + std::to_string(row.size() + 1) + ": \"" + f +
                     "\" is not a sprite number (0-255, or -1 for an empty cell)",
               false;
      row.push_back(v < 0 ? 0 : static_cast<int>(v));
    }
    g.w = std::max(g.w, static_cast<int>(row.size()));
    rows.push_back(row);
  }
  g.h = static_cast<int>(rows.size());
  if (!fits(g, err)) return false;
  for (const std::vector<int>& row : rows) {
    g.cells.insert(g.cells.end(), row.begin(), row.end());
    g.cells.resize(g.cells.size() + g.w - row.size(), 0);
  }
  return true;
}

}  // namespace

int cmd_import_map(const zkc_args& a) {
  const std::string& file = a.pos[1];
  zkc_cart c;
  if (!zkc_open(a.pos[0], c)) return 1;
  std::string text, err;
  if (!zkc_read_file(file, text, kMaxFile))
    return zkc_fail(file, zkc_file_exists(file) ? "cannot read it (or over 4 MiB)" : "no such file");
  size_t first = text.find_first_not_of(" \t\r\n");
  grid g;
  bool json_file = first != std::string::npos && text[first] == '{';
  if (!(json_file ? read_json(text, a.get("--layer"), g, err) : read_csv(text, g, err))) return zkc_fail(file, err);
  if (!json_file && a.has("--layer")) zkc_warn(file, "--layer is for JSON maps; a CSV file is one layer");

  // Rows 32-63 are the sheet's lower half: written only when the file puts
  // something there, so a map drawn in the upper half keeps the sprites.
  bool lower = false;
  for (int y = ZKC_SHARED_ROW; y < g.h; y++)
    for (int x = 0; x < g.w; x++) lower |= g.cells[y * g.w + x] != 0;
  int rows = lower ? g.h : std::min(g.h, ZKC_SHARED_ROW);
  for (int y = 0; y < rows; y++)
    for (int x = 0; x < g.w; x++) c.map[y * ZKC_MAP_W + x] = static_cast<uint8_t>(g.cells[y * g.w + x]);
  if (lower) {
    zkc_picture before = c.gfx;
    zkc_sync_shared(c, false);
    int changed = 0;
    for (size_t i = 0; i < before.size(); i++) changed += before[i] != c.gfx[i];
    if (changed)
      zkc_warn(file, "map rows 32-63 are the sprite sheet's rows 64-127: " + std::to_string(changed) +
                         " pixels of sprites 128-255 were overwritten");
  }
  return zkc_store(c, a.pos[0]) ? 0 : 1;
}
