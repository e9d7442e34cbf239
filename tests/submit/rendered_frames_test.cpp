// The frames a run's jobs render, which bound the cache frames staged.

#include <gtest/gtest.h>

#include "job/scene_job.h"
#include "submit/rendered_frames.h"

namespace {

FrameWindow rendered(double start, double end, int perJob, double by) {
  SceneJob job;
  job.startFrame = start, job.endFrame = end, job.framesPerJob = perJob, job.byFrame = by;
  return framesRendered(job);
}

TEST(FramesRendered, EndWhereTheLastJobsStepsEnd) {
  // The range, the frames of a job and the step; the first and last frames rendered.
  const struct { double start, end; int perJob; double by, first, last; } rows[] = {
      {1, 100, 10, 1, 1, 100},  // a step that divides the range renders its last frame
      {1, 100, 3, 10, 1, 91},   // jobs of 1 11 21, 31 41 51, ...: the last job, 91 to 100, renders 91 only
      // A step that the jobs' running sums (in single precision) miss by a hair still reaches the end, never past it.
      {1, 2, 5, 0.1, 1, 2}, {1, 2.05, 5, 0.1, 1, 2},
      {10.5, 12, 10, 0.5, 10.5, 12}};  // fractional frames, one job
  for (const auto& row : rows) {
    const FrameWindow window = rendered(row.start, row.end, row.perJob, row.by);
    EXPECT_NEAR(window.first, row.first, 1e-6) << row.end << " " << row.by;
    EXPECT_NEAR(window.last, row.last, 1e-6) << row.end << " " << row.by;
  }
}

}  // namespace
