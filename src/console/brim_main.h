// The console's entry: start-up, the host loop, shut-down.
#pragma once

struct zurkel_machine;

// Runs everything; returns the exit status (0 after a normal quit or a
// missing data.pod, 1 when execute mode cannot load its cart, 2 when the
// cart of execute mode ended with an error).
int brim_main(int argc, char** argv);

// Engine start-up (once; a second call does nothing) and shut-down.
void brim_init();
void brim_exit(zurkel_machine* m);
// The console's callbacks around the loop, on the console's machine (which
// brim_main_init sets up afresh). brim_main_init returns -1 to go on, else
// the exit status to leave with at once.
int brim_main_init(zurkel_machine* m);
void brim_main_exit(zurkel_machine* m);
// One pass of host events, mouse and music fading (for code that draws
// outside the loop).
void brim_handle_messages();
// The sleep of step 5 and the host events.
void brim_handle_system_messages();
