// The splash picture and the boot sequence.
#pragma once

struct zurkel_machine;

void boot_init(zurkel_machine* m);
// One boot step; acts on the frame counter (30 steps per second).
void move_boot(zurkel_machine* m);
// With -run: the command-line cartridge replaces the head cart at boot
// frame 90 (a cart that cannot be loaded leaves the head cart to run).
void boot_command_line_cart(zurkel_machine* m);
void move_splash(zurkel_machine* m);
void draw_splash_screen();
// Loads "splash.png" from the program's folder; true when it is shown.
bool load_splash_screen();
void free_splash_screen();
