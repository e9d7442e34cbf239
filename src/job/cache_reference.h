#pragma once
// What a cacheFile node says of the cache its folder (`cp`) holds: the
// cache's name (`cn`) and how the node places the cache in the scene, and,
// once the run selected its files, how many of its frames are staged.

#include <cstddef>
#include <optional>
#include <string>

#include "caches/cache_description.h"
#include "caches/time_window.h"

// What kind of folder a reference stands for.
enum class CacheKind {
  kCacheFile,  // a cacheFile node's folder: the files of the frames the jobs render
  kXgenData,   // an XGen collection's data folder: staged whole, its layout kept
};

struct CacheReference {
  CacheKind kind = CacheKind::kCacheFile;
  std::string cacheName;  // `cn`: the description is `<cacheName>.xml` in the folder
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

// The node's placing of its cache, scale 1: the used part is what `ss` and
// `se` say, else the description's whole range; it starts at `sf`, else
// where the used part starts.
CacheClip clipOf(const CacheReference& cache, const CacheDescription& description);
