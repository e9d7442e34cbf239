#include "platform/disk_flusher.h"

#include <system_error>

namespace platform {

void DiskFlusher::wrote(std::size_t bytes) {
  unsynced_ += bytes;
  if (unsynced_ < kFlushBytes) return;
  unsynced_ = 0;
  startWriting_();
  if (!onAThread_) return;
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread(&DiskFlusher::run, this);
    } catch (const std::system_error&) {
      return;  // no thread to be had: `finish` syncs it all
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = true;
  }
  wake_.notify_one();
}

void DiskFlusher::run() {
  keepInterruptionsAway();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return pending_ || stopping_; });
    if (stopping_) return;
    pending_ = false;
    lock.unlock();
    const bool synced = sync_();
    lock.lock();
    if (!synced) failed_ = true;
  }
}

void DiskFlusher::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

bool DiskFlusher::finish() {
  stop();
  const bool synced = sync_();
  return synced && !failed_;
}

}  // namespace platform
