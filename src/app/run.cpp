#include "app/run.h"

#include <cstdio>
#include <memory>
#include <new>

#include "app/folder_lock.h"
#include "app/run_report.h"
#include "io/partial_file.h"
#include "outcome/interruption.h"
#include "outcome/run_stop.h"
#include "app/run_state.h"
#include "platform/platform.h"

namespace {

// Everything the run writes, done while the folder is locked.
int submitInLockedFolder(RunState& run) {
  stopIfInterrupted();
  removeLeftoverPartialFiles();

  SceneJob& job = run.job;
  if (job.prepareSubmission(run.options, run.log, run.walk, run.found, run.followed) == 0) return exit_status::kFailure;
  stopIfInterrupted();
  job.printDependencies();
  if (job.runSubmit(run.log) != 0) {
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
int reportDryRun(RunState& run) {
  if (run.job.prepareSubmission(run.options, run.log, run.walk, run.found, run.followed) == 0) return exit_status::kFailure;
  stopIfInterrupted();
  run.job.printDependencies();
  std::printf("\nDry run: nothing written, nothing submitted.\n");
  return run.log.missingDependencies == 0 ? exit_status::kSuccess : exit_status::kFailure;
}

// Runs `body` and writes the report on the way out, whatever the outcome.
// The copy still being written, if any, goes first.
template <typename Body>
int reporting(RunState& run, RunReportContext& report, Body body) {
  const auto write = [&](int status) {
    run.job.sceneStream.reset();
    report.exitStatus = status;
    writeRunReport(run, report);
    return status;
  };
  int status;
  try {
    status = body();
  } catch (const RunStop& stop) {
    write(stop.status());
    throw;
  } catch (const std::bad_alloc&) {
    write(exit_status::kFailure);
    throw;
  }
  return write(status);
}

}  // namespace

int runVantleRender(int argc, char** argv) {
  auto run = std::make_unique<RunState>();
  if (run->job.parseArguments(argc, argv, run->options) == 0) return exit_status::kCommandLine;
  run->job.validateArguments();

  // From here on the run has a report, whatever its outcome.
  RunReportContext report{std::vector<std::string>(argv + 1, argv + argc), platform::currentDirectory(), 0};
  platform::catchInterruptions();
  if (run->options.dryRun) return reporting(*run, report, [&] { return reportDryRun(*run); });
  // The report is written while the folder is still locked: a run waiting
  // for the lock would take its partial file for a leftover.
  const WorkingFolderLock lock;
  return reporting(*run, report, [&] { return submitInLockedFolder(*run); });
}
