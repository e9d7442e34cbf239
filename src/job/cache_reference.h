#pragma once
// What a cacheFile node says of the cache its folder (`cp`) holds: the
// cache's name (`cn`) and how the node places the cache in the scene, and,
// once the run selected its files, how many of its frames are staged. A
// particle disk cache's folder carries one as well (its kind says which).

#include <cstddef>
#include <optional>
#include <string>

#include "caches/cache_description.h"
#include "caches/frame_rate.h"
#include "caches/time_window.h"

// Which node named the cache folder, and so how it is laid out and its files chosen.
enum class CacheKind {
  kCacheFile,        // a cacheFile node's `cp`: `<cn>.xml` and the data beside it
  kParticleStartup,  // a particle shape's startup cache (`scp`): every file of the shape
  kParticleDisk,     // the scene's disk cache (dynGlobals `cd`): the files of the frames rendered
  kBifrost,          // a Bifrost container's pair: `<object>/<object>_<channel>.<frame>.bif`, scene frames
  kXgenData,         // an XGen collection's data folder: staged whole, its layout kept
};

struct CacheReference {
  CacheKind kind = CacheKind::kCacheFile;
  // `cn`: the description is `<cacheName>.xml` in the folder. A startup
  // cache's is the particle shape whose files it stages; a Bifrost cache's
  // is the folder's own name, and it has no description.
  std::string cacheName;
  // The node's mapping as saved: `sf`, `ss`, `se`. A value the scene does
  // not set is taken from the description (see clipOf).
  std::optional<double> startFrame;
  std::optional<double> sourceStart;
  std::optional<double> sourceEnd;
  // Particle caches: the rate of the scene that names the folder, by which
  // file times (ticks) map to frames; and for the disk cache whether the
  // scene has it on (dynGlobals `upd`): one that is off names nothing.
  double framesPerSecond = kDefaultFramesPerSecond;
  bool diskCacheOn = false;
  // Once selected: frames the folder holds data for, and of those, the
  // ones staged.
  std::size_t framesStaged = 0;
  std::size_t framesInAll = 0;
};

// The cache of a Bifrost container's pair, whose folder's own name is
// `folderName`.
CacheReference bifrostCacheReference(std::string folderName);

// The node's placing of its cache, scale 1: the used part is what `ss` and
// `se` say, else the description's whole range; it starts at `sf`, else
// where the used part starts.
CacheClip clipOf(const CacheReference& cache, const CacheDescription& description);

// True for the folders of particle disk caches, startup or not.
inline bool isParticleCache(const CacheReference& cache) {
  return cache.kind == CacheKind::kParticleStartup || cache.kind == CacheKind::kParticleDisk;
}
