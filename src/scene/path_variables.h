#pragma once
#include <string>

// `$NAME` and `${NAME}` (NAME: a letter or underscore, then letters, digits
// and underscores) replaced by the value of that environment variable.
// An unset variable, and anything else, keeps its text as written.
std::string expandVariables(const std::string& path);
