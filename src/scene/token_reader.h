#pragma once
// The reader of binary scenes that are not read by their structure. It
// does not interpret the format: it hands out runs of printable text that
// begin with a letter (tokens), where scene and texture paths are stored,
// and passes every other byte on to the copy.

#include <cstddef>

#include "scene/unit_buffer.h"

class ByteCursor;

class TokenReader {
 public:
  static constexpr std::size_t kMinBytes = 3;
  // A longer run is handed out in pieces of this many bytes.
  static constexpr std::size_t kMaxBytes = 40957;

  // Reads from `in` into `token` (NUL-terminated, `length` bytes).
  TokenReader(ByteCursor& in, char* token, std::size_t& length)
      : in_(in), unit_{token, length} {}

  // The next token, taken out of the copy's way: the caller writes it, or
  // what stands in its place; the bytes before it went to the copy. 0 at
  // the end of the scene.
  int read();
  // The next token that holds a marker of the binary recognisers; every
  // token before it goes to the copy as it is.
  int readMarked();

 private:
  void clear() { unit_.clear(); }

  ByteCursor& in_;
  UnitBuffer unit_;
};
