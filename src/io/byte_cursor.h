#pragma once
// What a reader reads a file through: the bytes at the cursor that are in
// memory, and three ways past them into the file's copy (as they are, left
// out, or replaced by bytes of the reader's). The filter stream is one,
// over a file and its copy; MemoryCursor is one over bytes in memory, for
// tests and fuzzers.

#include <cstddef>
#include <cstdint>
#include <string_view>

class ByteCursor {
 public:
  virtual ~ByteCursor() = default;
  // The unread bytes in memory from the cursor on, read in when there are
  // none: empty only at the end. Valid until the next call of ahead().
  virtual std::string_view ahead() = 0;
  // The next `count` bytes of ahead() go to the copy as they are.
  virtual void pass(std::size_t count) = 0;
  // The next `count` bytes of ahead() are left out of the copy.
  virtual void skip(std::size_t count) = 0;
  // Bytes the copy gets at this place.
  virtual void put(const char* bytes, std::size_t count) = 0;
  // The cursor's place, counted from the first byte.
  virtual std::int64_t offset() const = 0;
};
