#pragma once
// Taking cache file names apart: their fixed parts compared as the system
// compares file names, their numbers as written.

#include <cstddef>
#include <optional>
#include <string_view>

// `name` without `prefix` (or `suffix`); nothing when it does not begin
// (end) with it.
std::optional<std::string_view> afterPrefix(std::string_view name, std::string_view prefix);
std::optional<std::string_view> beforeSuffix(std::string_view name, std::string_view suffix);

// True when both are one name to the system.
bool sameFileName(std::string_view first, std::string_view second);

// How long the whole number ('-' and digits) at the start of `text` is;
// 0 when there is none.
std::size_t leadingNumberLength(std::string_view text);
