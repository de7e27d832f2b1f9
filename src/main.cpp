// The zurkel executable: everything lives in the system library.
#include "console/brim_main.h"

int main(int argc, char** argv) { return brim_main(argc, argv); }
