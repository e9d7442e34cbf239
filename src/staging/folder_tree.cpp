#include "staging/folder_tree.h"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "names/comparison_key.h"
#include "names/windows_path.h"
#include "platform/platform.h"
#include "staging/cache_expansion.h"

namespace {

// The files below `folder`, staged under `inside`; `entered`: the folders
// entered so far, as the system names them.
void addFiles(const std::string& folder, const std::string& inside, Dependency& named,
              std::set<std::string>& entered) {
  for (const std::string& name : sortedFolderNames(folder)) {
    std::string path = name;
    joinDirectory(folder, path);
    const std::string staged = inside + "\\" + name;
    if (platform::fileOpens(path, "r")) {
      named.files.push_back({path, FileStatus::kPending, staged});
      continue;
    }
    const std::optional<std::string> real = platform::enteredFolderPath(path);
    if (real && entered.insert(comparisonKey(*real)).second) addFiles(path, staged, named, entered);
  }
}

}  // namespace

void expandFolderTree(Dependency& named) {
  named.files.clear();
  named.expanded = true;
  std::set<std::string> entered;
  if (const std::optional<std::string> real = platform::enteredFolderPath(named.resolved)) {
    entered.insert(comparisonKey(*real));
  }
  addFiles(named.resolved, named.transferName, named, entered);
}

void makeFoldersOf(const std::string& name) {
  for (std::size_t end = name.find('\\'); end != std::string::npos; end = name.find('\\', end + 1)) {
    platform::makeDirectory(name.substr(0, end));
  }
}
