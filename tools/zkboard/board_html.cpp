// The board's web pages: one per cart (/bbs/?pid=ID, opened by the console
// browser's "bbs thread (browser)") and an index of every cart (/bbs/).
#include <nettle/base64.h>

#include "board_snapshot.h"

namespace {
std::string escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

// The label as an inline PNG, so the page needs no other file.
std::string label_data_uri(const board_label& label) {
  const uint8_t* pal = tool_palette_rgb();
  std::string rgb(label.size() * 3, '\0'), png;
  for (size_t i = 0; i < label.size(); i++) rgb.replace(i * 3, 3, reinterpret_cast<const char*>(pal + label[i] * 3), 3);
  if (!tool_encode_png(reinterpret_cast<const uint8_t*>(rgb.data()), BOARD_LABEL_SIDE,
                       BOARD_LABEL_SIDE, false, png))
    return "";
  std::string b64(BASE64_ENCODE_RAW_LENGTH(png.size()), '\0');
  base64_encode_raw(b64.data(), png.size(), reinterpret_cast<const uint8_t*>(png.data()));
  return "data:image/png;base64," + b64;
}

std::string page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<title>" + escape(title) + "</title>\n"
         "<style>body{background:#1d2b53;color:#fff1e8;font-family:monospace;margin:2em}"
         "a{color:#ffec27}img{image-rendering:pixelated;width:256px;height:256px}"
         "td{padding:0 1em 0 0}code{white-space:nowrap}</style>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}
}  // namespace

std::string board_cart_html(const board_cart& c) {
  const board_entry& e = c.entry;
  std::string file = e.id + ".zk.png";
  std::string body =
      "<h1 id=\"title\">" + escape(e.title) + "</h1>\n"
      "<p id=\"author\">by " + escape(e.author) + "</p>\n"
      "<img id=\"label\" alt=\"label of " + escape(e.title) + "\" src=\"" + label_data_uri(c.label) + "\">\n"
      "<p id=\"about\">" + escape(e.category) + " &middot; rating " + std::to_string(e.rating) +
      "/5 &middot; " + escape(e.date) + " &middot; id " + escape(e.id) + "</p>\n"
      "<p><a id=\"download\" href=\"" + board_cart_path(e.id) + "\" download=\"" + file + "\">download " +
      file + "</a></p>\n"
      "<p>Play it in the console's cartridge browser (<code>zurkel -splore</code>) or load the "
      "downloaded file.</p>\n<p><a href=\"/bbs/\">every cart of this board</a></p>\n";
  return page(e.author.empty() ? e.title : e.title + " by " + e.author, body);
}

std::string board_index_html(const board_snapshot& b) {
  std::string rows;
  for (size_t i : board_select(b.list_carts, board_selection{})) {
    const board_cart* c = &b.carts[i];
    rows += "<tr><td><a href=\"/bbs/?pid=" + c->entry.id + "\">" + escape(c->entry.title) +
            "</a></td><td>" + escape(c->entry.author) + "</td><td>" + escape(c->entry.category) +
            "</td><td>" + escape(c->entry.date) + "</td></tr>\n";
  }
  return page("zkboard", "<h1>zkboard</h1>\n<p>" + std::to_string(b.carts.size()) +
                             " carts; browse them with <code>zurkel -splore</code>.</p>\n<table>\n" +
                             rows + "</table>\n");
}
