#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class FilterStream;

// Copies a file byte for byte. 1 when the copy was made whole; 0, after
// printing why, when the source does not open for reading, the
// destination cannot be written (a folder or pipe in its place, say), or
// writing the copy failed. The destination's name is given to the copy
// only when it is whole; should the copy be cut short (out of memory,
// interrupted), the partial copy is removed before the exception goes on.
int copyFile(const std::string& source, const std::string& destination);

// The two steps of copyFile, for copies put on the disk together: the
// bytes written under the destination's partial name (nothing printed;
// null when the copy cannot be made), then the copy on the disk and
// given its name, 1, or 0 after printing why.
std::unique_ptr<FilterStream> writeCopy(const std::string& source, const std::string& destination);
int commitCopy(std::unique_ptr<FilterStream> written, const std::string& source, const std::string& destination);

// The file's size in bytes; nothing when it does not open.
std::optional<std::int64_t> fileSize(const std::string& path);

// True when both files can be read and hold the same bytes.
bool sameContents(const std::string& first, const std::string& second);
