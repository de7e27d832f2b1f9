#include "machine/machine.h"

zurkel_machine* pstate = nullptr;
