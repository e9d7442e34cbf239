#pragma once
// The one place where the program meets the operating system. Everything
// above this module keeps paths in Windows form (backslashes, drive
// letters); on POSIX the paths are translated here, at the boundary, and
// nowhere else.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The path as the operating system wants it: on POSIX every '\' becomes
// '/', on Windows the path is passed through untouched.
std::string systemPath(const std::string& path);

// fopen with the given mode. A directory never opens, for reading or for
// writing, on any platform: the program must not take a folder for a scene,
// a header, a texture or a file already in the working directory. Nor does
// a named pipe, whose opening would wait for a writer or reader.
std::FILE* openFile(const std::string& path, const char* mode);

// True when the file opens with the given mode; the file is closed again
// at once. Opening for "w" creates or empties the file, as fopen does.
inline bool fileOpens(const std::string& path, const char* mode) {
  std::FILE* file = openFile(path, mode);
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

// 64-bit file positioning: `long` is 32 bits on Windows.
bool seekTo(std::FILE* file, std::int64_t offset, int whence);
std::int64_t tellPosition(std::FILE* file);

// The current directory as the system names it, or "" when it cannot be read.
std::string currentDirectory();
// The folder's absolute path as the current directory would read once the
// folder were entered (links followed, "." and ".." steps gone), found
// without entering it; none when it could not be entered.
std::optional<std::string> enteredFolderPath(const std::string& folder);

// True when both paths name one existing file (by identity, not spelling).
bool sameFile(const std::string& first, const std::string& second);

// Removes a file or a link; anything else (a folder, a device) is left alone.
bool removeFile(const std::string& path);

// True when a file written elsewhere may be renamed onto `path`: nothing is
// there, or a file that opens for writing (it is not changed). A folder, a
// pipe or a file that may not be written is in the way.
bool replaceable(const std::string& path);
// The system's own handle of an open file: a descriptor on POSIX, a HANDLE
// on Windows.
using FileHandle = std::intptr_t;
FileHandle fileHandle(std::FILE* file);
// Asks the system to put the file's bytes on the disk; false when it fails.
// Safe from another thread while the file is being written.
bool syncFile(FileHandle file);
inline bool syncFile(std::FILE* file) { return syncFile(fileHandle(file)); }
// Asks the system to start writing the file's cached bytes to the disk and
// returns without waiting.
void startWriteback(FileHandle file);
// Interruptions go to the threads that look for them, not to the one that
// calls this.
void keepInterruptionsAway();
// True where a file may be synced from another thread while it is being
// written without holding up the writer.
bool syncsOnAThread();
// Renames a closed file onto `to`, replacing a file there in one step.
bool renameFile(const std::string& from, const std::string& to);
// The names in a folder, "." and ".." left out; empty when it cannot be read.
std::vector<std::string> listDirectory(const std::string& path);
// Makes the folder `path` (its parent must exist); true when it was made
// or a folder (not a link to one) was there already.
bool makeDirectory(const std::string& path);
long processId();

// An exclusive lock held through the file at `path`, which is created if
// need be. The system drops the lock when the process ends, however it ends.
enum class LockResult { kTaken, kBusy, kUnavailable };
struct FileLock {
  std::intptr_t handle = -1;
};
LockResult tryLockFile(const std::string& path, FileLock& lock);
// Removes the lock file, then lets the lock go.
void releaseLockFile(const std::string& path, FileLock& lock);
void sleepMilliseconds(int milliseconds);

// From now on an interruption (POSIX: SIGINT, SIGTERM, SIGHUP; Windows:
// Ctrl+C, Ctrl+Break, the console closing) is only recorded; the run
// looks at interrupted() between blocks and ends itself.
void catchInterruptions();
bool interrupted();
// The status of a program ended by an interruption on this system.
int interruptedExitStatus();

// Hands the command line to the system's command interpreter and waits.
// The result is the command's exit status, or -1 when no interpreter ran.
// A command ended by an interruption from the terminal counts as an
// interruption of the run.
int runCommand(const std::string& commandLine);

// Milliseconds from some fixed moment, never going back: for durations.
std::int64_t monotonicMilliseconds();

// True when standard error is a terminal (on Windows a console), where a
// line may be updated in place.
bool standardErrorIsTerminal();
// Shows `text` on standard error in place of the line shown before; an
// empty text clears that line. Only for a terminal.
void showStatusLine(const std::string& text);
// How a copy by the system's own means ended.
enum class SystemCopy {
  kDone,         // the destination holds every byte the source had when opened
  kUnsupported,  // nothing copied: the system cannot copy these files itself
  kFailed,       // the copy broke off (a full disk, an error reading)
  kStopped,      // `keepGoing` said stop
};

// Copies the file `source` into `destination`, which it creates or empties,
// as one whole by the system: on Linux a clone of the source's blocks where
// the file system can share them (a copy-on-write file system), on Windows
// the system's own copy. Elsewhere, and where the file system cannot clone,
// nothing is copied (kUnsupported) and the caller copies by copyFileRange.
// A whole copy is on the disk, not only in the system's cache, when this
// returns. `keepGoing` is asked with the bytes done so far. The destination
// is left as it is on every outcome; removing a broken one is the caller's.
SystemCopy copyBySystem(const std::string& source, const std::string& destination,
                        const std::function<bool(std::int64_t done)>& keepGoing);

// How copyFileRange went: the bytes it copied, or that the system cannot
// copy between these two files (nothing was copied), or that it failed.
struct RangeCopy {
  std::int64_t copied = 0;
  bool unsupported = false;
  bool failed = false;
};

// Appends `count` bytes of the open file `from`, from `offset` on, to the
// open file `to` (at its position, which moves past them; `to` must have no
// buffered output) without the bytes passing through the program. Fewer
// bytes are copied only where `from` ends sooner. Leaves `from`'s position.
RangeCopy copyFileRange(std::FILE* from, std::int64_t offset, std::FILE* to, std::int64_t count);

// The value of an environment variable, or nullptr when it is not set.
const char* environmentValue(const char* name);

}  // namespace platform
