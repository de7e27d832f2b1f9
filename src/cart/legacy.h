// Upgrades of cartridges written by older versions of the console.
#pragma once
#include "machine/cart.h"

struct zurkel_machine;

// Upgrades a cart in place by the version stored in it, then sets the
// version to the current one (the console lines it prints go to m; null:
// standard output):
// - version 4 or lower: pattern columns reordered so column 0 carries the
//   longest non-looping effect (printing "legacy: pat %d swap chan: %d %d"),
//   loud noise notes brought to volume 5, and the old collection functions
//   put in front of the one old cart that needs them;
// - version 10 or lower: slides to silence become plain notes, unless some
//   sound effect uses a newer feature.
void apply_legacy_changes(zurkel_machine* m, zurkel_cart* cart);

// The old collection-function block and the statement that calls for it.
extern const char* const ZURKEL_LEGACY_011_BLOCK;
extern const char* const ZURKEL_LEGACY_011_STATEMENT;
