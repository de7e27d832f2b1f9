// Diagnostic log: "log.txt" in the per-user data folder.
#pragma once

// Appends text to the log (and to the second log stream when open), then
// flushes. A leading '>' indents later lines by two spaces; a leading '<'
// outdents before this line. Texts over 512 characters are replaced.
void brim_debug(const char* text);
// printf-style convenience over brim_debug (the formatted text obeys the
// same 512-character rule).
void brim_debugf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Opens (appending) the log file; until then brim_debug writes nowhere.
bool brim_debug_open(const char* path);
void brim_debug_close();
// A second stream that also receives every line (e.g. stderr); null closes.
void brim_debug_set_second(void* file /* FILE* */);
// Current indentation level, for tests.
int brim_debug_indent();
