// What the SDL host's parts share among themselves.
#pragma once

// Reads the sdl_controllers.txt files into SDL's mapping database.
void add_sdl_controllers();
// Copies the open devices' sticks and buttons into brim_joysticks; the
// event pump calls it once per host frame.
void plat_joystick_sample();
// The window without a renderer (software_blit, or no renderer to be had).
int brim_set_screen_software(int window_w, int window_h);
