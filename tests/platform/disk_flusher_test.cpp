// Files put on the disk while they are written: a failure on the way is never lost, and a small file waits for
// no thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/disk_flusher.h"

namespace {

constexpr std::size_t kStep = platform::DiskFlusher::kFlushBytes;

TEST(DiskFlusher, ASmallFileIsSyncedOnceByTheWriter) {
  std::atomic<int> syncs{0}, starts{0};
  const std::thread::id writer = std::this_thread::get_id();
  std::atomic<bool> elsewhere{false};
  platform::DiskFlusher flusher(
      [&] {
        ++syncs;
        if (std::this_thread::get_id() != writer) elsewhere = true;
        return true;
      },
      [&] { ++starts; });
  flusher.wrote(kStep - 1);
  EXPECT_TRUE(flusher.finish());
  EXPECT_EQ(syncs, 1);
  EXPECT_EQ(starts, 0);
  EXPECT_FALSE(elsewhere);
}

TEST(DiskFlusher, ALongFileIsSyncedAsItGrowsAndOnceMoreAtTheEnd) {
  std::atomic<int> syncs{0}, starts{0};
  platform::DiskFlusher flusher(
      [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ++syncs;
        return true;
      },
      [&] { ++starts; });
  for (int i = 0; i < 20; ++i) flusher.wrote(kStep / 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(flusher.finish());
  EXPECT_EQ(starts, 10);
  EXPECT_GE(syncs, 2);   // at least one on the way and the last
  EXPECT_LE(syncs, 11);  // never more than one per step
}

// Linux reports a failed write-back to one sync only: the one the thread made must still fail the file.
TEST(DiskFlusher, AFailureOnTheWayFailsTheFileThoughTheLastSyncSucceeds) {
  std::atomic<int> syncs{0};
  platform::DiskFlusher flusher([&] { return ++syncs != 1; }, [] {});
  flusher.wrote(kStep);
  while (syncs == 0) std::this_thread::yield();
  EXPECT_FALSE(flusher.finish());
  EXPECT_EQ(syncs, 2);
}

TEST(DiskFlusher, AFileGivenUpStopsItsThreadWithoutAnotherSync) {
  std::atomic<int> syncs{0};
  {
    platform::DiskFlusher flusher([&] { return ++syncs > 0; }, [] {});
    flusher.wrote(kStep);
    while (syncs == 0) std::this_thread::yield();
  }
  EXPECT_EQ(syncs, 1);
}

}  // namespace
