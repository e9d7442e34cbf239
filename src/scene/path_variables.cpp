#include "scene/path_variables.h"

#include "platform/platform.h"

namespace {

bool startsName(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool continuesName(char c) { return startsName(c) || (c >= '0' && c <= '9'); }

}  // namespace

std::string expandVariables(const std::string& path) {
  if (path.find('$') == std::string::npos) return path;
  std::string expanded;
  std::size_t i = 0;
  while (i < path.size()) {
    if (path[i] != '$') {
      expanded += path[i++];
      continue;
    }
    const bool braced = i + 1 < path.size() && path[i + 1] == '{';
    const std::size_t start = i + (braced ? 2 : 1);
    std::size_t end = start;
    if (end < path.size() && startsName(path[end])) {
      while (end < path.size() && continuesName(path[end])) ++end;
    }
    const bool named = end > start && (!braced || (end < path.size() && path[end] == '}'));
    const char* value = named ? platform::environmentValue(path.substr(start, end - start).c_str()) : nullptr;
    const std::size_t after = braced ? end + 1 : end;
    if (value == nullptr) {
      // Left as written, so the path that did not open is the one reported.
      expanded += path[i++];
      continue;
    }
    expanded += value;
    i = after;
  }
  return expanded;
}
