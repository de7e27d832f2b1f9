// Making and freeing cartridge records (machine/cart.h).
#pragma once

#include "machine/cart.h"

// A record with an empty code buffer, sprite sheet and map; effect 0 at
// speed 1, the others at 16; every music channel silent.
zurkel_cart* brim_create_zurkel_cart();
// Frees the record; the sound engine drops whatever it plays from it first.
// Null is ignored.
void brim_destroy_zurkel_cart(zurkel_cart* cart);
