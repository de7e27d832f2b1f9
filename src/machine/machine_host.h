// What the layers below the console ask of the console that hosts the
// machine: the running program's and the cartridge code's few ways up. The
// console fills one at start-up and hangs it on the machine
// (zurkel_machine::host); a machine without a console has the quiet host,
// whose calls do nothing.
#pragma once

struct zurkel_machine;

struct zurkel_machine_host {
  // The banner at the bottom of the screen, for ms milliseconds.
  void (*show_message)(const char* text, int ms);
  // End the program after this frame (execute mode after its cart stopped).
  void (*quit)();
  // Sample the buttons once at the console's timing (the generated main
  // loop's _update_buttons).
  void (*poll_buttons)(zurkel_machine* m);
  // The text taken with Ctrl+V, or null before any paste (stat(4)).
  const char* (*paste_text)();
  // Start the key configuration screen (keyconfig()).
  void (*open_keyconfig)(zurkel_machine* m);
  // Milliseconds the console's last frame took to draw (frame-rate control).
  int (*last_draw_ms)();
  // A shell command of a line typed at the prompt that the console carries
  // out itself (ls, dir, help, splore, reboot, shutdown): true when done.
  // Cartridge programs never reach it.
  bool (*typed_command)(zurkel_machine* m, const char* name, const char* arg);
  // install_games(): the browser's sample games (nothing without a browser).
  void (*install_games)(zurkel_machine* m);
};

extern const zurkel_machine_host zurkel_quiet_host;
