#pragma once
// Files that name files of their own and that the run reads, rewrites and
// stages as "~" + their name, as it does scenes: known by their names.

#include <string>
#include <string_view>

enum class FollowedFormat {
  kNone,           // staged as it is
  kUsdText,        // a USD layer in text form (`.usda`)
  kUsdByContent,   // a `.usd` layer: text or binary, as its first bytes say
  kArnoldScene,    // an Arnold scene file (`.ass`)
  kArnoldSceneGz,  // the same compressed (`.ass.gz`)
  kMaterialX,      // a MaterialX document (`.mtlx`)
  kXgen,           // an XGen collection file (`.xgen`)
};

// The format a file of this name is followed as, by its extension in any
// case; kNone for every other name.
FollowedFormat followedFormatOfName(std::string_view path);

// The name a file is staged under in the working folder: "~" and its base
// name for a file that is followed, its base name for any other.
std::string stagedBaseName(std::string_view path);
