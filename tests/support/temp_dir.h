#pragma once
// A fresh folder under the system's temp directory, removed with
// everything in it when the object goes.

#include <string>
#include <vector>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // `relative` may name subfolders; they are created.
  std::string write(const std::string& relative, const std::string& bytes) const;
  std::string makeDir(const std::string& relative) const;
  std::string at(const std::string& relative) const { return path_ + "/" + relative; }
  bool exists(const std::string& relative) const;
  // Names of the entries directly in the folder (or a subfolder), sorted.
  std::vector<std::string> list(const std::string& relative = "") const;

 private:
  std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// Changes into a folder for the life of the object.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& path);
  ~ScopedCurrentDirectory();

 private:
  std::string previous_;
};
