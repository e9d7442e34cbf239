#pragma once
// The files a run writes into the working folder under names of its own,
// which no dependency may take.

// The submit description.
inline constexpr const char* kSubmitFileName = "vantle_render.sub";
// The file through which a run holds its working folder, there only while
// the run lasts.
inline constexpr const char* kLockFileName = "vantle_render.lock";
// Where particle caches are staged, and the project file whose particles
// rule leads there (written unless one that does is here already).
inline constexpr const char* kStagedParticlesFolder = "particles";
inline constexpr const char* kWorkspaceFileName = "workspace.mel";
