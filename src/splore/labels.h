// Cart labels of the browser: taken from list pages, downloaded carts and
// the label cache "bbs/labels/ID.png".
#pragma once
#include <cstdint>
#include <string>

#include "splore/splore_state.h"

// The 128 x 128 block at (x0, y0) of an RGBA picture w pixels wide, as
// palette indices: the first palette entry within a squared distance of
// 192, else the nearest of all 256.
splore_label splore_label_from_rgba(const uint8_t* rgba, int w, int x0, int y0);
// Writes the item's label to bbs/labels/ID.png unless that file exists.
void save_bbs_cart_label(const splore_item& item);
// From the downloaded cart if present, else from the label cache; else none.
splore_label create_label_from_cart_lid(const std::string& id);
