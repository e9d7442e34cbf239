#include "caches/bifrost_cache.h"

#include "caches/name_parts.h"
#include "caches/number_text.h"
#include "names/comparison_key.h"
#include "names/windows_path.h"

namespace {

enum class Half { kPath, kFileName };

struct CacheAttribute {
  std::string kind;  // as written
  Half half;
};

std::optional<CacheAttribute> cacheAttribute(std::string_view name) {
  if (!name.empty() && name[0] == '.') name.remove_prefix(1);
  for (const auto& [ending, half] :
       {std::pair{kBifrostPathEnding, Half::kPath}, std::pair{kBifrostFileNameEnding, Half::kFileName}}) {
    if (endsWithFolded(name, ending)) return CacheAttribute{std::string(name.substr(0, name.size() - ending.size())), half};
  }
  return std::nullopt;
}

std::string joinedFolder(const std::string& path, const std::string& name) {
  const char separator = path.find('\\') != std::string::npos ? '\\' : '/';
  const bool ends = path.back() == '/' || path.back() == '\\';
  return path + (ends ? "" : std::string(1, separator)) + name + separator;
}

// The key under which two texts name one folder.
std::string folderKey(std::string folder) {
  normalizeSlashes(folder);
  return comparisonKey(folder);
}

}  // namespace

std::vector<BifrostCacheFolder> bifrostCacheFolders(
    const std::vector<std::pair<std::string, std::string>>& attributes) {
  std::vector<BifrostCacheFolder> folders;
  std::vector<std::string> keys;
  for (const auto& [pathName, path] : attributes) {
    const std::optional<CacheAttribute> pathAttribute = cacheAttribute(pathName);
    if (!pathAttribute || pathAttribute->half != Half::kPath || path.empty()) continue;
    for (const auto& [fileName, file] : attributes) {
      const std::optional<CacheAttribute> fileAttribute = cacheAttribute(fileName);
      if (!fileAttribute || fileAttribute->half != Half::kFileName || file.empty() ||
          caseFolded(fileAttribute->kind) != caseFolded(pathAttribute->kind)) {
        continue;
      }
      const std::string folder = joinedFolder(path, file), key = folderKey(folder);
      std::size_t at = 0;
      while (at < keys.size() && keys[at] != key) ++at;
      if (at == keys.size()) folders.push_back({folder, {}, file, pathName}), keys.push_back(key);
      folders[at].kinds.push_back(pathAttribute->kind);
      break;
    }
  }
  return folders;
}

std::optional<BifrostCacheFolder> takeFolderNamedBy(std::vector<BifrostCacheFolder>& folders,
                                                    std::string_view pathAttribute) {
  for (auto folder = folders.begin(); folder != folders.end(); ++folder) {
    if (folder->pathAttribute != pathAttribute) continue;
    BifrostCacheFolder taken = std::move(*folder);
    folders.erase(folder);
    return taken;
  }
  return std::nullopt;
}

std::string bifrostJobFolderPath(std::size_t length) {
  std::string path;
  while (path.size() < length) path += path.size() % 2 == 0 ? '.' : '/';
  return path;
}

std::optional<std::int64_t> bifrostFrame(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  const std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
  const std::optional<std::string_view> stem = beforeSuffix(base, ".bif");
  const std::size_t dot = stem ? stem->rfind('.') : std::string_view::npos;
  if (dot == std::string_view::npos || stem->substr(0, dot).find('_') == std::string_view::npos) return std::nullopt;
  if (slash != std::string_view::npos) {
    const std::string_view folder = name.substr(0, slash);
    const std::size_t folderSlash = folder.find_last_of("/\\");
    const std::string_view object = folderSlash == std::string_view::npos ? folder : folder.substr(folderSlash + 1);
    if (!afterPrefix(base, std::string(object) + "_")) return std::nullopt;
  }
  return wholeNumber(stem->substr(dot + 1));
}

CacheSelection selectBifrostFiles(const std::vector<std::string>& names, FrameWindow window) {
  return selectByTime(names, bifrostFrame, wholeFramesIn(window));
}
