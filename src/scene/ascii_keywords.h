#pragma once
// The keywords of the statements that the ASCII recognisers rewrite, and
// the search for them.

#include <cstddef>

inline constexpr char kReferenceKeyword[] = "file -r ";
inline constexpr std::size_t kReferenceKeywordLength = sizeof(kReferenceKeyword) - 1;
inline constexpr char kTextureKeyword[] = "setAttr \".ftn\" -type \"string\"";
inline constexpr std::size_t kTextureKeywordLength = sizeof(kTextureKeyword) - 1;

// True when either keyword stands whole in bytes[0, length), NUL bytes
// or not. Both are found by memchr on their 'f', a byte seldom seen in the
// numbers that make up most of a scene.
bool holdsKeyword(const char* bytes, std::size_t length);
