#include "platform/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
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

bool replaceable(const std::string& path) {
  const std::string name = systemPath(path);
  struct stat info;
  if (stat(name.c_str(), &info) != 0) return errno == ENOENT;
  if (!S_ISREG(info.st_mode)) return false;
  const int fd = open(name.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool syncFile(std::FILE* file) { return fsync(fileno(file)) == 0; }

bool renameFile(const std::string& from, const std::string& to) {
  return std::rename(systemPath(from).c_str(), systemPath(to).c_str()) == 0;
}

std::vector<std::string> listDirectory(const std::string& path) {
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

long processId() { return static_cast<long>(getpid()); }

LockResult tryLockFile(const std::string& path, FileLock& lock) {
  const std::string name = systemPath(path);
  for (;;) {
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return LockResult::kUnavailable;
    // fcntl locks, unlike flock, hold on network shares too.
    struct flock wanted = {};
    wanted.l_type = F_WRLCK;
    wanted.l_whence = SEEK_SET;
    if (fcntl(fd, F_SETLK, &wanted) != 0) {
      const int error = errno;
      ::close(fd);
      return error == EACCES || error == EAGAIN ? LockResult::kBusy : LockResult::kUnavailable;
    }
    // The run before us may have removed the file between our open and our
    // lock: a lock on a file no longer at that name guards nothing.
    struct stat held;
    struct stat named;
    if (fstat(fd, &held) == 0 && stat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      lock.handle = fd;
      return LockResult::kTaken;
    }
    ::close(fd);
  }
}

void releaseLockFile(const std::string& path, FileLock& lock) {
  if (lock.handle < 0) return;
  unlink(systemPath(path).c_str());
  ::close(static_cast<int>(lock.handle));
  lock.handle = -1;
}

void sleepMilliseconds(int milliseconds) {
  struct timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  nanosleep(&pause, nullptr);  // a signal ends it early, which is what we want
}

namespace {

volatile std::sig_atomic_t interruptSignal = 0;

extern "C" void recordInterruption(int signal) { interruptSignal = signal; }

}  // namespace

void catchInterruptions() {
  struct sigaction action = {};
  action.sa_handler = recordInterruption;
  sigemptyset(&action.sa_mask);
  // Reads and writes go on where a signal met them; the run stops itself
  // at the next block.
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal ignored when we started (nohup, a background job of a
    // script) stays ignored.
    struct sigaction before;
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

bool interrupted() { return interruptSignal != 0; }

int interruptedExitStatus() { return 128 + SIGINT; }

int runCommand(const std::string& commandLine) {
  // system() ignores SIGINT here while it waits: Ctrl+C at the terminal
  // reaches the command, and we learn of it from how the command ended.
  int status = std::system(commandLine.c_str());
  if (status == -1) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) interruptSignal = SIGINT;
  return status == 0 ? 0 : -1;
}

const char* environmentValue(const char* name) { return std::getenv(name); }

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void showStatusLine(const std::string& text) {
  // Back to the line's start, the text, and the rest of the line erased.
  const std::string line = "\r" + text + "\033[K";
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
    if (n <= 0 && errno != EINTR) return;
    if (n > 0) done += static_cast<std::size_t>(n);
  }
}

}  // namespace platform
