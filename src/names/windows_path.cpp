#include "names/windows_path.h"

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

void normalizeSlashes(std::string& path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
}

bool isRelativePath(const std::string& path) {
  const std::size_t start = path.find_first_not_of("\n\t \r");
  if (start == std::string::npos) return true;
  const char* p = path.c_str() + start;
  if (isLetter(p[0]) && p[1] == ':' && isSeparator(p[2])) return false;
  return !isSeparator(p[0]);
}

bool joinDirectory(const std::string& directory, std::string& entry) {
  if (!isRelativePath(entry)) return false;
  std::string joined = directory;
  if (joined.empty() || !isSeparator(joined.back())) joined += '\\';
  joined += entry;
  entry = std::move(joined);
  normalizeSlashes(entry);
  return true;
}

bool cutLastComponent(std::string& path) {
  const std::size_t last = path.rfind('\\');
  if (last == std::string::npos) return false;
  path.erase(last);
  return true;
}

void cutTrailingSeparators(std::string& path) {
  const std::size_t end = path.find_last_not_of('\\');
  path.erase(end == std::string::npos ? 0 : end + 1);
}
