#include "staging/bifrost_expansion.h"

#include <set>
#include <string>
#include <vector>

#include "caches/bifrost_cache.h"
#include "names/windows_path.h"
#include "platform/platform.h"
#include "staging/cache_expansion.h"

namespace {

// The names of the files in the folder's object folders, each as
// `<object>\<name>`, object by object, each in the order files are staged.
std::vector<std::string> objectFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const std::string& object : sortedFolderNames(folder)) {
    std::string objectFolder = object;
    joinDirectory(folder, objectFolder);
    if (!platform::enteredFolderPath(objectFolder)) continue;
    for (const std::string& name : sortedFolderNames(objectFolder)) names.push_back(object + "\\" + name);
  }
  return names;
}

}  // namespace

void expandBifrostCache(Dependency& named, FrameWindow rendered) {
  CacheReference& cache = *named.cache;
  named.files.clear();
  named.expanded = true;
  const std::string& folder = named.resolved;
  const std::vector<std::string> names = objectFiles(folder);
  const CacheSelection selection = selectBifrostFiles(names, rendered);
  std::set<std::int64_t> frames;
  for (const std::string& name : addSelectedFiles(named, selection.files)) frames.insert(*bifrostFrame(name));
  cache.framesInAll = selection.timesInAll;
  cache.framesStaged = frames.size();
}
