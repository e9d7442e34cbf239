#pragma once
// Cutting a path out of the text of a statement or token: the bytes that
// delimit it (quotes, parentheses, semicolons, blanks, line ends) and the
// last separator outside double quotes.

#include <string>

// `text` without the delimiters at either end.
void trimDelimiters(std::string& text);
std::string trimmedOfDelimiters(const char* text);

// The last `c` in `text` that stands outside double quotes, or nullptr.
const char* findLastUnquoted(const char* text, int c);
