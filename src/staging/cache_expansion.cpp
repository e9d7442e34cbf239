#include "staging/cache_expansion.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "caches/geometry_cache.h"
#include "io/whole_file.h"
#include "names/comparison_key.h"
#include "names/windows_path.h"
#include "platform/platform.h"

namespace {

std::optional<CacheDescription> descriptionIn(const std::string& folder, const std::string& cacheName) {
  if (cacheName.empty()) return std::nullopt;
  std::string path = cacheDescriptionName(cacheName);
  joinDirectory(folder, path);
  const std::optional<std::string> text = readWholeFile(path);
  return text ? readCacheDescription(*text) : std::nullopt;
}

}  // namespace

std::vector<std::string> sortedFolderNames(const std::string& folder) {
  std::vector<std::string> names = platform::listDirectory(folder);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string keyA = comparisonKey(a), keyB = comparisonKey(b);
    return keyA != keyB ? keyA < keyB : a < b;
  });
  return names;
}

void expandCache(Dependency& named, FrameWindow rendered) {
  CacheReference& cache = *named.cache;
  named.files.clear();
  named.expanded = true;
  cache.framesStaged = cache.framesInAll = 0;
  const std::string& folder = named.resolved;
  const std::optional<CacheDescription> description = descriptionIn(folder, cache.cacheName);
  if (description) {
    const std::vector<std::string> names = sortedFolderNames(folder);
    cache.framesInAll = cacheFrameCount(names, cache.cacheName, *description);
    const std::optional<FrameWindow> read = cacheWindow(clipOf(cache, *description), rendered);
    const CacheSelection selection =
        read ? selectCacheFiles(names, cache.cacheName, *description,
                                ticksOf(*read, static_cast<double>(description->ticksPerFrame)))
             : CacheSelection{};
    cache.framesStaged = cacheFrameCount(addSelectedFiles(named, selection.files), cache.cacheName, *description);
  }
  if (cache.framesStaged == 0) markUnreadable(named);
}

std::vector<std::string> addSelectedFiles(Dependency& named, const std::vector<std::string>& selected) {
  std::vector<std::string> added;
  for (const std::string& name : selected) {
    std::string path = name;
    joinDirectory(named.resolved, path);
    added.push_back(name);
    named.files.push_back({path, FileStatus::kPending, named.transferName + "\\" + name});
  }
  return added;
}

void markUnreadable(Dependency& named) {
  named.matchedNothing = true;
  named.files.assign(1, DependencyFile{named.resolved, FileStatus::kPending, {}});
}
