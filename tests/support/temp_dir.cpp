#include "support/temp_dir.h"

#include <algorithm>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

// Test strings hold UTF-8 names on every platform.
static fs::path pathOf(const std::string& utf8) { return fs::u8path(utf8); }

TempDir::TempDir() {
  static std::mutex drawing;  // runs started from several threads make their folders at once
  static std::mt19937_64 random{std::random_device{}()};
  std::uint64_t number;
  {
    const std::lock_guard<std::mutex> hold(drawing);
    number = random();
  }
  const fs::path made = fs::temp_directory_path() / ("vantle-test-" + std::to_string(number));
  fs::create_directory(made);
  path_ = fs::canonical(made).generic_u8string();
}

TempDir::~TempDir() {
  std::error_code walk, ignored;  // a destructor must not throw
  // Fault tests leave read-only folders behind.
  for (fs::recursive_directory_iterator entry(pathOf(path_), walk), end; !walk && entry != end; entry.increment(walk)) {
    if (!entry->is_symlink()) fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(pathOf(path_), ignored);
}

std::string TempDir::write(const std::string& relative, const std::string& bytes) const {
  fs::create_directories(pathOf(at(relative)).parent_path());
  writeFile(at(relative), bytes);
  return at(relative);
}

std::string TempDir::makeDir(const std::string& relative) const {
  fs::create_directories(pathOf(at(relative)));
  return at(relative);
}

std::vector<std::string> TempDir::list(const std::string& relative) const {
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(pathOf(at(relative)))) names.push_back(entry.path().filename().u8string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string readFile(const std::string& path) {
  std::ifstream in(pathOf(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string windowsForm(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& path) { fs::current_path(pathOf(path)); }

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
}
