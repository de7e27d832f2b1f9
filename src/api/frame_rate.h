// The frame-rate controller behind _update_framerate: once per frame after
// flip it lowers the machine's target rate when the host or the program
// cannot keep up and raises it back to the program's cap when both can.
#pragma once

struct zurkel_machine;

void update_frame_rate(zurkel_machine* m);
