#pragma once
// Numbers as cache names and descriptions write them: the whole text is
// the number, or it is none.

#include <cstdint>
#include <optional>
#include <string_view>

// Digits with an optional leading '-' ("52", "0052", "-250"); nullopt for
// anything else: an empty text, a '+', blanks, a value beyond 64 bits.
std::optional<std::int64_t> wholeNumber(std::string_view text);

// A finite decimal number ("23.976", "-1.5", "24"); nullopt for anything
// else.
std::optional<double> decimalNumber(std::string_view text);
