#pragma once
#include <string>
#include <string_view>

// The form in which paths and file names are compared: names differ in
// case only on systems whose file names do.
std::string comparisonKey(const std::string& name);

// The name with its ASCII letters in lower case: the form in which the
// Windows render nodes compare file names, whatever system submits.
std::string caseFolded(std::string name);

// True when `text` ends with `extension`, given in lower case, with the
// ASCII letters of `text` taken in either case.
bool endsWithFolded(std::string_view text, std::string_view extension);
