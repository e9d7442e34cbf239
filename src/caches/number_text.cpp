#include "caches/number_text.h"

#include <charconv>
#include <cmath>

namespace {

template <typename Number>
std::optional<Number> wholeText(std::string_view text) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::int64_t> wholeNumber(std::string_view text) { return wholeText<std::int64_t>(text); }

std::optional<double> decimalNumber(std::string_view text) {
  const std::optional<double> value = wholeText<double>(text);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}
