#include "app/folder_lock.h"

#include <cstdio>

#include "outcome/interruption.h"

namespace {

// How often a waiting run asks again; the lock is held for a whole run.
constexpr int kRetryMilliseconds = 100;

}  // namespace

WorkingFolderLock::WorkingFolderLock() {
  platform::LockResult result = platform::tryLockFile(kLockFileName, lock_);
  if (result != platform::LockResult::kBusy) return;
  std::printf("Waiting for another vantleRender run in this folder.\n");
  std::fflush(stdout);
  while (result == platform::LockResult::kBusy) {
    platform::sleepMilliseconds(kRetryMilliseconds);
    stopIfInterrupted();
    result = platform::tryLockFile(kLockFileName, lock_);
  }
}

WorkingFolderLock::~WorkingFolderLock() { platform::releaseLockFile(kLockFileName, lock_); }
