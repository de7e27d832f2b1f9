// The console's entry: start-up, the host loop, shut-down.
#pragma once
#include <cstdint>
#include <vector>

struct zurkel_machine;

// Runs everything; returns the exit status (0 after a normal quit or a
// missing data.pod, 1 when execute mode cannot load its cart, 2 when the
// cart of execute mode ended with an error).
int brim_main(int argc, char** argv);

// The host loop in steps, for a host that cannot block in a loop (the web
// page runs iterations from its frame callbacks); brim_main is these three.
// brim_main_begin returns -1 to go on, else the exit status to leave with
// at once; brim_main_iterate runs one iteration and returns false once the
// loop has ended; brim_main_end shuts down and returns the exit status.
int brim_main_begin(int argc, char** argv);
bool brim_main_iterate();
int brim_main_end();
// The console's machine (a host's own output of an automated run).
const zurkel_machine* brim_main_machine();

// A standalone program (an exported cart) hands over, before start-up, the
// pod that stands for data.pod: its items 0-2 are the console's resources,
// item 3 its cart, which runs at once without the boot sequence.
void brim_set_standalone_pod(std::vector<uint8_t> pod);

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
