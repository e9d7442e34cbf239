#pragma once
// Where the files a scene names are: its relative paths resolve against
// the folder above its own, as the system names it; a file that is not
// where its path leads is looked for by name where the scene travelled.

#include <string>
#include <vector>

// The folder made absolute, as the system names it; "" when it cannot be
// entered.
std::string absoluteFolder(const std::string& folder);

// The folder the relative paths of the scene at `scenePath` resolve
// against; the working folder when that folder cannot be entered.
std::string resolutionBase(const std::string& scenePath);

// Where a file named by the scene at `namingScene` is looked for when it
// does not open at its path: the scene's folder, the project folder above
// it, and the project's scenes\ (`forScene`) or sourceimages\.
std::vector<std::string> fallbackFolders(const std::string& namingScene, bool forScene);

// Says that the file or folder a scene names as `recorded` was not there
// and `used` is taken instead: "File '<recorded>' not found; using '<used>'."
void sayFoundElsewhere(const std::string& recorded, const std::string& used);

// For an `entry` named by the scene at `namingScene` that does not open:
// true when a file of its base name opens in one of the scene's fallback
// folders; `entry` is then that file, and a line says so (naming the path
// as `recorded`).
bool locateElsewhere(const std::string& namingScene, std::string& entry, const std::string& recorded, bool forScene);

// For a file its program reads beside the scene (an XGen collection file
// that the scene names by a relative path): true when `recorded` opens
// against the folder of the scene at `namingScene`; `entry` is then that
// file. False for any other file, and when it does not open there.
bool locateBesideScene(const std::string& namingScene, const std::string& recorded, std::string& entry);

// For a cache folder `entry` (made absolute) named by the scene at
// `namingScene`: the path without the separators it ends with. A folder
// that cannot be entered is looked for by its name in the scene's fallback
// folders, then by its place in the project of the machine that saved
// it (the path's last components in this project), then by its
// description `<cacheName>.xml` beside the scene and in the project;
// `entry` is then the folder found, and a line says so (naming the path
// as `recorded`). False when it is found nowhere.
bool locateCacheFolder(const std::string& namingScene, std::string& entry, const std::string& recorded,
                       const std::string& cacheName);
