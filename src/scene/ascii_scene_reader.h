#pragma once
// The reader of Maya ASCII scenes: each statement is offered to the
// recognisers, and one they take is replaced in the copy by its rewritten
// form; every other byte reaches the copy as it is.

#include <string_view>

#include "scene/scene_plan.h"

class ByteCursor;

// Reads the scene through `in` into its copy.
ScenePlan readAsciiScene(ByteCursor& in);
// Reads a scene held in memory; the plan's edits make its copy.
ScenePlan planAsciiScene(std::string_view scene);
