// The host's game controllers and joysticks (platform/joystick_sdl.cpp, or
// none in the headless host).
#pragma once

// Once at engine start: built-in and user mappings, then up to eight
// devices opened as game controllers or raw joysticks (logged).
void brim_joystick_init();
// Closes every device (engine exit).
void brim_joystick_exit();
