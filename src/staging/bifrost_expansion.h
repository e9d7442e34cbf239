#pragma once
// The files of a Bifrost cache folder that the jobs' frames read.

#include "caches/time_window.h"
#include "job/dependency.h"

// Gives the Bifrost cache folder `named` (one with a Bifrost cache) the
// `.bif` files of its object folders whose frame lies in `rendered`, found
// by listing the folder, each staged as `<folder>\<object>\<name>`; and
// counts its frames. A folder that holds none of them (a container names
// caches it never wrote) stands for no file: nothing of it is staged or
// transferred.
void expandBifrostCache(Dependency& named, FrameWindow rendered);
