#include "platform/platform.h"


#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#if defined(__linux__)
#include <linux/fs.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

std::optional<std::string> enteredFolderPath(const std::string& folder) {
  // What chdir asks of a folder: that it is one, and may be searched.
  // errno is left as chdir would leave it: the failing call's, or as it
  // was (a later message may still print it).
  const int before = errno;
  const std::string name = systemPath(folder);
  struct stat info;
  if (stat(name.c_str(), &info) != 0) return std::nullopt;
  if (!S_ISDIR(info.st_mode)) {
    errno = ENOTDIR;
    return std::nullopt;
  }
  if (access(name.c_str(), X_OK) != 0) return std::nullopt;
  char* resolved = realpath(name.c_str(), nullptr);
  if (resolved == nullptr) return std::nullopt;
  std::string path(resolved);
  std::free(resolved);
  errno = before;
  return path;
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

FileHandle fileHandle(std::FILE* file) { return fileno(file); }

bool syncFile(FileHandle file) { return fdatasync(static_cast<int>(file)) == 0; }

void startWriteback(FileHandle file) {
#if defined(__linux__)
  sync_file_range(static_cast<int>(file), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
  (void)file;
#endif
}

bool syncsOnAThread() { return true; }

void keepInterruptionsAway() {
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
}

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

bool makeDirectory(const std::string& path) {
  const std::string name = systemPath(path);
  if (mkdir(name.c_str(), 0777) == 0) return true;
  struct stat status;
  return errno == EEXIST && lstat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
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

namespace {

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  bool closeChecked() {
    const int result = ::close(fd);
    fd = -1;
    return result == 0;
  }
};

// Errors that say the kernel cannot copy between these two files, as
// opposed to a copy that went wrong.
bool unsupported(int error) {
  return error == ENOSYS || error == EXDEV || error == EINVAL || error == EOPNOTSUPP || error == EBADF ||
         error == ETXTBSY || error == EPERM;
}

#if defined(__linux__)
// Up to `count` bytes from `in` (at `*offset`, or at its position when
// null) to `out` at its position, by the kernel; fewer where `in` ends.
RangeCopy copyRange(int in, loff_t* offset, int out, std::int64_t count) {
  RangeCopy result;
  while (result.copied < count) {
    const ssize_t n = copy_file_range(in, offset, out, nullptr, static_cast<std::size_t>(count - result.copied), 0);
    if (n < 0) {
      if (result.copied == 0 && unsupported(errno)) {
        result.unsupported = true;
      } else {
        result.failed = true;
      }
      return result;
    }
    if (n == 0) break;
    result.copied += n;
  }
  return result;
}
#endif

}  // namespace

SystemCopy copyBySystem(const std::string& source, const std::string& destination,
                        const std::function<bool(std::int64_t)>& keepGoing) {
#if defined(__linux__)
  Descriptor in{::open(systemPath(source).c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) return SystemCopy::kFailed;
  struct stat info;
  if (fstat(in.fd, &info) != 0 || !S_ISREG(info.st_mode)) return SystemCopy::kUnsupported;
  Descriptor out{::open(systemPath(destination).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
  if (out.fd < 0) return SystemCopy::kFailed;
  const std::int64_t length = static_cast<std::int64_t>(info.st_size);

  // A clone shares the source's blocks: no byte is copied at all. It takes
  // the whole file as it is now, so only a file that kept its length is
  // taken this way.
  if (length > 0 && ioctl(out.fd, FICLONE, in.fd) == 0) {
    struct stat after;
    if (fstat(out.fd, &after) == 0 && after.st_size == info.st_size) {
      if (!keepGoing(length)) return SystemCopy::kStopped;
      return fdatasync(out.fd) == 0 && out.closeChecked() ? SystemCopy::kDone : SystemCopy::kFailed;
    }
    if (ftruncate(out.fd, 0) != 0) return SystemCopy::kFailed;
  }

  // Else the stream copies it, by the kernel's copy where it can.
  return SystemCopy::kUnsupported;
#else
  (void)source, (void)destination, (void)keepGoing;
  return SystemCopy::kUnsupported;
#endif
}

RangeCopy copyFileRange(std::FILE* from, std::int64_t offset, std::FILE* to, std::int64_t count) {
#if defined(__linux__)
  loff_t at = static_cast<loff_t>(offset);
  return copyRange(fileno(from), &at, fileno(to), count);
#else
  (void)from, (void)offset, (void)to, (void)count;
  RangeCopy result;
  result.unsupported = true;
  return result;
#endif
}

const char* environmentValue(const char* name) { return std::getenv(name); }

std::int64_t monotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

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
