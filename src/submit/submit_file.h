#pragma once

// The submit description, written into the working directory, and the
// command line that hands it to the batch system.
#include "names/run_files.h"

inline constexpr const char* kSubmitCommand = "vantle_submit vantle_render.sub";
