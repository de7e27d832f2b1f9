// Where screenshots and recordings go: numbered files on the desktop.
#pragma once
#include <string>

// The application title from the resource archive, "ZURKEL" when empty.
// A '/' in the title becomes '_' so the name stays inside the desktop folder.
std::string get_output_file_name_base();

// The first desktop path "<base>_<count>" + suffix (count formatted with
// count_format, e.g. "%03d") that does not exist yet; empty when none of
// the first 100,000 is free.
std::string capture_output_path(const char* count_format, const char* suffix);
