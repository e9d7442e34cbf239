#pragma once

// The submit description, written into the working directory, and the
// command line that hands it to the batch system.
inline constexpr const char* kSubmitFileName = "vantle_render.sub";
inline constexpr const char* kSubmitCommand = "vantle_submit vantle_render.sub";
