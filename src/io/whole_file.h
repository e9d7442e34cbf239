#pragma once
// Files read and written whole, in memory: small documents, and files
// whose bytes must be taken apart before they can be read (compressed).

#include <optional>
#include <string>
#include <string_view>

// The file's bytes; nothing when it cannot be read to its end.
std::optional<std::string> readWholeFile(const std::string& path);

// Writes `bytes` under a partial name beside `path`, puts them on the disk
// and renames the file onto `path`; false, with no partial file left, when
// any step fails or `path` is a folder or pipe that must not be replaced.
bool writeWholeFile(const std::string& path, std::string_view bytes);
