#include "caches/name_parts.h"

#include <string>

#include "names/comparison_key.h"

bool sameFileName(std::string_view first, std::string_view second) {
  return comparisonKey(std::string(first)) == comparisonKey(std::string(second));
}

std::optional<std::string_view> afterPrefix(std::string_view name, std::string_view prefix) {
  if (name.size() < prefix.size() || !sameFileName(name.substr(0, prefix.size()), prefix)) return std::nullopt;
  return name.substr(prefix.size());
}

std::optional<std::string_view> beforeSuffix(std::string_view name, std::string_view suffix) {
  if (name.size() < suffix.size() || !sameFileName(name.substr(name.size() - suffix.size()), suffix)) {
    return std::nullopt;
  }
  return name.substr(0, name.size() - suffix.size());
}

std::size_t leadingNumberLength(std::string_view text) {
  std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
  const std::size_t digitsFrom = at;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  return at == digitsFrom ? 0 : at;
}
