// The mouse as scripts read it: position in screen pixels, buttons (bit 0
// left, bit 1 right, bit 2 middle) and the wheel movement of the last frame.
#pragma once

// what: 0 x, 1 y, 2 buttons, 3 horizontal wheel, 4 vertical wheel.
int zurkel_mouse_stat(int what);
