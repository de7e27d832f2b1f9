#include "runner/cpu.h"

// Placeholder until the budget lands: charges are only counted.
long long zurkel_cpu_charged = 0;

void spend_cpu(int cycles) { zurkel_cpu_charged += cycles <= 0 ? 1 : cycles; }
void refund_cpu(int cycles) { zurkel_cpu_charged += cycles; }
