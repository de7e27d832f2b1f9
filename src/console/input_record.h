// -record FILE: the buttons every player held at each update step, kept
// as the lines of an -input script ("STEP MASK0 MASK1 ...", a line whenever
// they change) and written at exit through a temporary file and a rename,
// so that -input FILE gives a later run the same buttons step for step.
#pragma once
#include <cstdint>
#include <string>

// After the step's scripted masks are set: samples the players' buttons.
void input_record_step(int64_t step);
// The script so far (tests) and the file at exit; false when the file
// cannot be written.
const std::string& input_record_text();
bool input_record_finish(const char* path);
void input_record_reset();
