// Files the console had to keep but could not write (cart data, config.txt,
// a cart saved by save()): each is logged and said on standard error, and
// the run ends with a non-zero status (console/brim_main.cpp).
#pragma once

// what: the file (or a short description) that could not be written.
void brim_report_lost_write(const char* what);
// How many writes were lost since start.
int brim_lost_writes();
