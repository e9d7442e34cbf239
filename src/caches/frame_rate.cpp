#include "caches/frame_rate.h"

#include <vector>

#include "caches/number_text.h"

namespace {

struct NamedRate {
  std::string_view name;
  double framesPerSecond;
};

// Every unit that is not "<N>fps" with N as written: the named rates, the
// clock units, and the NTSC rates, whose written names round them.
constexpr NamedRate kNamedRates[] = {
    {"game", 15},
    {"film", 24},
    {"pal", 25},
    {"ntsc", 30},
    {"show", 48},
    {"palf", 50},
    {"ntscf", 60},
    {"hour", 1.0 / 3600},
    {"min", 1.0 / 60},
    {"sec", 1},
    {"millisec", 1000},
    {"23.976fps", 24000.0 / 1001},
    {"29.97fps", 30000.0 / 1001},
    {"29.97df", 30000.0 / 1001},
    {"47.952fps", 48000.0 / 1001},
    {"59.94fps", 60000.0 / 1001},
};

constexpr std::string_view kFps = "fps";
constexpr std::string_view kBlanks = " \t\r\n";

// The statement's words, split at blanks, a ';' ending the last.
std::vector<std::string_view> wordsOf(std::string_view statement) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while ((at = statement.find_first_not_of(kBlanks, at)) != std::string_view::npos) {
    std::size_t end = statement.find_first_of(kBlanks, at);
    if (end == std::string_view::npos) end = statement.size();
    std::string_view word = statement.substr(at, end - at);
    if (!word.empty() && word.back() == ';') word.remove_suffix(1);
    if (!word.empty()) words.push_back(word);
    at = end;
  }
  return words;
}

std::string_view unquoted(std::string_view word) {
  if (word.size() >= 2 && word.front() == '"' && word.back() == '"') return word.substr(1, word.size() - 2);
  return word;
}

}  // namespace

std::optional<double> framesPerSecond(std::string_view timeUnit) {
  for (const NamedRate& rate : kNamedRates) {
    if (rate.name == timeUnit) return rate.framesPerSecond;
  }
  if (timeUnit.size() <= kFps.size() || timeUnit.substr(timeUnit.size() - kFps.size()) != kFps) return std::nullopt;
  const std::optional<double> rate = decimalNumber(timeUnit.substr(0, timeUnit.size() - kFps.size()));
  if (!rate || *rate <= 0) return std::nullopt;
  return rate;
}

std::optional<std::string_view> timeUnitOf(std::string_view statement) {
  const std::vector<std::string_view> words = wordsOf(statement);
  if (words.empty() || words[0] != "currentUnit") return std::nullopt;
  for (std::size_t i = 1; i + 1 < words.size(); ++i) {
    if (words[i] == "-t" || words[i] == "-time") return unquoted(words[i + 1]);
  }
  return std::nullopt;
}
