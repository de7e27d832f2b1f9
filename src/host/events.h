// The host layer's event pump, window focus and start-up.
#pragma once

// Starts the host's event and timer services (video starts with the display).
bool host_init();
void host_exit();
const char* host_platform_name();

// One pass over the pending host events: keys go to the key layer, window
// focus is tracked, a quit event is remembered.
void host_pump_events();
bool host_quit_requested();
void host_request_quit();
// The window has keyboard focus (always true without a window).
bool host_window_active();
void host_set_window_active(bool active);
