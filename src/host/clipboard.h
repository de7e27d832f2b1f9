// Putting text on the host clipboard (reading it: host_clipboard_text in
// host/events.h).
#pragma once

// False when there is no video subsystem or SDL refuses.
bool brim_set_clipboard_text(const char* text);
