#pragma once
#include <string>

// Copies a file byte for byte. 1 when the copy was made whole; 0, after
// printing why, when the source does not open for reading, the
// destination does not open for writing, or writing the copy failed (the
// partial copy is then removed).
// Should the copy be cut short by running out of memory, the destination
// is removed before the exception goes on.
int copyFile(const std::string& source, const std::string& destination);

// True when both files can be read and hold the same bytes.
bool sameContents(const std::string& first, const std::string& second);
