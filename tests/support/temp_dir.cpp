#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// Names are UTF-8 in the tests' strings on every platform; on Windows the
// file system's names are UTF-16, so every conversion says which it is.
fs::path pathOf(const std::string& utf8) { return fs::u8path(utf8); }

}  // namespace

TempDir::TempDir() {
  static std::mt19937_64 random{std::random_device{}()};
  fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("vantle-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = fs::canonical(candidate).generic_u8string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temp folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Permission tests may leave read-only folders behind. No exception may
  // leave a destructor: the walk reports its errors, it does not throw them.
  std::error_code walk;
  for (fs::recursive_directory_iterator entry(pathOf(path_), walk), end; !walk && entry != end;
       entry.increment(walk)) {
    fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(pathOf(path_), ignored);
}

std::string TempDir::write(const std::string& relative, const std::string& bytes) const {
  fs::path target = pathOf(path_) / pathOf(relative);
  fs::create_directories(target.parent_path());
  writeFile(target.u8string(), bytes);
  return target.generic_u8string();
}

std::string TempDir::makeDir(const std::string& relative) const {
  fs::path target = pathOf(path_) / pathOf(relative);
  fs::create_directories(target);
  return target.generic_u8string();
}

bool TempDir::exists(const std::string& relative) const {
  return fs::exists(fs::symlink_status(pathOf(path_) / pathOf(relative)));
}

std::vector<std::string> TempDir::list(const std::string& relative) const {
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(pathOf(path_) / pathOf(relative))) {
    names.push_back(entry.path().filename().u8string());
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
    : previous_(fs::current_path().u8string()) {
  fs::current_path(pathOf(path));
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  std::error_code ignored;
  fs::current_path(pathOf(previous_), ignored);
}
