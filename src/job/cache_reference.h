#pragma once
// What a cacheFile node says of the cache its folder (`cp`) holds: the
// cache's name (`cn`) and how the node places the cache in the scene, and,
// once the run selected its files, how many of its frames are staged.

#include <cstddef>
#include <optional>
#include <string>

#include "caches/cache_description.h"
#include "caches/time_window.h"

// How a cache's folder is laid out and what names it.
enum class CacheKind {
  kCacheFile,  // a cacheFile node's: `<cn>.xml` and the data beside it
  kBifrost,    // a Bifrost container's pair: `<object>/<object>_<channel>.<frame>.bif`, scene frames
  kXgenData,   // an XGen collection's data folder: staged whole, its layout kept
};

struct CacheReference {
  CacheKind kind = CacheKind::kCacheFile;
  // `cn`: the description is `<cacheName>.xml` in the folder. A Bifrost
  // cache's is the folder's own name, and it has no description.
  std::string cacheName;
  // The node's mapping as saved: `sf`, `ss`, `se`. A value the scene does
  // not set is taken from the description (see clipOf).
  std::optional<double> startFrame;
  std::optional<double> sourceStart;
  std::optional<double> sourceEnd;
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
