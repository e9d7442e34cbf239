#pragma once
// The files of a cache folder that a render needs, out of all it holds.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "caches/time_window.h"

struct CacheSelection {
  std::vector<std::string> files;  // to stage, in the order given
  std::size_t filesInAll = 0;      // files of the cache's samples in the folder
  // Distinct times the folder has files for (frames, and samples between
  // them), and how many of those the staged files hold: "20 of 500".
  std::size_t timesInAll = 0;
  std::size_t timesStaged = 0;
};

// The time of a file from its name; nothing for a file that is no sample
// of the cache.
using SampleTime = std::function<std::optional<std::int64_t>(std::string_view name)>;

// The names whose time lies in the window.
CacheSelection selectByTime(const std::vector<std::string>& names, const SampleTime& timeOf, TickWindow window);
