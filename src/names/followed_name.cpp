#include "names/followed_name.h"

#include <cctype>

#include "names/base_name.h"

namespace {

struct FollowedExtension {
  std::string_view extension;
  FollowedFormat format;
};

// Longer extensions before the ones they end with.
constexpr FollowedExtension kFollowedExtensions[] = {
    {".usda", FollowedFormat::kUsdText},       {".usd", FollowedFormat::kUsdByContent},
    {".ass.gz", FollowedFormat::kArnoldSceneGz}, {".ass", FollowedFormat::kArnoldScene},
    {".mtlx", FollowedFormat::kMaterialX},
};

bool endsWithFolded(std::string_view name, std::string_view extension) {
  if (name.size() <= extension.size()) return false;
  const std::string_view end = name.substr(name.size() - extension.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(end[i])) != extension[i]) return false;
  }
  return true;
}

}  // namespace

FollowedFormat followedFormatOfName(std::string_view path) {
  const std::string_view name = baseName(path);
  for (const FollowedExtension& row : kFollowedExtensions) {
    if (endsWithFolded(name, row.extension)) return row.format;
  }
  return FollowedFormat::kNone;
}

std::string stagedBaseName(std::string_view path) {
  const std::string_view name = baseName(path);
  if (followedFormatOfName(name) == FollowedFormat::kNone) return std::string(name);
  return "~" + std::string(name);
}
