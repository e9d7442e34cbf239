#pragma once

// The submit description, written into the working directory, and the
// command line that hands it to the batch system.
inline constexpr const char* kSubmitFileName = "vantle_render.sub";
// The file through which a run holds its working directory, there only
// while the run lasts.
inline constexpr const char* kLockFileName = "vantle_render.lock";
inline constexpr const char* kSubmitCommand = "vantle_submit vantle_render.sub";
