#pragma once
// The USD layer reader as it stood before it was made fast, kept
// for the fuzz target to compare the program's reader with.

#include "scene/scene_plan.h"

class ByteCursor;

namespace reference {

FilePlan readUsdaLayer(ByteCursor& in);

}  // namespace reference
