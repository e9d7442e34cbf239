#include "app/run.h"

#include <memory>

#include "job/run_stop.h"
#include "job/scene_job.h"

int runVantleRender(int argc, char** argv) {
  auto job = std::make_unique<SceneJob>();
  if (job->parseArguments(argc, argv) == 0) return exit_status::kCommandLine;
  job->validateArguments();
  return exit_status::kSuccess;
}
