// The zurkel executable: everything lives in the system library.
#include "machine/brim_main.h"

int main(int argc, char** argv) { return brim_main(argc, argv); }
