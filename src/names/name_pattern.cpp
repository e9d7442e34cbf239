#include "names/name_pattern.h"

#include "names/comparison_key.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Span {
  std::size_t at = std::string_view::npos;
  std::size_t length = 0;
};

// Frame tokens: <f>, <fN>, <frame>, <frameNN>.
bool isFrameToken(std::string_view token) {
  for (std::string_view word : {std::string_view("frame"), std::string_view("f")}) {
    if (token.compare(0, word.size(), word) != 0) continue;
    bool digits = true;
    for (char c : token.substr(word.size())) digits = digits && isDigit(c);
    if (digits) return true;
  }
  return false;
}

// The last run of exactly four digits from 1001 to 1999.
Span lastUdim(std::string_view name) {
  Span found;
  for (std::size_t i = 0; i < name.size();) {
    if (!isDigit(name[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < name.size() && isDigit(name[end])) ++end;
    if (end - i == 4 && name[i] == '1' && name.substr(i, 4) >= "1001") found = {i, 4};
    i = end;
  }
  return found;
}

// The last u<digits>_v<digits>.
Span lastUvTile(std::string_view name) {
  Span found;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != 'u') continue;
    std::size_t j = i + 1;
    while (j < name.size() && isDigit(name[j])) ++j;
    if (j == i + 1 || j + 1 >= name.size() || name[j] != '_' || name[j + 1] != 'v') continue;
    std::size_t k = j + 2;
    while (k < name.size() && isDigit(name[k])) ++k;
    if (k > j + 2) found = {i, k - i};
  }
  return found;
}

// The last run of digits outside the extension; an extension of digits
// alone is a frame number (name.ext.0001).
Span lastFrame(std::string_view name) {
  std::size_t end = name.size();
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    bool digits = dot + 1 < name.size();
    for (char c : name.substr(dot + 1)) digits = digits && isDigit(c);
    if (!digits) end = dot;
  }
  std::size_t last = end;
  while (last > 0 && !isDigit(name[last - 1])) --last;
  if (last == 0) return {};
  std::size_t first = last;
  while (first > 0 && isDigit(name[first - 1])) --first;
  return {first, last - first};
}

}  // namespace

std::optional<NamePattern> NamePattern::of(std::string_view baseName, int tiling, bool frames) {
  NamePattern pattern;
  bool tokens = false;
  std::string text;
  const auto flushText = [&] {
    if (!text.empty()) pattern.parts_.push_back({Kind::kText, comparisonKey(text)});
    text.clear();
  };
  const auto add = [&](Kind kind) {
    flushText();
    pattern.parts_.push_back({kind, {}});
  };
  for (std::size_t i = 0; i < baseName.size();) {
    const char c = baseName[i];
    if (c == '#') {
      while (i < baseName.size() && baseName[i] == '#') ++i;
      add(Kind::kDigits), tokens = true;
      continue;
    }
    const std::size_t close = c == '<' ? baseName.find('>', i + 1) : std::string_view::npos;
    if (close != std::string_view::npos && close > i + 1) {
      const std::string_view token = baseName.substr(i + 1, close - i - 1);
      if (token == "UDIM" || token == "udim") {
        add(Kind::kFourDigits);
      } else if (token == "UVTILE" || token == "uvtile") {
        add(Kind::kUvTile);
      } else if (token == "u" || token == "v" || token == "U" || token == "V" || isFrameToken(token)) {
        add(Kind::kDigits);
      } else {
        add(Kind::kAnyRun);
      }
      tokens = true;
      i = close + 1;
      continue;
    }
    text += c;
    ++i;
  }
  flushText();
  if (tokens) return pattern;

  // No token: the node's own marks.
  Span tile;
  Kind tileKind = Kind::kUdim;
  if (tiling == 3) tile = lastUdim(baseName);
  if (tiling == 1 || tiling == 2) tile = lastUvTile(baseName), tileKind = Kind::kUvTile;
  Span frame = frames ? lastFrame(baseName) : Span{};
  if (frame.at != std::string_view::npos && tile.at != std::string_view::npos && frame.at < tile.at + tile.length &&
      tile.at < frame.at + frame.length) {
    frame = {};  // the same digits: a tile
  }
  if (tile.at == std::string_view::npos && frame.at == std::string_view::npos) return std::nullopt;
  pattern.parts_.clear();
  std::size_t from = 0;
  const auto put = [&](Span span, Kind kind) {
    text.assign(baseName.substr(from, span.at - from));
    add(kind);
    from = span.at + span.length;
  };
  const bool tileFirst =
      tile.at != std::string_view::npos && (frame.at == std::string_view::npos || tile.at < frame.at);
  if (tileFirst) put(tile, tileKind);
  if (frame.at != std::string_view::npos) put(frame, Kind::kDigits);
  if (!tileFirst && tile.at != std::string_view::npos) put(tile, tileKind);
  text.assign(baseName.substr(from));
  flushText();
  return pattern;
}

bool NamePattern::matches(std::string_view name) const { return matchFrom(0, comparisonKey(std::string(name))); }

bool NamePattern::matchFrom(std::size_t index, std::string_view name) const {
  if (index == parts_.size()) return name.empty();
  const Part& part = parts_[index];
  std::size_t longest = 0;
  switch (part.kind) {
    case Kind::kText:
      return name.compare(0, part.text.size(), part.text) == 0 && matchFrom(index + 1, name.substr(part.text.size()));
    case Kind::kFourDigits:
    case Kind::kUdim: {
      if (name.size() < 4) return false;
      for (std::size_t i = 0; i < 4; ++i) {
        if (!isDigit(name[i])) return false;
      }
      if (part.kind == Kind::kUdim && (name[0] != '1' || name.substr(0, 4) < "1001")) return false;
      return matchFrom(index + 1, name.substr(4));
    }
    case Kind::kUvTile: {
      // u and v are lower case in comparison form too.
      if (name.empty() || name[0] != 'u') return false;
      std::size_t j = 1;
      while (j < name.size() && isDigit(name[j])) ++j;
      if (j == 1 || j + 1 >= name.size() || name[j] != '_' || name[j + 1] != 'v') return false;
      std::size_t k = j + 2;
      while (k < name.size() && isDigit(name[k])) ++k;
      return k > j + 2 && matchFrom(index + 1, name.substr(k));
    }
    case Kind::kDigits:
      while (longest < name.size() && isDigit(name[longest])) ++longest;
      break;
    case Kind::kAnyRun:
      while (longest < name.size() && name[longest] != '\\' && name[longest] != '/') ++longest;
      break;
  }
  // A run of one or more, the longest first.
  for (std::size_t length = longest; length >= 1; --length) {
    if (matchFrom(index + 1, name.substr(length))) return true;
  }
  return false;
}
