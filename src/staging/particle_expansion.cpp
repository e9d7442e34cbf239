#include "staging/particle_expansion.h"

#include <string>
#include <vector>

#include "caches/particle_cache.h"
#include "names/base_name.h"
#include "names/run_files.h"
#include "names/windows_path.h"
#include "platform/platform.h"
#include "staging/cache_expansion.h"

void expandParticleCache(Dependency& named, FrameWindow rendered) {
  CacheReference& cache = *named.cache;
  named.files.clear();
  named.expanded = true;
  named.transferName = std::string(kStagedParticlesFolder) + "\\" + std::string(folderBaseName(named.transferName));
  const std::string& folder = named.resolved;
  const std::vector<std::string> names = sortedFolderNames(folder);
  const bool startup = cache.kind == CacheKind::kParticleStartup;
  // A startup cache is the shape's alone; the disk cache holds every shape's.
  const std::string shape = startup ? cache.cacheName : std::string();
  const CacheSelection selection =
      startup ? selectStartupCache(names, shape) : selectDiskCache(names, rendered, cache.framesPerSecond);
  const std::vector<std::string> staged = addSelectedFiles(named, selection.files);
  cache.framesInAll = particleFrameCount(names, cache.framesPerSecond, shape);
  cache.framesStaged = particleFrameCount(staged, cache.framesPerSecond, shape);
  if (named.files.empty()) markUnreadable(named);
}
