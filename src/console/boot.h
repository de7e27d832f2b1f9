// The splash picture and the boot sequence.
#pragma once

void boot_init();
// One boot step; acts on the frame counter (30 steps per second).
void move_boot();
// With -run: the command-line cartridge replaces the head cart at boot
// frame 90 (a cart that cannot be loaded leaves the head cart to run).
void boot_command_line_cart();
void move_splash();
void draw_splash_screen();
// Loads "splash.png" from the program's folder; true when it is shown.
bool load_splash_screen();
void free_splash_screen();
