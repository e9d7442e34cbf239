#pragma once
// Where a reader hands out the unit it read (a statement or a token): a
// buffer its caller owns, holding the bytes NUL-terminated, and their
// length (a statement may hold NUL bytes of its own).

#include <cstddef>

struct UnitBuffer {
  char* bytes;
  std::size_t& length;

  // No unit: as before a read, and at the end of the scene.
  void clear() {
    bytes[0] = '\0';
    length = 0;
  }
};
