#include "platform/platform.h"

#include <direct.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <windows.h>

namespace platform {

std::string systemPath(const std::string& path) { return path; }

std::FILE* openFile(const std::string& path, const char* mode) {
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (file == nullptr) return nullptr;
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFDIR) != 0) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

bool fileOpens(const std::string& path, const char* mode) {
  std::FILE* file = openFile(path, mode);
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool seekTo(std::FILE* file, std::int64_t offset, int whence) {
  return _fseeki64(file, offset, whence) == 0;
}

std::int64_t tellPosition(std::FILE* file) { return _ftelli64(file); }

std::string currentDirectory() {
  char* name = _getcwd(nullptr, 0);
  if (name == nullptr) return std::string();
  std::string result(name);
  free(name);
  return result;
}

bool changeDirectory(const std::string& path) { return _chdir(path.c_str()) == 0; }

namespace {

bool fileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BOOL ok = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  return ok != 0;
}

}  // namespace

bool sameFile(const std::string& first, const std::string& second) {
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  if (!fileIdentity(first, a) || !fileIdentity(second, b)) return false;
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

int runCommand(const std::string& commandLine) {
  // system() starts the interpreter named by COMSPEC with "/c" and returns
  // the command's exit status, or -1 when no interpreter could be started.
  return std::system(commandLine.c_str());
}

const char* environmentValue(const char* name) { return std::getenv(name); }

}  // namespace platform
