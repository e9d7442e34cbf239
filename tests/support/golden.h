#pragma once
// Long expected texts kept as files in tests/golden, byte for byte, rather
// than restated in the tests: the program's own output pasted in whole.

#include <string>

// The bytes of tests/golden/<name>. A file that cannot be read fails the
// test that asked for it, and gives "".
std::string golden(const std::string& name);
