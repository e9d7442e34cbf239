#include "names/comparison_key.h"

#include <cctype>

std::string comparisonKey(const std::string& name) {
#ifdef _WIN32
  return caseFolded(name);
#else
  return name;
#endif
}

std::string caseFolded(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

bool endsWithFolded(std::string_view text, std::string_view extension) {
  if (text.size() < extension.size()) return false;
  const std::string_view end = text.substr(text.size() - extension.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(end[i])) != extension[i]) return false;
  }
  return true;
}
