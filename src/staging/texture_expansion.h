#pragma once

#include "job/dependency.h"

class SceneJob;

// Gives each texture of `found` the files it stands for: every file that
// a name with tokens, or a first tile or frame its node marks, matches (in
// its folder, else in the folders where a file from another machine is
// looked for), each followed by a prepared `.tx` beside it when there is
// one. A name that stands for several files and matches none stays,
// marked. The record's textures become those files. Run before the names
// are checked.
void expandTextures(SceneJob& job, DependencyList& found);
