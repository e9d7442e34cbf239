#include "caches/cache_selection.h"

#include <set>

CacheSelection selectByTime(const std::vector<std::string>& names, const SampleTime& timeOf, TickWindow window) {
  CacheSelection selection;
  std::set<std::int64_t> all, staged;
  for (const std::string& name : names) {
    const std::optional<std::int64_t> time = timeOf(name);
    if (!time) continue;
    ++selection.filesInAll;
    all.insert(*time);
    if (!window.holds(*time)) continue;
    staged.insert(*time);
    selection.files.push_back(name);
  }
  selection.timesInAll = all.size();
  selection.timesStaged = staged.size();
  return selection;
}
