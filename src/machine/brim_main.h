// The console's entry: start-up, the host loop, shut-down.
#pragma once

int brim_main(int argc, char** argv);
