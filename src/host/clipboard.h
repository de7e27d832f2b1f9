// The host clipboard's text.
#pragma once
#include <string>

// The clipboard's text; empty when there is none or no video subsystem.
std::string host_clipboard_text();

// False when there is no video subsystem or SDL refuses.
bool brim_set_clipboard_text(const char* text);
