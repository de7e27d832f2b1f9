// The pause menu over a running cartridge, the running keys, and the rule
// that holds sound while paused.
#pragma once

struct brim_bitmap;
struct zurkel_machine;

void build_paused_menu(const zurkel_machine* m);
void add_paused_menu_item(const char* label, int action);
// Opens the menu (first item selected) and blocks the buttons.
void open_paused_menu(const zurkel_machine* m);
void close_paused_menu();
// Ctrl+R / Ctrl+S / Ctrl+V and the pause button while running.
void process_running_keypresses(zurkel_machine* m);
// Selection and actions while the menu is open.
void process_paused_keypresses(zurkel_machine* m);
void draw_paused_menu(brim_bitmap* target);
// Once per update: 0 sound plays, 1 held, 2-5 releasing.
void determine_audio_pause_state(zurkel_machine* m);
