#pragma once
// Where a scene's particle cache folders are: under its project's particles
// folder, which the project's `workspace.mel` sets (`particles` when it
// sets none).

#include <string>

// For a particle cache folder `entry` (separators normalized) named by the
// scene at `namingScene`: the folder under the particles folder of the
// scene's project (the folder its relative paths resolve against), or
// `entry` itself when absolute, without the separators it ends with. A
// folder that cannot be entered is looked for by its name in that
// particles folder; `entry` is then the folder found, and a line says so
// (naming the path as `recorded`).
void locateParticleFolder(const std::string& namingScene, std::string& entry, const std::string& recorded);
