#pragma once
// Files for tests: a fresh temp folder removed with all in it, whole-file
// reads and writes, a change of folder for a scope.

#include <filesystem>
#include <string>
#include <vector>

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// A path as the program stores it: every '/' turned into '\'.
std::string windowsForm(std::string path);

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string at(const std::string& relative) const { return path_ + "/" + relative; }
  std::string write(const std::string& relative, const std::string& bytes) const;  // creates folders; the path
  std::string makeDir(const std::string& relative) const;
  std::vector<std::string> list(const std::string& relative = "") const;  // the names in a folder, sorted

 private:
  std::string path_;
};

class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& path);
  ~ScopedCurrentDirectory();

 private:
  std::filesystem::path previous_ = std::filesystem::current_path();
};
