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
    std::vector<std::string> staged;
    for (const std::string& name : selection.files) {
      std::string path = name;
      joinDirectory(folder, path);
      // A folder or pipe of a data file's name is no data.
      if (!platform::fileOpens(path, "r")) continue;
      staged.push_back(name);
      named.files.push_back({path, FileStatus::kPending, named.transferName + "\\" + name});
    }
    cache.framesStaged = cacheFrameCount(staged, cache.cacheName, *description);
  }
  // No job could read the cache: the run fails when it is staged.
  if (cache.framesStaged == 0) {
    named.matchedNothing = true;
    named.files.assign(1, DependencyFile{named.resolved, FileStatus::kPending, {}});
  }
}
