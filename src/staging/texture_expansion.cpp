#include "staging/texture_expansion.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "job/scene_job.h"
#include "names/comparison_key.h"
#include "platform/platform.h"
#include "names/base_name.h"
#include "names/name_pattern.h"
#include "names/windows_path.h"
#include "scene/path_resolution.h"
#include "staging/bifrost_expansion.h"
#include "staging/cache_expansion.h"
#include "staging/folder_tree.h"
#include "staging/particle_expansion.h"

namespace {

// The files in `folder` that `pattern` stands for, in byte order of their
// names (letter case aside where the system's names ignore it).
std::vector<std::string> matchingFiles(const std::string& folder, const NamePattern& pattern) {
  std::vector<std::string> names;
  for (std::string& name : platform::listDirectory(folder)) {
    if (pattern.matches(name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string keyA = comparisonKey(a), keyB = comparisonKey(b);
    return keyA != keyB ? keyA < keyB : a < b;
  });
  std::vector<std::string> files;
  for (std::string& name : names) {
    joinDirectory(folder, name);
    if (platform::fileOpens(name, "r")) files.push_back(std::move(name));
  }
  return files;
}

// The files an entry stands for: itself when it is no pattern; none when
// it is one that matches nothing.
std::vector<std::string> expandEntry(const std::string& entry, const Dependency& facts) {
  const std::string name(baseName(entry));
  const std::optional<NamePattern> pattern = NamePattern::of(name, facts.tiling, facts.frames);
  if (!pattern) return {entry};
  std::string folder = entry;
  if (!cutLastComponent(folder)) folder = platform::currentDirectory();
  std::vector<std::string> files = matchingFiles(folder, *pattern);
  if (!files.empty()) return files;
  for (const std::string& other : fallbackFolders(facts.scenePath, false)) {
    files = matchingFiles(other, *pattern);
    if (files.empty()) continue;
    std::string used = name;
    joinDirectory(other, used);
    // Named as recorded, as a single file found elsewhere is.
    const std::string& recorded = facts.recorded.empty() ? entry : facts.recorded;
    sayFoundElsewhere(recorded, used);
    return files;
  }
  return files;
}

// The prepared `name.tx` beside a texture `name.ext`, when there is one.
std::string preparedSibling(const std::string& texture) {
  const std::string name(baseName(texture));
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || comparisonKey(name.substr(dot)) == ".tx") return std::string();
  if (!platform::fileOpens(texture, "r")) return std::string();
  const std::string sibling = texture.substr(0, texture.size() - (name.size() - dot)) + ".tx";
  return platform::fileOpens(sibling, "r") ? sibling : std::string();
}

}  // namespace

void TextureExpansion::expand(Dependency& named) {
  if (named.cache && named.cache->kind == CacheKind::kXgenData) return expandFolderTree(named);
  if (named.cache && named.cache->kind == CacheKind::kBifrost) return expandBifrostCache(named, rendered_);
  if (named.cache && isParticleCache(*named.cache)) return expandParticleCache(named, rendered_);
  if (named.cache) return expandCache(named, rendered_);
  named.files.clear();
  for (const std::string& file : expandEntry(named.resolved, named)) {
    named.files.push_back({file, FileStatus::kPending, {}});
    auto known = siblings_.find(file);
    if (known == siblings_.end()) known = siblings_.emplace(file, preparedSibling(file)).first;
    if (!known->second.empty()) named.files.push_back({known->second, FileStatus::kPending, {}});
  }
  named.expanded = true;
  // A pattern that matched nothing fails the run when it is staged; its
  // name is none a file can have on the render nodes.
  if (named.files.empty()) {
    named.matchedNothing = true;
    named.files.push_back({named.resolved, FileStatus::kPending, {}});
  }
}

void expandTextures(DependencyList& found, TextureExpansion& expansion) {
  for (Dependency& named : found.items()) {
    if (named.kind == DependencyKind::kTexture && !named.expanded) expansion.expand(named);
  }
}

void listTextures(SceneJob& job, const DependencyList& found) {
  std::vector<std::string> textures;
  for (const Dependency& named : found.items()) {
    if (named.kind != DependencyKind::kTexture) continue;
    for (const DependencyFile& file : named.files) textures.push_back(file.path);
  }
  job.textureFiles = std::move(textures);
}
