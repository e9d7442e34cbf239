#include "scene/scene_identity.h"

#include <vector>

#include "names/windows_path.h"
#include "platform/platform.h"

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The part of an absolute path that ".." cannot climb above.
std::string rootOf(const std::string& path) {
  if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\') return path.substr(0, 3);
  if (path.compare(0, 2, "\\\\") == 0) return "\\\\";
  if (!path.empty() && path[0] == '\\') return "\\";
  return "";
}

}  // namespace

std::string makeAbsoluteScenePath(const std::string& path) {
  std::string absolute = path;
  normalizeSlashes(absolute);
  if (isRelativePath(absolute)) joinDirectory(platform::currentDirectory(), absolute);

  const std::string root = rootOf(absolute);
  std::vector<std::string> steps;
  std::size_t start = root.size();
  while (start <= absolute.size()) {
    std::size_t end = absolute.find('\\', start);
    if (end == std::string::npos) end = absolute.size();
    std::string step = absolute.substr(start, end - start);
    if (step == "..") {
      if (!steps.empty() && steps.back() != "..") {
        steps.pop_back();
      } else if (root.empty()) {
        steps.push_back(step);
      }
    } else if (!step.empty() && step != ".") {
      steps.push_back(step);
    }
    start = end + 1;
  }

  std::string normal = root;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (i > 0) normal += '\\';
    normal += steps[i];
  }
  return normal;
}
