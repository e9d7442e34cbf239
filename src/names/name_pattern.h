#pragma once
// A dependency's base name that stands for several files: tile and frame
// tokens, or the tile or frame number that its node marks.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class NamePattern {
 public:
  // The pattern that `baseName` stands for: by its tokens; else, with
  // `tiling` 1 to 3, by its last tile number; and, with `frames`, by its
  // last frame number. Nothing when it names one file.
  static std::optional<NamePattern> of(std::string_view baseName, int tiling, bool frames);
  // True when the file name `name` is one of the files the pattern stands
  // for (letter case aside where the system's file names ignore it).
  bool matches(std::string_view name) const;

 private:
  enum class Kind { kText, kDigits, kFourDigits, kUdim, kUvTile, kAnyRun };
  struct Part {
    Kind kind;
    std::string text;  // kText only, in comparison form
  };
  bool matchFrom(std::size_t part, std::string_view name) const;
  std::vector<Part> parts_;
};
