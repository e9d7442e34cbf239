#pragma once
// What a reader makes of a scene: the files it names, in the order named,
// each a Dependency with its kind, its path as written and as recorded,
// the name the copy gives it and, for a texture, the node and attribute
// that named it. Read from memory, the plan holds the edits that make the
// copy as well; read through a stream, the edits went into the copy as it
// was written.

#include <string_view>
#include <vector>

#include "io/edits.h"
#include "job/dependency.h"

struct ScenePlan {
  std::vector<Dependency> named;
  std::vector<Edit> edits;
};
