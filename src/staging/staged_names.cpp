#include "staging/staged_names.h"

#include "names/comparison_key.h"

void StagedNames::claim(const std::string& name, const std::string& key) { owners_.emplace(caseFolded(name), key); }

bool StagedNames::freeFor(const std::string& name, const std::string& key) const {
  const auto owner = owners_.find(caseFolded(name));
  return owner == owners_.end() || owner->second == key;
}

std::string numberedName(const std::string& name, int number) {
  if (number <= 1) return name;
  const bool copy = !name.empty() && name[0] == '~';
  return std::to_string(number) + "~" + name.substr(copy ? 1 : 0);
}
