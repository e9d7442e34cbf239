#include "platform/platform.h"

#include <direct.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdlib>
#include <cwchar>

// Paths reach this module in the program's 8-bit strings, in the code page
// of the process: UTF-8, which the executable's manifest asks for. They are
// handed to the system's wide-character functions, which, unlike their
// 8-bit twins, take folder names longer than MAX_PATH wherever the system
// allows them. The text of a path is never changed: no separator, no
// drive letter, nothing but its encoding.

namespace platform {

namespace {

std::wstring wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
  return result;
}

std::string narrow(const wchar_t* text) {
  int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], length, nullptr, nullptr);
  result.resize(static_cast<std::size_t>(length - 1));  // without the terminator
  return result;
}

}  // namespace

std::string systemPath(const std::string& path) { return path; }

std::FILE* openFile(const std::string& path, const char* mode) {
  std::FILE* file = _wfopen(wide(path).c_str(), wide(mode).c_str());
  if (file == nullptr) return nullptr;
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFDIR) != 0) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

bool seekTo(std::FILE* file, std::int64_t offset, int whence) {
  return _fseeki64(file, offset, whence) == 0;
}

std::int64_t tellPosition(std::FILE* file) { return _ftelli64(file); }

std::string currentDirectory() {
  // The length asked for first includes the terminator.
  DWORD length = GetCurrentDirectoryW(0, nullptr);
  while (length > 0) {
    std::wstring name(length, L'\0');
    DWORD written = GetCurrentDirectoryW(length, &name[0]);
    if (written == 0) break;
    if (written < length) return narrow(name.c_str());
    length = written;  // the folder changed between the two calls
  }
  return std::string();
}

std::optional<std::string> enteredFolderPath(const std::string& folder) {
  const std::wstring name = wide(folder);
  if (name.empty()) return std::nullopt;
  DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  std::wstring full;
  while (length > 0) {
    full.assign(length, L'\0');
    const DWORD written = GetFullPathNameW(name.c_str(), length, &full[0], nullptr);
    if (written == 0) return std::nullopt;
    if (written < length) {
      full.resize(written);
      break;
    }
    length = written;
  }
  if (full.empty()) return std::nullopt;
  const DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
  // The current directory ends in a separator only at a drive's root.
  const bool driveRoot = full.size() == 3 && full[1] == L':';
  if (!driveRoot && full.size() > 1 && full.back() == L'\\') full.pop_back();
  return narrow(full.c_str());
}

