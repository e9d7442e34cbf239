#pragma once

#include "job/dependency.h"

class FollowedFiles;
class RunLog;
class SceneJob;
struct RunOptions;
struct WalkState;

// Ends the run, before anything is staged or described, when a texture's
// name in the working directory or an entry of the transfer line is a name
// the run may not use (names/staging_name.h), or when a texture would take
// the name of a scene copy of this run. The scene copies' own names were
// checked as the walk claimed them. A cache's folder name and each name
// in it are checked apart.
void checkStagingNames(const SceneJob& job, const WalkState& walk, const DependencyList& found);

// Puts every texture of the run into the working directory under its base
// name, unless a file of that name is already there. Ends the run when two
// different textures would share one name there, and, once the rest is
// staged, when a name standing for several files matched none (a dry run
// counts it as missing and goes on).
// A followed file is written as its rewritten copy. A cache's folder is
// made under its name first, after a line saying how many of the cache's
// frames are staged, and its files are copied into it; two different
// folders of one name end the run as two textures of one name do.
// Particle caches go into `particles` (staging/particle_staging.h).
void stageTextures(DependencyList& found, const FollowedFiles& followed, const RunOptions& options, RunLog& log);
