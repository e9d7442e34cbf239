#pragma once
// The one place where what a reader found is recorded.

#include "job/dependency.h"

class SceneJob;

// The path as recorded in the record's list of its kind, its new name on
// the record's transfer list; with `found`, in the run's list as well,
// named by the record's scene.
void recordFound(SceneJob& job, Dependency named, DependencyList* found);
