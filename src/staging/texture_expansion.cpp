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
std::vector<std::string> expandEntry(const std::string& entry, const DependencyFacts& facts) {
  const std::string name(baseName(entry));
  const std::optional<NamePattern> pattern = NamePattern::of(name, facts.tiling, facts.frames);
  if (!pattern) return {entry};
  std::string folder = entry;
  if (!cutLastComponent(folder)) folder = platform::currentDirectory();
  std::vector<std::string> files = matchingFiles(folder, *pattern);
  if (!files.empty()) return files;
  for (const std::string& other : SceneJob::fallbackFolders(facts.scenePath, false)) {
    files = matchingFiles(other, *pattern);
    if (files.empty()) continue;
    std::string used = name;
    joinDirectory(other, used);
    // Named as recorded, as a single file found elsewhere is.
    const std::string& recorded = facts.recorded.empty() ? entry : facts.recorded;
    std::printf("File '%s' not found; using '%s'.\n", recorded.c_str(), used.c_str());
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

void expandTextures(SceneJob& job) {
  std::vector<std::string> textures;
  std::vector<DependencyFacts> facts;
  // The names that stand on the transfer list in place of an entry's one.
  std::map<std::size_t, std::vector<std::string>> transferInstead;
  // A texture named many times is looked at once: nothing is written while
  // the entries are expanded.
  std::map<std::string, std::string> siblings;
  for (std::size_t i = 0; i < job.textureFiles.size(); ++i) {
    const std::string& entry = job.textureFiles[i];
    if (i < job.textureFacts.size()) {
      job.textureFacts[i].resolved = entry;
      job.textureFacts[i].entry = i;
    }
    DependencyFacts entryFacts = i < job.textureFacts.size() ? job.textureFacts[i] : DependencyFacts{};
    std::vector<std::string> files;
    for (const std::string& file : expandEntry(entry, entryFacts)) {
      files.push_back(file);
      auto known = siblings.find(file);
      if (known == siblings.end()) known = siblings.emplace(file, preparedSibling(file)).first;
      if (!known->second.empty()) files.push_back(known->second);
    }
    // A pattern that matched nothing fails the run when it is staged; its
    // name is none a file can have on the render nodes.
    if (files.empty()) {
      entryFacts.unmatched = true;
      textures.push_back(entry);
      facts.push_back(entryFacts);
      if (i < job.textureFacts.size()) transferInstead[entryFacts.transferIndex] = {};
      continue;
    }
    const bool same = files.size() == 1 && files[0] == entry;
    std::vector<std::string> names;
    for (std::string& file : files) {
      names.emplace_back(baseName(file));
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
