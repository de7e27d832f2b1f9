#include "machine/pstate.h"

zurkel_machine* pstate = nullptr;