namespace {

bool fileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE handle = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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

// Files only: _wremove refuses folders, and devices are no files.
bool removeFile(const std::string& path) { return _wremove(wide(path).c_str()) == 0; }

bool replaceable(const std::string& path) {
  const std::wstring name = wide(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
  HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(handle);
  return true;
}

FileHandle fileHandle(std::FILE* file) { return static_cast<FileHandle>(_get_osfhandle(_fileno(file))); }

bool syncFile(FileHandle file) { return FlushFileBuffers(reinterpret_cast<HANDLE>(file)) != 0; }

// The system's lazy writer starts soon enough on its own.
void startWriteback(FileHandle) {}

// The console's control handler runs on a thread of its own.
void keepInterruptionsAway() {}

// The C runtime's handles are synchronous: the system runs one call on
// such a handle at a time, so a flush on another thread would hold up the
// writer instead of working beside it. A file is flushed once, at its end.
bool syncsOnAThread() { return false; }

bool renameFile(const std::string& from, const std::string& to) {
  return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::vector<std::string> listDirectory(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wide(path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = narrow(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

bool makeDirectory(const std::string& path) {
  const std::wstring name = wide(path);
  if (CreateDirectoryW(name.c_str(), nullptr) != 0) return true;
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

long processId() { return static_cast<long>(GetCurrentProcessId()); }

LockResult tryLockFile(const std::string& path, FileLock& lock) {
  // Shared with nobody, the open handle is the lock, on local disks and
  // shares alike; the file goes when the handle closes, also when the
  // process is ended from outside.
  const std::wstring name = wide(path);
  HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    lock.handle = reinterpret_cast<std::intptr_t>(handle);
    return LockResult::kTaken;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return LockResult::kBusy;
  // A lock file whose removal is pending refuses every open for a moment.
  if (error == ERROR_ACCESS_DENIED && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return LockResult::kBusy;
  }
  return LockResult::kUnavailable;
}

void releaseLockFile(const std::string&, FileLock& lock) {
  if (lock.handle == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(lock.handle));  // removes the file
  lock.handle = -1;
}

void sleepMilliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

namespace {

volatile LONG interruptEvent = 0;

BOOL WINAPI recordInterruption(DWORD event) {
  InterlockedExchange(&interruptEvent, 1);
  // When the console closes, the system ends the process as soon as this
  // returns: wait here while the run removes its temporary files and
  // returns from main, which ends this thread too.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) Sleep(10000);
  return TRUE;
}

}  // namespace

void catchInterruptions() { SetConsoleCtrlHandler(recordInterruption, TRUE); }

bool interrupted() { return InterlockedCompareExchange(&interruptEvent, 0, 0) != 0; }

// STATUS_CONTROL_C_EXIT, the status of a console program ended by Ctrl+C.
int interruptedExitStatus() { return static_cast<int>(0xC000013AUL); }

int runCommand(const std::string& commandLine) {
  // system() starts the interpreter named by COMSPEC (cmd.exe) with "/c"
  // and returns the command's exit status, or -1 when no interpreter could
  // be started. Ctrl+C reaches the command as well as this process, whose
  // handler records it.
  return std::system(commandLine.c_str());
}

namespace {

struct CopyProgress {
  const std::function<bool(std::int64_t)>* keepGoing;
  bool stopped;
};

DWORD CALLBACK reportCopyProgress(LARGE_INTEGER, LARGE_INTEGER done, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                  HANDLE, HANDLE, LPVOID data) {
  auto* progress = static_cast<CopyProgress*>(data);
  if ((*progress->keepGoing)(done.QuadPart)) return PROGRESS_CONTINUE;
  progress->stopped = true;
  return PROGRESS_CANCEL;
}

}  // namespace

SystemCopy copyBySystem(const std::string& source, const std::string& destination,
                        const std::function<bool(std::int64_t)>& keepGoing) {
  // The system's copy clones blocks where the volume can (ReFS) and
  // otherwise copies in the kernel's own large pieces.
  CopyProgress progress{&keepGoing, false};
  const std::wstring to = wide(destination);
  if (CopyFileExW(wide(source).c_str(), to.c_str(), reportCopyProgress, &progress, nullptr, 0) == 0) {
    return progress.stopped ? SystemCopy::kStopped : SystemCopy::kFailed;
  }
  // The copy takes the source's attributes; a read-only texture would give
  // a file that the next run cannot replace.
  const DWORD attributes = GetFileAttributesW(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(to.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  // On the disk before the copy takes its name, as the stream's files are.
  HANDLE file = CreateFileW(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SystemCopy::kFailed;
  LARGE_INTEGER size{};
  const BOOL flushed = FlushFileBuffers(file) && GetFileSizeEx(file, &size);
  CloseHandle(file);
  if (flushed == 0) return SystemCopy::kFailed;
  // Not every system reports progress while it copies; the end is told here
  // in any case.
  return keepGoing(size.QuadPart) ? SystemCopy::kDone : SystemCopy::kStopped;
}

// Windows has no call that appends part of one open file to another; the
// stream writes those bytes itself.
RangeCopy copyFileRange(std::FILE*, std::int64_t, std::FILE*, std::int64_t) {
  RangeCopy result;
  result.unsupported = true;
  return result;
}

const char* environmentValue(const char* name) { return std::getenv(name); }

std::int64_t monotonicMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

bool standardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void showStatusLine(const std::string& text) {
  // The console keeps the line's cells: the old text is overwritten with
  // blanks as wide as the console's line allows.
  static std::size_t shown = 0;
  const std::wstring line = wide(text);
  std::wstring out = L"\r" + line;
  if (line.size() < shown) out += std::wstring(shown - line.size(), L' ') + L"\r" + line;
  shown = line.size();
  DWORD written = 0;
  WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), out.c_str(), static_cast<DWORD>(out.size()), &written, nullptr);
}

}  // namespace platform
