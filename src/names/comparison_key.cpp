#include "names/comparison_key.h"

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
