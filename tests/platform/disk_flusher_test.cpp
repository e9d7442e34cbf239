// Files put on the disk while they are written: a failure on the way is never lost, and a small file waits for
// no thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/disk_flusher.h"

namespace {

constexpr std::size_t kStep = platform::DiskFlusher::kFlushBytes;

// A small file is synced once, by the writer, with no thread; a long one as it grows (the disk asked to start at
// every step), never more than once per step, and once more at the end; where the system would have the writer
// wait for a sync on another thread (Windows), once, by the writer.
TEST(DiskFlusher, FilesAreSyncedAsTheyGrowAndOnceMoreAtTheEnd) {
  const struct { int writes; std::size_t each; bool onAThread; int starts, fewest, most; } rows[] = {
      {1, kStep - 1, true, 0, 1, 1}, {20, kStep / 2, true, 10, 2, 11}, {20, kStep / 2, false, 10, 1, 1}};
  for (const auto& row : rows) {
    std::atomic<int> syncs{0}, starts{0};
    const std::thread::id writer = std::this_thread::get_id();
    std::atomic<bool> elsewhere{false};
    platform::DiskFlusher flusher(
        [&] {
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
          if (std::this_thread::get_id() != writer) elsewhere = true;
          return ++syncs > 0;
        },
        [&] { ++starts; }, row.onAThread);
    for (int i = 0; i < row.writes; ++i) flusher.wrote(row.each);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(flusher.finish());
    EXPECT_EQ(starts, row.starts);
    EXPECT_GE(syncs, row.fewest);
    EXPECT_LE(syncs, row.most);
    EXPECT_TRUE((row.onAThread && row.starts > 0) || !elsewhere);
  }
}

// Linux reports a failed write-back to one sync only: the one the thread made must still fail the file. A file given
// up stops its thread without another sync.
TEST(DiskFlusher, AFailureOnTheWayFailsTheFileAndAFileGivenUpIsNotSyncedAgain) {
  for (const bool givenUp : {false, true}) {
    std::atomic<int> syncs{0};
    {
      platform::DiskFlusher flusher([&] { return ++syncs != 1; }, [] {});
      flusher.wrote(kStep);
      while (syncs == 0) std::this_thread::yield();
      if (!givenUp) {
        EXPECT_FALSE(flusher.finish());
      }
    }
    EXPECT_EQ(syncs, givenUp ? 1 : 2);
  }
}

}  // namespace
