#include "settings/config_keys.h"

#include <cstddef>

#include "settings/config.h"

#define ENG(field) offsetof(brim_config, field)
#define CON(field) offsetof(zurkel_console_config, field)

// Table order is file order.
const config_key config_keys[] = {
    // :: Video Settings
    {"window_size", CS_ENGINE, CK_INT2, CW_LOADED, ENG(window_w),
     "\n\n// :: Video Settings\n\n", " // window width, height\n"},
    {"screen_size", CS_ENGINE, CK_INT2, CW_LOADED, ENG(screen_w), "",
     " // screen width, height (stretched to window) \n"},
    {"show_fps", CS_ENGINE, CK_INT, CW_LOADED, ENG(show_fps), "",
     " // Draw frames per second in the corner\n"},
    // :: Window Settings
    {"windowed", CS_ENGINE, CK_INT, CW_LIVE, ENG(windowed), "\n\n// :: Window Settings\n\n",
     " // 1 to start up in windowed mode\n"},
    {"window_position", CS_ENGINE, CK_INT2, CW_LIVE, ENG(window_x), "",
     " // x and y position of window, or -1, -1 to let the window manager decide\n"},
    {"frameless", CS_ENGINE, CK_INT, CW_LOADED, ENG(frameless), "",
     " // 1 to use a window with no frame\n"},
    {"fullscreen_method", CS_ENGINE, CK_INT, CW_LIVE, ENG(fullscreen_method), "",
     " // 0 maximized window (linux)  1 borderless desktop-sized window  2 fullscreen\n"},
    // :: System Settings
    {"foreground_sleep_ms", CS_ENGINE, CK_INT, CW_LOADED, ENG(foreground_sleep_ms),
     "\n\n// :: System Settings\n\n",
     " // number of milliseconds to sleep each frame. Try 10 to conserve battery power\n\n"},
    {"background_sleep_ms", CS_ENGINE, CK_INT, CW_LOADED, ENG(background_sleep_ms), "",
     " // number of milliseconds to sleep each frame when running in the background\n\n"},
    {"sessions", CS_ENGINE, CK_INT, CW_LIVE, ENG(sessions), "",
     " // number of times program has been run\n\n"},
    {"rmb_key", CS_ENGINE, CK_INT, CW_LIVE, ENG(rmb_key),
     "// (scancode) hold this key down and left-click to simulate right-click\n",
     " // 0 for none  226 for LALT\n\n"},
    {"desktop_path", CS_ENGINE, CK_TRIMMED, CW_LOADED, ENG(desktop_path),
     "// Desktop for saving screenshots etc. Defaults to $HOME/Desktop\n", "\n\n"},
    // :: Audio Settings
    {"sound_volume", CS_ENGINE, CK_INT, CW_LIVE, ENG(sound_volume), "\n\n// :: Audio Settings\n\n",
     " // 0..256\n"},
    {"music_volume", CS_ENGINE, CK_INT, CW_LIVE, ENG(music_volume), "", " // 0..256\n"},
    {"mix_buffer_size", CS_ENGINE, CK_INT, CW_LIVE, ENG(mix_buffer_size), "",
     " // usually 1024. Try 2048 if you get choppy sound\n"},
    // Kept for the video layer; never written.
    {"video_mode", CS_ENGINE, CK_VIDEO_MODE, CW_NEVER, ENG(window_w), "", ""},
    {"windib", CS_ENGINE, CK_INT, CW_NEVER, ENG(windib), "", ""},
    {"opengl_blit", CS_ENGINE, CK_INT, CW_NEVER, ENG(opengl_blit), "", ""},
    {"large_window", CS_ENGINE, CK_INT, CW_NEVER, ENG(large_window), "", ""},

    // The console's section.
    {"version", CS_CONSOLE, CK_VERSION, CW_LIVE, 0, "", "\n\n"},
    {"root_path", CS_CONSOLE, CK_FOLDER, CW_LIVE, CON(root_path),
     "\n// Location of zurkel's root folder\n", "\n\n"},
    {"cdata_path", CS_CONSOLE, CK_FOLDER, CW_LIVE, CON(cdata_path),
     "\n// Location of cartridge save data\n", "\n\n"},
    {"joystick_index", CS_CONSOLE, CK_INT, CW_LIVE, CON(joystick_index),
     "\n// Specify which player index joystick control begins at (0..7)\n", "\n\n"},
    {"button_keys", CS_CONSOLE, CK_INT13, CW_LIVE, CON(button_keys),
     "\n// Custom keyboard scancodes for buttons. player0 0..6, player1 0..5\n", "\n\n"},
    {"live_notes", CS_CONSOLE, CK_INT, CW_LIVE, CON(live_notes),
     "// Play notes as they are plotted in frequency mode\n", "\n\n"},
    {"cursor_snap", CS_CONSOLE, CK_INT, CW_LIVE, CON(cursor_snap),
     "// iff 1: when using keyboard cursor, snap to closest pixel / map cel\n", "\n\n"},
    {"gif_len", CS_CONSOLE, CK_INT, CW_LIVE, CON(gif_len),
     "// maximum length of gif in seconds (1..120, default 8)\n", "\n\n"},
    {"gui_theme", CS_CONSOLE, CK_INT, CW_LIVE, CON(gui_theme),
     "// 0 classic  1 dark blue background in code editor\n", "\n\n"},
    {"screenshot_scale", CS_CONSOLE, CK_INT, CW_LIVE, CON(screenshot_scale),
     "// scale of screenshots and gifs // 2 means 256x256\n", "\n"},
    {"gif_scale", CS_CONSOLE, CK_INT, CW_LIVE, CON(gif_scale), "", "\n\n"},
    {"shift_glyphs", CS_CONSOLE, CK_INT, CW_LIVE, CON(shift_glyphs),
     "// when 1 can enter glyphs using shift-A..Z\n", "\n\n"},
    {"show_backup_messages", CS_CONSOLE, CK_INT, CW_LIVE, CON(show_backup_messages),
     "// 0 for off. 1 to notify whenever unsaved changes are backed up\n", "\n\n"},
    {"host_framerate_control", CS_CONSOLE, CK_INT, CW_LIVE, CON(host_framerate_control),
     "// 0 for off. 1 to allow control of a cart's framerate due to host machine's cpu "
     "capacity (recommended)\n",
     "\n\n"},
    // Read, never written (the written file keeps its fixed layout).
    {"timeout", CS_ENGINE, CK_INT, CW_NEVER, ENG(timeout), "", ""},
    {"board_url", CS_CONSOLE, CK_TRIMMED, CW_NEVER, CON(board_url), "", ""},
};

const int config_key_count = sizeof config_keys / sizeof config_keys[0];
