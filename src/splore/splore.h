// The cartridge browser ("splore"): eight lists (local files, favourites,
// five board lists, search), a cart menu, downloads and launching. It
// plugs into the console through the console's browser calls
// (console/main_loop.h), which the program's entry (src/main.cpp) fills
// with the functions below and hands over before start-up.
//
// Entering: any code that wants the browser sets the machine's
// console_screen to 2 with mode 0 (the boot sequence with -splore, the
// pause menu's "exit to splore", a typed "splore"). The browser notices
// entry by itself: an update that does not follow the previous one on the
// very next frame runs splore_enter.
#pragma once
#include <string>

struct zurkel_machine;
void splore_init(zurkel_machine* m);
void splore_enter(zurkel_machine* m);
void splore_update(zurkel_machine* m);
void splore_draw(zurkel_machine* m);
void print_splore_exit_message(zurkel_machine* m);
void action_current_splore_item(zurkel_machine* m);
// For the pause menu of a cart the browser started: -1 none runs, else
// whether it is a favourite; the toggle writes the favourites file.
int splore_running_favourite(const zurkel_machine* m);
void splore_toggle_running_favourite(zurkel_machine* m);
// install_games(): the sample-games pod of data.pod into the board cart
// files and the favourites.
void splore_install_games(zurkel_machine* m);

// A downloaded cart is ready at path: load it and launch, or say why not.
void splore_cart_arrived(zurkel_machine* m, const std::string& path);
