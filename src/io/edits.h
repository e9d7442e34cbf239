#pragma once
// A copy of a file that differs from it only where a reader said so: each
// edit replaces a stretch of the file's bytes by others. Readers of every
// format return edits; this is the one place that applies them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class FilterStream;

// Bytes [offset, offset + length) of the file replaced by `bytes` in the copy.
struct Edit {
  std::int64_t offset;
  std::int64_t length;
  std::string bytes;
};

// Copies the rest of the stream's input to its output with the edits in
// place. The edits stand in order of their offsets, none overlapping, none
// before the stream's position; the stretches between them are never
// read into the program.
void copyWithEdits(FilterStream& stream, const std::vector<Edit>& edits);

// The same for bytes held in memory.
std::string applyEdits(std::string_view bytes, const std::vector<Edit>& edits);
