#include "platform/platform.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace platform {

std::string systemPath(const std::string& path) {
  std::string converted = path;
  for (char& c : converted) {
    if (c == '\\') c = '/';
  }
  return converted;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  // Opening a named pipe waits for its other end, which may never come:
  // the program would hang. No pipe or socket is a file we can use.
  const std::string name = systemPath(path);
  struct stat named;
  if (stat(name.c_str(), &named) == 0 && (S_ISFIFO(named.st_mode) || S_ISSOCK(named.st_mode))) {
    errno = ENXIO;
    return nullptr;
  }
  std::FILE* file = std::fopen(name.c_str(), mode);
  if (file == nullptr) return nullptr;
  struct stat info;
  if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    errno = EISDIR;
    return nullptr;
  }
  return file;
}

bool seekTo(std::FILE* file, std::int64_t offset, int whence) {
  return fseeko(file, static_cast<off_t>(offset), whence) == 0;
}

std::int64_t tellPosition(std::FILE* file) {
  return static_cast<std::int64_t>(ftello(file));
}

std::string currentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

bool changeDirectory(const std::string& path) {
  return chdir(systemPath(path).c_str()) == 0;
}

bool sameFile(const std::string& first, const std::string& second) {
  struct stat a;
  struct stat b;
  if (stat(systemPath(first).c_str(), &a) != 0) return false;
  if (stat(systemPath(second).c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool removeFile(const std::string& path) {
  // Only files and links are ever ours to remove, never a device.
  struct stat info;
  const std::string name = systemPath(path);
  if (lstat(name.c_str(), &info) != 0) return false;
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) return false;
  return unlink(name.c_str()) == 0;
}

int runCommand(const std::string& commandLine) {
  int status = std::system(commandLine.c_str());
  if (status == -1) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return status == 0 ? 0 : -1;
}

std::vector<std::string> listFolder(const std::string& path) {
  std::vector<std::string> names;
  DIR* folder = opendir(systemPath(path).c_str());
  if (folder == nullptr) return names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(folder);
  return names;
}

const char* environmentValue(const char* name) { return std::getenv(name); }

}  // namespace platform
