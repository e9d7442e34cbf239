#include "names/followed_name.h"

#include <cctype>

#include "names/base_name.h"
#include "names/comparison_key.h"

namespace {

struct FollowedExtension {
  std::string_view extension;
  FollowedFormat format;
};

// Longer extensions before the ones they end with.
constexpr FollowedExtension kFollowedExtensions[] = {
    {".usda", FollowedFormat::kUsdText},       {".usd", FollowedFormat::kUsdByContent},
    {".ass.gz", FollowedFormat::kArnoldSceneGz}, {".ass", FollowedFormat::kArnoldScene},
    {".mtlx", FollowedFormat::kMaterialX},     {".xgen", FollowedFormat::kXgen},
};

}  // namespace

FollowedFormat followedFormatOfName(std::string_view path) {
  const std::string_view name = baseName(path);
  for (const FollowedExtension& row : kFollowedExtensions) {
    if (name.size() > row.extension.size() && endsWithFolded(name, row.extension)) return row.format;
  }
  return FollowedFormat::kNone;
}

std::string stagedBaseName(std::string_view path) {
  const std::string_view name = baseName(path);
  if (followedFormatOfName(name) == FollowedFormat::kNone) return std::string(name);
  return "~" + std::string(name);
}
