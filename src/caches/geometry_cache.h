#pragma once
// Caches of a cacheFile node (geometry caches, nCaches), named by the
// node's cache name `cn` in its cache folder `cp`: the description
// `<cn>.xml`, and the data, one file `<cn>.mc` (or `.mcx`) or one file per
// sample, `<cn>Frame<N>.mcx` and, between frames, `<cn>Frame<N>Tick<T>.mcx`.
// Names are compared as the system compares file names.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "caches/cache_description.h"
#include "caches/cache_selection.h"
#include "caches/time_window.h"

// `<cacheName>.xml`.
std::string cacheDescriptionName(std::string_view cacheName);

// The time in ticks of a per-frame data file of cache `cacheName`:
// N * ticksPerFrame + T (N and T may be negative); nothing for any other
// name, `nParticleShape10Frame1.mcx` for cache `nParticleShape1` among them.
std::optional<std::int64_t> frameFileTime(std::string_view fileName, std::string_view cacheName,
                                          const CacheDescription& description);

// Of the names in a cache folder, those a render needs that reads cache
// times `window`: the description (when listed), and the data files whose
// time is in the window, or the one data file when its range meets it.
// A node's window: ticksOf(*cacheWindow(clip, renderedWindow(first, last)),
// ticksPerFrame(scene's rate)). Nothing staged (timesStaged 0) when none
// of its data lies in the window.
CacheSelection selectCacheFiles(const std::vector<std::string>& names, std::string_view cacheName,
                                const CacheDescription& description, TickWindow window);

// The frames that the cache's data files among `names` hold, each counted
// once: frame N of each per-frame file (a sample between frames with the
// frame before it), or every frame of the description's range for the one
// data file.
std::size_t cacheFrameCount(const std::vector<std::string>& names, std::string_view cacheName,
                            const CacheDescription& description);
