#include "submit/rendered_frames.h"

#include <algorithm>
#include <cmath>

#include "job/scene_job.h"
#include "submit/submit_file.h"

FrameWindow framesRendered(const SceneJob& job) {
  FrameWindow rendered{job.startFrame, job.startFrame};
  forEachJob(job, [&](double first, double last) {
    // The steps a job takes, counted with a little room so that a step
    // such as 0.1, which sums short of the last frame, still reaches it:
    // one frame too many costs a file, one too few a frame without data.
    const double steps = job.byFrame > 0 ? std::floor((last - first) / job.byFrame + 1e-6) : 0;
    const double lastRendered = std::min(last, first + std::max(steps, 0.0) * job.byFrame);
    rendered.first = std::min(rendered.first, first);
    rendered.last = std::max(rendered.last, std::max(first, lastRendered));
  });
  return rendered;
}
