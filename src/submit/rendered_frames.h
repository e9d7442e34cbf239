#pragma once
// The frames the jobs of a run render, as far as caches care: a job
// renders its first frame and every step after it up to its last, so a
// range that the step does not divide ends before its last frame.

#include "caches/time_window.h"

class SceneJob;

// The first and the last frame any job of the record's run renders.
FrameWindow framesRendered(const SceneJob& job);
