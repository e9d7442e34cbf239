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

// How the names of a container's cache attributes end, in lower case: any
// case counts.
constexpr std::string_view kBifrostPathEnding = "cachepath";
constexpr std::string_view kBifrostFileNameEnding = "cachefilename";

struct BifrostCacheFolder {
  std::string folder;              // `<path>/<name>/`, as written, with the path's separator
  std::vector<std::string> kinds;  // the pairs' kinds that name it, as written
  std::string name;                // `<name>`: the folder's own name, as written
  std::string pathAttribute;       // the path attribute that names it first, as given
};

// The folders a container's attributes (name and value, a leading '.'
// allowed) name: pairs matched by their kind without regard to case;
// pairs with an empty value, and halves of no pair, name nothing. A folder
// named by several pairs is listed once, where it is first named.
std::vector<BifrostCacheFolder> bifrostCacheFolders(
    const std::vector<std::pair<std::string, std::string>>& attributes);

// Takes the folder that the path attribute `pathAttribute` names out of
// `folders`: nothing when it names none there (a half of no pair, or a
// folder an earlier pair names, or one taken already).
std::optional<BifrostCacheFolder> takeFolderNamedBy(std::vector<BifrostCacheFolder>& folders,
                                                    std::string_view pathAttribute);

// The path a container's copy gives a pair so that, run in the job's
// folder, the cache folder staged there under its own name is found: that
// folder itself, `./` repeated and cut to `length` bytes (a binary scene's
// value keeps its length; `.` and `././.` lead there as `./` does).
std::string bifrostJobFolderPath(std::size_t length = 2);

// The frame of a `.bif` file (a path inside the cache folder, or its base
// name): nothing for any other name, and for a file in a folder whose name
// does not begin its own (`Solids/Solids_volume.0052.bif`).
std::optional<std::int64_t> bifrostFrame(std::string_view name);

// The files whose frame lies in the window, in scene frames.
CacheSelection selectBifrostFiles(const std::vector<std::string>& names, FrameWindow window);
