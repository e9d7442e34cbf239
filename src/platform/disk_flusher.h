#pragma once
// Puts a file on the disk from a thread of its own while the program is
// still writing it. Every file the run writes is synced before it takes
// its name; syncing as the file grows lets the disk work while the program
// scans and copies, so the last sync has little left to wait for.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/platform.h"

namespace platform {

class DiskFlusher {
 public:
  // The thread starts only once `kFlushBytes` have been written: a small
  // file is synced once, at the end, by `finish`.
  static constexpr std::size_t kFlushBytes = std::size_t{8} << 20;

  explicit DiskFlusher(FileHandle file)
      : DiskFlusher([file] { return syncFile(file); }, [file] { startWriteback(file); }, syncsOnAThread()) {}
  // `sync` puts the file on the disk (from either thread); `startWriting`
  // asks the disk to begin without waiting. Without `onAThread` the file is
  // synced once, by `finish`.
  DiskFlusher(std::function<bool()> sync, std::function<void()> startWriting, bool onAThread = true)
      : sync_(std::move(sync)), startWriting_(std::move(startWriting)), onAThread_(onAThread) {}
  ~DiskFlusher() { stop(); }
  DiskFlusher(const DiskFlusher&) = delete;
  DiskFlusher& operator=(const DiskFlusher&) = delete;

  // The writer has written `bytes` more to the file.
  void wrote(std::size_t bytes);
  // Stops the thread and syncs what is left. True when this sync and every
  // one the thread made succeeded: a failed one may not be reported again.
  bool finish();

 private:
  void run();
  void stop();

  std::function<bool()> sync_;
  std::function<void()> startWriting_;
  bool onAThread_;
  std::size_t unsynced_ = 0;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool pending_ = false;
  bool stopping_ = false;
  bool failed_ = false;
  std::thread thread_;
};

}  // namespace platform
