#pragma once
// What the command line fixes for the whole run beyond the render
// settings the record carries.

#include <optional>
#include <string>

struct RunOptions {
  // --dry-run: scenes are read but no copy is written, nothing is staged,
  // described or submitted.
  bool dryRun = false;
  // --report FILE, made absolute when the command line was read.
  std::optional<std::string> reportPath;
};
