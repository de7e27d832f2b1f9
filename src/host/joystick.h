// The SDL side of game controllers and joysticks (platform/joystick_sdl.cpp).
#pragma once

// Once at engine start: built-in and user mappings, then up to eight
// devices opened as game controllers or raw joysticks (logged).
void brim_joystick_init();
// Reads the sdl_controllers.txt files into the host's mapping database.
void add_sdl_controllers();
// Closes every device (engine exit).
void brim_joystick_exit();
// Copies the open devices' sticks and buttons into brim_joysticks; the
// event pump calls it once per host frame.
void plat_joystick_sample();
