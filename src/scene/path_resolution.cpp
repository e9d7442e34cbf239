// Dependency paths are stored as the scene spells them; relative ones are
// made absolute against the directory above the scene's directory, as
// the operating system names it.

#include "scene/path_resolution.h"

#include <algorithm>
#include <cstdio>

#include "job/scene_job.h"
#include "platform/platform.h"
#include "names/base_name.h"
#include "names/followed_name.h"
#include "names/windows_path.h"
#include "names/staging_name.h"

namespace {

const char kParentStep[] = "\\..\\";

}  // namespace

void sayFoundElsewhere(const std::string& recorded, const std::string& used) {
  std::printf("File '%s' not found; using '%s'.\n", recorded.c_str(), used.c_str());
}

std::string absoluteFolder(const std::string& folder) {
  std::string absolute = platform::enteredFolderPath(folder).value_or(std::string());
  normalizeSlashes(absolute);
  return absolute;
}

// The path operations of the record, on the text of names/windows_path.h.
void SceneJob::normalizeSlashes(std::string& entry) { ::normalizeSlashes(entry); }
int SceneJob::isRelativePath(const std::string& path) { return ::isRelativePath(path) ? 1 : 0; }
int SceneJob::cutLastComponent(std::string& path) { return ::cutLastComponent(path) ? 1 : 0; }
int SceneJob::joinDirectory(const std::string& directory, std::string& entry) {
  return ::joinDirectory(directory, entry) ? 1 : 0;
}

std::string resolutionBase(const std::string& scenePath) {
  const std::string workingDirectory = platform::currentDirectory();
  // The command-line scene may be spelled with '/', so both separators
  // mark its directory.
  std::string sceneDirectory = scenePath;
  normalizeSlashes(sceneDirectory);
  std::string target = cutLastComponent(sceneDirectory) ? sceneDirectory : workingDirectory;
  target += kParentStep;
  // A folder that cannot be entered leaves the working directory, as
  // changing into it would.
  return platform::enteredFolderPath(target).value_or(workingDirectory);
}

int SceneJob::resolveDependencyPath(std::string& entry) const {
  normalizeSlashes(entry);
  if (isRelativePath(entry) == 0) return 0;
  joinDirectory(resolutionBase(scenePath.value_or(std::string())), entry);
  return 1;
}

std::vector<std::string> fallbackFolders(const std::string& namingScene, bool forScene) {
  std::string sceneDirectory = namingScene;
  normalizeSlashes(sceneDirectory);
  if (!cutLastComponent(sceneDirectory)) sceneDirectory = platform::currentDirectory();
  std::vector<std::string> folders;
  const std::string beside = absoluteFolder(sceneDirectory);
  if (!beside.empty()) folders.push_back(beside);
  const std::string project = absoluteFolder(sceneDirectory + "\\..");
  if (!project.empty()) {
    folders.push_back(project);
    std::string kindFolder = forScene ? "scenes" : "sourceimages";
    joinDirectory(project, kindFolder);
    folders.push_back(kindFolder);
  }
  return folders;
}

bool locateElsewhere(const std::string& namingScene, std::string& entry, const std::string& recorded, bool forScene) {
  // A name the run may not stage is refused as it was recorded (and on
  // Windows a device name would open anywhere).
  const std::string name(baseName(entry));
  if (!isStageableName(name)) return false;
  for (const std::string& folder : fallbackFolders(namingScene, forScene)) {
    std::string candidate = name;
    joinDirectory(folder, candidate);
    if (!platform::fileOpens(candidate, "r")) continue;
    sayFoundElsewhere(recorded, candidate);
    entry = candidate;
    return true;
  }
  return false;
}

bool locateBesideScene(const std::string& namingScene, const std::string& recorded, std::string& entry) {
  if (followedFormatOfName(recorded) != FollowedFormat::kXgen || !isRelativePath(recorded)) return false;
  std::string sceneDirectory = namingScene;
  normalizeSlashes(sceneDirectory);
  if (!cutLastComponent(sceneDirectory)) sceneDirectory = platform::currentDirectory();
  const std::string beside = absoluteFolder(sceneDirectory);
  if (beside.empty()) return false;
  std::string candidate = recorded;
  joinDirectory(beside, candidate);
  if (!platform::fileOpens(candidate, "r")) return false;
  entry = candidate;
  return true;
}

bool locateCacheFolder(const std::string& namingScene, std::string& entry, const std::string& recorded,
                       const std::string& cacheName) {
  cutTrailingSeparators(entry);
  if (platform::enteredFolderPath(entry)) return true;
  const std::string name(folderBaseName(entry));
  const auto use = [&](const std::string& folder) {
    sayFoundElsewhere(recorded, folder);
    entry = folder;
    return true;
  };
  const std::vector<std::string> folders = fallbackFolders(namingScene, false);
  if (isStageableName(name)) {
    for (const std::string& folder : folders) {
      std::string candidate = name;
      joinDirectory(folder, candidate);
      if (platform::enteredFolderPath(candidate)) return use(candidate);
    }
  }
  // Its place in the project of the machine that saved it, in this
  // project (the second fallback folder): the path's last components,
  // longest first (`D:\shows\x\cache\bif\liq`: `cache\bif\liq` in it).
  if (folders.size() > 1) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= entry.size();) {
      const std::size_t next = std::min(entry.find('\\', at), entry.size());
      parts.push_back(entry.substr(at, next - at));
      at = next + 1;
    }
    for (std::size_t first = 1; first + 1 < parts.size(); ++first) {
      std::string tail;
      bool plain = true;
      for (std::size_t i = first; i < parts.size(); ++i) {
        plain = plain && isStageableName(parts[i]);
        tail += (i == first ? "" : "\\") + parts[i];
      }
      if (!plain) continue;
      joinDirectory(folders[1], tail);
      if (platform::enteredFolderPath(tail)) return use(tail);
    }
  }
  // The description beside the scene and in the project: the first two
  // fallback folders.
  const std::string description = cacheName + ".xml";
  if (cacheName.empty() || !isStageableName(description)) return false;
  for (std::size_t i = 0; i < folders.size() && i < 2; ++i) {
    std::string candidate = description;
    joinDirectory(folders[i], candidate);
    if (platform::fileOpens(candidate, "r")) return use(folders[i]);
  }
  return false;
}
