#include "names/comparison_key.h"

std::string comparisonKey(const std::string& name) {
#ifdef _WIN32
  std::string key = name;
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
#else
  return name;
#endif
}
