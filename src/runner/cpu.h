// CPU budget charges made by API functions.
#pragma once

// Charge an API cost (n <= 0 counts as 1).
void spend_cpu(int cycles);
// Charge an amount that may be negative (a refund).
void refund_cpu(int cycles);
