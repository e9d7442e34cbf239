#include "app/run.h"

#include <cstdio>
#include <memory>

#include "app/folder_lock.h"
#include "io/partial_file.h"
#include "job/interruption.h"
#include "job/run_stop.h"
#include "job/scene_job.h"
#include "platform/platform.h"

namespace {

// Everything the run writes, done while the folder is locked. The record
// goes with this function, and with it any file still being written.
int submitInLockedFolder(std::unique_ptr<SceneJob> job) {
  stopIfInterrupted();
  removeLeftoverPartialFiles();

  if (job->prepareSubmission() == 0) return exit_status::kFailure;
  stopIfInterrupted();
  job->printDependencies();
  if (job->runSubmit() != 0) {
    // Submitted jobs are never reported as interrupted: only a tool that
    // failed may have been stopped by the interruption.
    stopIfInterrupted();
    std::printf("\nVantle_submit failed. Make sure vantle_submit is in your search path.\n");
    return exit_status::kFailure;
  }
  std::printf("\nSubmitted jobs successfully. Have a nice day!\n");
  return exit_status::kSuccess;
}

// A dry run reads everything and writes nothing here: no lock, no
// clearing of what other runs left.
int reportDryRun(SceneJob& job) {
  if (job.prepareSubmission() == 0) return exit_status::kFailure;
  stopIfInterrupted();
  job.printDependencies();
  std::printf("\nDry run: nothing written, nothing submitted.\n");
  return job.missingDependencies == 0 ? exit_status::kSuccess : exit_status::kFailure;
}

}  // namespace

int runVantleRender(int argc, char** argv) {
  auto job = std::make_unique<SceneJob>();
  if (job->parseArguments(argc, argv) == 0) return exit_status::kCommandLine;
  job->validateArguments();

  platform::catchInterruptions();
  if (job->dryRun) return reportDryRun(*job);
  const WorkingFolderLock lock;
  return submitInLockedFolder(std::move(job));
}
