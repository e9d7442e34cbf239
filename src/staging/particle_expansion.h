#pragma once
// The files of a particle cache folder that a render needs.

#include "caches/time_window.h"
#include "job/dependency.h"

// Gives the particle cache folder `named` the files a render of the scene
// frames `rendered` needs, found by listing the folder: a startup cache
// every file of its shape, whatever its time; the disk cache the files of
// every shape whose time lies in the window at the scene's rate. They are
// staged in `particles\<folder>` (`transferName`), each as
// `particles\<folder>\<name>`, and the cache's frames are counted. A folder
// that holds none stays marked as matching nothing.
void expandParticleCache(Dependency& named, FrameWindow rendered);
