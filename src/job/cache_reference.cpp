#include "job/cache_reference.h"

#include <utility>

CacheClip clipOf(const CacheReference& cache, const CacheDescription& description) {
  const double perFrame = static_cast<double>(description.ticksPerFrame);
  CacheClip clip;
  clip.sourceStart = cache.sourceStart.value_or(static_cast<double>(description.firstTick) / perFrame);
  clip.sourceEnd = cache.sourceEnd.value_or(static_cast<double>(description.lastTick) / perFrame);
  clip.startFrame = cache.startFrame.value_or(clip.sourceStart);
  clip.scale = 1;
  return clip;
}

CacheReference bifrostCacheReference(std::string folderName) {
  CacheReference cache;
  cache.kind = CacheKind::kBifrost;
  cache.cacheName = std::move(folderName);
  return cache;
}
