#pragma once
// The names that files take in the working folder in one run. Names are
// compared as the render nodes compare them, letter case aside.

#include <map>
#include <string>

class StagedNames {
 public:
  // `name` is taken by the file known by `key`, unless another took it.
  void claim(const std::string& name, const std::string& key);
  // True when no file but the one known by `key` took `name`.
  bool freeFor(const std::string& name, const std::string& key) const;

 private:
  std::map<std::string, std::string> owners_;
};

// The `number`th name for files of the name `name`: the name itself first,
// then "2~" + it, "3~" + it, ... (a leading "~" is not doubled). The
// extension and any tokens are kept.
std::string numberedName(const std::string& name, int number);
