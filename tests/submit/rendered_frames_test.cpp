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
  // A step that divides the range renders its last frame.
  EXPECT_DOUBLE_EQ(rendered(1, 100, 10, 1).first, 1);
  EXPECT_DOUBLE_EQ(rendered(1, 100, 10, 1).last, 100);
  // Steps of 10 from 1, jobs of three frames (1 11 21, 31 41 51, ...):
  // the last job, 91 to 100, renders 91 only.
  EXPECT_DOUBLE_EQ(rendered(1, 100, 3, 10).last, 91);
  // A step that the jobs' running sums miss by a hair still reaches the
  // end, and never goes past it (the jobs' frames are counted in single
  // precision).
  EXPECT_NEAR(rendered(1, 2, 5, 0.1).last, 2, 1e-6);
  EXPECT_NEAR(rendered(1, 2.05, 5, 0.1).last, 2, 1e-6);
  // Fractional frames, one job.
  EXPECT_DOUBLE_EQ(rendered(10.5, 12, 10, 0.5).first, 10.5);
  EXPECT_DOUBLE_EQ(rendered(10.5, 12, 10, 0.5).last, 12);
}

}  // namespace
