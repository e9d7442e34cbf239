#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::mt19937_64 random{std::random_device{}()};
  fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("vantle-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = fs::canonical(candidate).generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temp folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Permission tests may leave read-only folders behind.
  for (auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& relative, const std::string& bytes) const {
  fs::path target = fs::path(path_) / relative;
  fs::create_directories(target.parent_path());
  writeFile(target.string(), bytes);
  return target.generic_string();
}

std::string TempDir::makeDir(const std::string& relative) const {
  fs::path target = fs::path(path_) / relative;
  fs::create_directories(target);
  return target.generic_string();
}

bool TempDir::exists(const std::string& relative) const {
  return fs::exists(fs::symlink_status(fs::path(path_) / relative));
}

std::vector<std::string> TempDir::list(const std::string& relative) const {
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(fs::path(path_) / relative)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& path)
    : previous_(fs::current_path().string()) {
  fs::current_path(path);
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
}
