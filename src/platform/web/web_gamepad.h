// Gamepads through the browser's Gamepad API, as the desktop host sees
// game controllers: a pad in the browser's standard layout is a game
// controller with SDL's button and axis numbers, any other a raw joystick.
#pragma once

// Once per host frame (the event pump): copies the pads' state into
// brim_joysticks; a pad that appears has nothing validated yet.
void web_gamepad_sample();

// The standard layout's button for a controller button (0-14), or -1.
int web_gamepad_standard_button(int controller_button);
