// The code tokenizer shared by token counting and the preprocessor, the
// token-counting rule, and the API name list that marks API globals.
#pragma once
#include <string_view>

// Token kinds: the values get_token() returns. A single-character token
// (brackets, operators, separators, any character that starts no longer
// token) is reported as the character's own code.
enum zk_token_kind {
  TOK_EOF = -1000,       // end of text
  TOK_NEWLINE = -999,    // "\n", and a "//" comment
  TOK_NAME = -998,       // identifier that is neither keyword nor API name
  TOK_NUMBER = -997,
  TOK_STRING = -996,     // "...", '...', [[...]]
  TOK_COMMENT = -995,    // "--" comment, "--[[ ]]" block comment
  TOK_FUNCTION = -993,
  TOK_END = -992,
  TOK_FOR = -991,
  TOK_IF = -990,
  TOK_THEN = -989,
  TOK_ELSE = -988,
  TOK_ELSEIF = -987,
  TOK_WHILE = -986,
  TOK_DO = -985,
  TOK_IN = -984,
  TOK_LOCAL = -983,
  TOK_RETURN = -982,
  TOK_REPEAT = -981,
  TOK_UNTIL = -980,
  TOK_GOTO = -979,
  TOK_BREAK = -978,
  TOK_API = -977,        // foreach, all, add, del, menuitem, registered API names
  TOK_NOT = -974,
  TOK_AND = -973,
  TOK_OR = -972,
  TOK_LE = -968,         // <=
  TOK_GE = -967,         // >=
  TOK_NE = -965,         // ~=  !=  <>
  TOK_EQ = -964,         // ==
  TOK_COMPOUND = -963,   // += -= *= /= %=
  TOK_CONCAT = -962,     // ..
  TOK_LITERAL = -961,    // true false nil
};

// One token as read by zk_scan_token. `ws` is where the white space in front
// of the token begins, `start`/`end` delimit the token's own text.
struct zk_token {
  int kind = TOK_EOF;
  const char* ws = nullptr;
  const char* start = nullptr;
  const char* end = nullptr;
};

// Reentrant form: reads the token at `pos` (NUL-terminated text) into *tok
// and returns the position after it. At the end of text the position does
// not advance. Newlines inside the token are not counted here.
const char* zk_scan_token(const char* pos, zk_token* tok);

// Stateful form used by token counting and the console. get_first_token
// resets the newline count; get_next_token advances it for each "\n" token.
const char* get_first_token(const char* text);
const char* get_next_token(const char* pos);
int get_token();                       // kind of the token just read
std::string_view get_token_text();     // its text (name, number, string, ...)
int get_token_newlines();              // "\n" tokens read since get_first_token

// True for kinds that count_tokens charges for.
bool token_counts(int kind);
// Number of counted tokens in the code text as written.
int count_tokens(const char* text);

// The API name list. Names of 64 characters or more are not kept (entries
// are 64 bytes); duplicates are kept once.
void init_api_function_names();
void add_api_function_name(const char* name);
bool is_api_function_name(std::string_view name);
int api_function_name_count();
