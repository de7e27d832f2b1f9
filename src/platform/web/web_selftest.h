// The toolchain check of the web build: the interpreter draws a picture and
// every C dependency is called once, so a missing or broken library shows
// when the page loads rather than deep inside the console.
#pragma once
#include <cstdint>

// Fills the 128 × 128 screen (palette indices 0-15) with the interpreter's
// test picture and runs each library once on it. Returns null when all
// agree, else a short message naming the first that failed.
const char* web_selftest(uint8_t* screen, const uint8_t (*rgb)[3]);
