// -watch: the cart named on the command line runs again whenever its file
// changes. The file's size, time and identity are polled ten times a
// second of wall time (also under -fast), and a change is taken once it
// has held still for 200 ms, so a file that an editor is still writing is
// not read half way. A file that does not load stops the program with a
// console line saying so; the next change that loads runs again.
#pragma once

struct zurkel_machine;

// Starts watching path, the file the cart was loaded from (or the name as
// given when it did not load).
void cart_watch_begin(const char* path);
bool cart_watch_active();
// Once per update, before pending commands are carried out.
void cart_watch_poll(zurkel_machine* m);
