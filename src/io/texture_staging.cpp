#include "io/texture_staging.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "io/file_copy.h"
#include "job/run_stop.h"
#include "job/scene_job.h"
#include "platform/platform.h"
#include "scene/base_name.h"
#include "scene/name_pattern.h"
#include "scene/scene_identity.h"

namespace {

struct StagedName {
  std::string source;       // the first texture of the run with this name
  bool presentBeforeRun;  // the user put a file of this name there already
};

// Two textures flattened to one name render with one image: acceptable
// only when they are the same image, or when the user chose the file.
void checkCollision(const StagedName& earlier, const std::string& texture, const std::string& name) {
  if (earlier.presentBeforeRun || comparisonKey(earlier.source) == comparisonKey(texture)) return;
  if (sameContents(earlier.source, texture)) return;
  std::printf("ERROR: '%s' and '%s' would both be copied to '%s'.\n", earlier.source.c_str(),
              texture.c_str(), name.c_str());
  throw RunStop(exit_status::kFailure);
}

void stageOne(SceneJob& job, std::map<std::string, StagedName>& staged, const std::string& texture) {
  const std::string name(baseName(texture));
  const bool present = platform::fileOpens(name, "r");
  const auto [known, first] = staged.try_emplace(comparisonKey(name), StagedName{texture, present});
  if (!first) checkCollision(known->second, texture, name);

  if (present) {
    std::printf("File '%s' found in current directory.\n", name.c_str());
    return;
  }
  if (job.dryRun && platform::fileOpens(texture, "r")) {
    std::printf("File '%s' would be copied to current directory.\n", name.c_str());
  } else if (job.dryRun) {
    std::printf("ERROR: Unable to copy '%s' to '%s'\n", texture.c_str(), name.c_str());
    ++job.missingDependencies;
  } else if (copyFile(texture, name) == 1) {
    std::printf("File '%s' copied to current directory.\n", name.c_str());
  }
}

// The files in `folder` that `pattern` stands for, in byte order of their
// names (letter case aside where the system's names ignore it).
std::vector<std::string> matchingFiles(const std::string& folder, const NamePattern& pattern) {
  std::vector<std::string> names;
  for (std::string& name : platform::listFolder(folder)) {
    if (pattern.matches(name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string keyA = comparisonKey(a), keyB = comparisonKey(b);
    return keyA != keyB ? keyA < keyB : a < b;
  });
  std::vector<std::string> files;
  for (std::string& name : names) {
    SceneJob::joinDirectory(folder, name);
    if (platform::fileOpens(name, "r")) files.push_back(std::move(name));
  }
  return files;
}

// The files an entry stands for: itself, unless its name is a pattern that
// matches files in its folder or, failing that, in the folders where a
// file from another machine is looked for.
std::vector<std::string> expandEntry(const std::string& entry, const DependencyFacts& facts) {
  const std::string name(baseName(entry));
  const std::optional<NamePattern> pattern = NamePattern::of(name, facts.tiling, facts.frames);
  if (!pattern) return {entry};
  std::string folder = entry;
  if (!SceneJob::cutLastComponent(folder)) folder = platform::currentDirectory();
  std::vector<std::string> files = matchingFiles(folder, *pattern);
  if (!files.empty()) return files;
  for (const std::string& other : SceneJob::fallbackFolders(facts.scenePath, false)) {
    files = matchingFiles(other, *pattern);
    if (files.empty()) continue;
    std::string used = name;
    SceneJob::joinDirectory(other, used);
    std::printf("File '%s' not found; using '%s'.\n", entry.c_str(), used.c_str());
    return files;
  }
  return {entry};
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

void stageTextures(SceneJob& job) {
  std::map<std::string, StagedName> staged;
  std::vector<std::string> textures;
  std::vector<DependencyFacts> facts;
  // The names that stand on the transfer list in place of an entry's one.
  std::map<std::size_t, std::vector<std::string>> transferInstead;
  for (std::size_t i = 0; i < job.textureFiles.size(); ++i) {
    const std::string& entry = job.textureFiles[i];
    const DependencyFacts entryFacts = i < job.textureFacts.size() ? job.textureFacts[i] : DependencyFacts{};
    std::vector<std::string> files;
    for (const std::string& file : expandEntry(entry, entryFacts)) {
      files.push_back(file);
      std::string sibling = preparedSibling(file);
      if (!sibling.empty()) files.push_back(std::move(sibling));
    }
    for (const std::string& file : files) stageOne(job, staged, file);
    if (entryFacts.namesFurtherFiles) {
      std::printf("WARNING: files that '%s' names itself are not staged.\n", entry.c_str());
    }
    const bool same = files.size() == 1 && files[0] == entry;
    std::vector<std::string> names;
    for (std::string& file : files) {
      std::string name(baseName(file));
      SceneJob::normalizeSlashes(name);
      names.push_back(std::move(name));
      textures.push_back(std::move(file));
      facts.push_back(entryFacts);
    }
    if (!same && i < job.textureFacts.size()) transferInstead[entryFacts.transferIndex] = std::move(names);
  }
  if (transferInstead.empty()) return;
  job.textureFiles = std::move(textures);
  job.textureFacts = std::move(facts);
  std::vector<std::string> transfer;
  for (std::size_t k = 0; k < job.transferFiles.size(); ++k) {
    const auto instead = transferInstead.find(k);
    if (instead == transferInstead.end()) {
      transfer.push_back(std::move(job.transferFiles[k]));
    } else {
      for (std::string& name : instead->second) transfer.push_back(std::move(name));
    }
  }
  job.transferFiles = std::move(transfer);
}
