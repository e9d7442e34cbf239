#pragma once
#include <string>

// The form in which paths and file names are compared: names differ in
// case only on systems whose file names do.
std::string comparisonKey(const std::string& name);
