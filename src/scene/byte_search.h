#pragma once
// Searches over spans of scene bytes, NUL bytes included, for the readers'
// fast paths: memchr finds the candidates.

#include <cstddef>
#include <cstring>

inline constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

// The index of the first `wanted` in bytes[0, size), or kNowhere.
inline std::size_t findByte(const char* bytes, std::size_t size, char wanted) {
  const void* hit = std::memchr(bytes, wanted, size);
  return hit == nullptr ? kNowhere : static_cast<std::size_t>(static_cast<const char*>(hit) - bytes);
}

// Where `needle` (`length` bytes, at least one) first starts in base[0, size), or kNowhere.
inline std::size_t findBytes(const char* base, std::size_t size, const char* needle, std::size_t length) {
  for (std::size_t from = 0; size >= from + length;) {
    const std::size_t at = findByte(base + from, size - from - length + 1, needle[0]);
    if (at == kNowhere) return kNowhere;
    if (std::memcmp(base + from + at + 1, needle + 1, length - 1) == 0) return from + at;
    from += at + 1;
  }
  return kNowhere;
}
