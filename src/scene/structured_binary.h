#pragma once
// A binary scene read by its structure, into its copy.

#include "job/dependency.h"
#include "job/run_log.h"

class SceneJob;

// A well-formed Maya binary scene read by its structure and copied, what
// it names recorded (with `found`, in the run's list too); a referenced
// file that is no Maya scene at all (`referenced`) copied as it is.
// kTokens, after the warning, when the scene is to be read token by token
// instead.
SceneReading passStructuredBinary(SceneJob& job, bool referenced, bool writeCopy, RunLog& log,
                                  DependencyList* found = nullptr);
