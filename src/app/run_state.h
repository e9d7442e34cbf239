#pragma once
// Everything one run keeps from the command line to its end: the
// command-line record, the options, what the run did and the walk's state.
// The run owns it and hands each part to whoever needs it.

#include "job/dependency.h"
#include "job/run_log.h"
#include "job/run_options.h"
#include "job/scene_job.h"
#include "scene/walk_state.h"
#include "staging/followed_files.h"

struct RunState {
  SceneJob job;
  RunOptions options;
  RunLog log;
  WalkState walk;
  // Every file the scenes depend on, in the order the walk met them.
  DependencyList found;
  // The files of `found` that the run follows, and their copies.
  FollowedFiles followed;
};
