#pragma once
// Classes of bytes as 256-entry tables, for readers that skip in one pass
// the bytes that change nothing in their state: testing a byte is one load,
// where a chain of comparisons would be several branches.

#include <array>
#include <cstddef>
#include <string_view>

using ByteClass = std::array<bool, 256>;

// The class of exactly the bytes of `bytes`.
constexpr ByteClass byteClass(std::string_view bytes) {
  ByteClass table{};
  for (char c : bytes) table[static_cast<unsigned char>(c)] = true;
  return table;
}

inline bool inClass(const ByteClass& table, char c) { return table[static_cast<unsigned char>(c)]; }

// The first index from `i` on whose byte is in `stops`, or the block's size.
inline std::size_t skipUntil(std::string_view block, std::size_t i, const ByteClass& stops) {
  const std::size_t n = block.size();
  // Four bytes a round: the tests are independent of one another, and the
  // loop's own test comes once for the four.
  while (i + 4 <= n) {
    if (inClass(stops, block[i])) return i;
    if (inClass(stops, block[i + 1])) return i + 1;
    if (inClass(stops, block[i + 2])) return i + 2;
    if (inClass(stops, block[i + 3])) return i + 3;
    i += 4;
  }
  while (i < n && !inClass(stops, block[i])) ++i;
  return i;
}
