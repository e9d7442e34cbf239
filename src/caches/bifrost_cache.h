#pragma once
// Bifrost caches: a container's string attributes name each cache in a
// pair, `<kind>CachePath` and `<kind>CacheFileName` (liquid, liquidmesh,
// solid, aero, foam, guide, ...), which name the folder
// `<path>/<name>/`. It holds `<object>/<object>_<channel>.<frame>.bif`,
// one file per object, channel and frame, frames of four digits or more.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "caches/cache_selection.h"
#include "caches/time_window.h"

struct BifrostCacheFolder {
  std::string folder;              // `<path>/<name>/`, as written, with the path's separator
  std::vector<std::string> kinds;  // the pairs' kinds that name it, as written
};

// The folders a container's attributes (name and value, a leading '.'
// allowed) name: pairs matched by their kind without regard to case;
// pairs with an empty value, and halves of no pair, name nothing. A folder
// named by several pairs is listed once, where it is first named.
std::vector<BifrostCacheFolder> bifrostCacheFolders(
    const std::vector<std::pair<std::string, std::string>>& attributes);

// The frame of a `.bif` file (a path inside the cache folder, or its base
// name): nothing for any other name, and for a file in a folder whose name
// does not begin its own (`Solids/Solids_volume.0052.bif`).
std::optional<std::int64_t> bifrostFrame(std::string_view name);

// The files whose frame lies in the window, in scene frames.
CacheSelection selectBifrostFiles(const std::vector<std::string>& names, FrameWindow window);
