#pragma once
// One run per working folder: the lock is held from before the run's first
// write until the submit tool has returned. A second run waits for it.

#include "platform/platform.h"
#include "names/run_files.h"

class WorkingFolderLock {
 public:
  // Takes the lock, waiting for it when another run holds it (saying so
  // once). Where no lock can be had (a folder we may not write, a share
  // without locking) the run goes on without one and meets the folder's
  // faults as it always has. Ends the run when interrupted while waiting.
  WorkingFolderLock();
  // Removes the lock file and lets the lock go.
  ~WorkingFolderLock();
  WorkingFolderLock(const WorkingFolderLock&) = delete;
  WorkingFolderLock& operator=(const WorkingFolderLock&) = delete;

 private:
  platform::FileLock lock_;
};
