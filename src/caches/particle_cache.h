#pragma once
// Particle disk caches: folders under the project's particles folder
// holding `<particle shape>.<ticks>.pdc`, one file per shape and sample
// (`particleShape1.7500.pdc` is frame 30 at 24 frames per second). A
// shape's startup cache is read once, at the start of its simulation, and
// is needed whatever frames render; the scene's disk cache is read at
// the time of each frame.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "caches/cache_selection.h"
#include "caches/time_window.h"

struct ParticleCacheFile {
  std::string_view shape;  // points into the name
  std::int64_t ticks;
};

// The shape and time of a `.pdc` name (the extension compared as the
// system compares names); nothing for any other name.
std::optional<ParticleCacheFile> particleCacheFile(std::string_view name);

// The files of every shape whose time lies in the window, at the scene's
// rate.
CacheSelection selectDiskCache(const std::vector<std::string>& names, FrameWindow window, double framesPerSecond);

// Every file of the shape's startup cache, whatever its time.
CacheSelection selectStartupCache(const std::vector<std::string>& names, std::string_view shape);

// The frames that the particle cache files among `names` hold at the
// scene's rate, each counted once (a sample between frames with the frame
// before it); only the shape's files when `shape` is given.
std::size_t particleFrameCount(const std::vector<std::string>& names, double framesPerSecond,
                               std::string_view shape = {});
