#pragma once

// The submit description, written into the working directory, and the
// command line that hands it to the batch system.
#include <functional>

#include "names/run_files.h"

inline constexpr const char* kSubmitCommand = "vantle_submit vantle_render.sub";

class FilterStream;
class SceneJob;

// The header, the transfer line and the jobs of the record's run; false
// when a job did not advance the running frame and the jobs were stopped.
bool writeSubmitDescription(const SceneJob& job, FilterStream& stream);
// Hands each job's first and last frame, as the description writes them,
// to `visit`; false when a job did not advance the running frame.
bool forEachJob(const SceneJob& job, const std::function<void(double firstFrame, double lastFrame)>& visit);
