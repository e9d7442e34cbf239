#pragma once
// The reader of binary scenes that are not read by their structure: a
// token that holds a marker announces that the next token is a path, which
// the copy overwrites in place with its new name, so every later byte of
// the copy keeps its position. A token holding both markers is a
// reference's.

#include <string_view>

#include "scene/scene_plan.h"

class ByteCursor;

// Reads the scene through `in` into its copy.
ScenePlan readTokenScene(ByteCursor& in);
// Reads a scene held in memory; the plan's edits make its copy.
ScenePlan planTokenScene(std::string_view scene);
