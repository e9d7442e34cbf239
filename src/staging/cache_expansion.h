#pragma once
// The files of a cacheFile node's cache folder that the jobs' frames read.

#include <string>
#include <vector>

#include "caches/time_window.h"
#include "job/dependency.h"

// The names in `folder` in byte order (letter case aside where the
// system's names ignore it), as the files of a pattern are staged; none
// when it cannot be listed.
std::vector<std::string> sortedFolderNames(const std::string& folder);

// Gives the cache folder `named` each of `selected`, names in its folder,
// staged as `<transferName>\<name>`; returns them. One that does not open
// as a file (a folder of a frame's name, a dangling link) fails its copy,
// and so the run: a frame the jobs read is missing.
std::vector<std::string> addSelectedFiles(Dependency& named, const std::vector<std::string>& selected);

// Marks the cache folder `named` as one no job could read: it stands for
// itself, and the run fails when it is staged.
void markUnreadable(Dependency& named);

// Gives the cache folder `named` (one with a cache) the files a render of
// the scene frames `rendered` reads: its description and the data of the
// times the node maps those frames to, found by listing the folder, each
// staged as `<folder>\<name>`; and counts its frames. A folder without a
// readable description, or whose data holds no time of the window, stays
// marked as matching nothing.
void expandCache(Dependency& named, FrameWindow rendered);
