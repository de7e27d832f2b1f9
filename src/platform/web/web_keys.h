// The browser's keys as the console's host key codes: KeyboardEvent.code
// (the key's place, whatever the layout) to the USB usage numbers the
// desktop host reports, so keys map as on the desktop.
#pragma once

// The scancode of a KeyboardEvent.code ("KeyA", "ArrowLeft", ...), or 0.
int web_scancode(const char* code);
// The key's name as the desktop shows it ("A", "Left", "Return"), or null.
const char* web_scancode_name(int scancode);
