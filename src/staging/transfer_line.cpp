#include "staging/transfer_line.h"

#include <algorithm>

#include "names/base_name.h"
#include "staging/particle_staging.h"

namespace {

// The entries one dependency gives; `own`: the command-line scene named it.
// A file that followed files name is listed once, under its staged name,
// as is a cache folder.
void addEntries(const Dependency& named, bool own, std::vector<std::string>& line) {
  // A cache folder is sent whole, once however many nodes name it; one
  // that stands for no file, not at all.
  if (named.cache && named.expanded) {
    if (!named.matchedNothing && isParticleCache(*named.cache)) return addParticleTransferEntries(line);
    if (!named.matchedNothing && !named.files.empty() &&
        std::find(line.begin(), line.end(), named.transferName) == line.end()) {
      line.push_back(named.transferName);
    }
    return;
  }
  if (named.kind == DependencyKind::kTexture && named.expanded) {
    if (named.matchedNothing) return;
    if (named.namedByFile) {
      for (const DependencyFile& file : named.files) {
        const std::string name = nameInWorkingFolder(file);
        if (std::find(line.begin(), line.end(), name) == line.end()) line.push_back(name);
      }
      return;
    }
    const bool itself = named.files.size() == 1 && named.files[0].path == named.resolved;
    if (!itself) {
      for (const DependencyFile& file : named.files) line.push_back(nameInWorkingFolder(file));
      return;
    }
  }
  line.push_back(own ? named.transferName : handedOnTransferName(named.kind, named.resolved));
}

}  // namespace

std::vector<std::string> transferLine(const DependencyList& found) {
  std::vector<std::string> line;
  std::size_t branches = 0;
  for (const Dependency& named : found.items()) {
    if (named.branch == 0) addEntries(named, true, line);
    branches = std::max(branches, named.branch);
  }
  for (std::size_t branch = 1; branch <= branches; ++branch) {
    for (const DependencyKind kind : {DependencyKind::kTexture, DependencyKind::kScene}) {
      for (const Dependency& named : found.items()) {
        if (named.branch == branch && named.kind == kind) addEntries(named, false, line);
      }
    }
  }
  return line;
}
