#include "app/run.h"

#include <cstdio>
#include <memory>

#include "job/run_stop.h"
#include "job/scene_job.h"

int runVantleRender(int argc, char** argv) {
  auto job = std::make_unique<SceneJob>();
  if (job->parseArguments(argc, argv) == 0) return exit_status::kCommandLine;
  job->validateArguments();

  if (job->prepareSubmission() == 0) return exit_status::kFailure;
  job->printDependencies();
  if (job->dryRun) {
    std::printf("\nDry run: nothing written, nothing submitted.\n");
    return job->missingDependencies == 0 ? exit_status::kSuccess : exit_status::kFailure;
  }
  if (job->runSubmit() != 0) {
    std::printf("\nVantle_submit failed. Make sure vantle_submit is in your search path.\n");
    return exit_status::kFailure;
  }
  std::printf("\nSubmitted jobs successfully. Have a nice day!\n");
  return exit_status::kSuccess;
}
