#pragma once

class SceneJob;

// Puts in the place of each texture entry the files it stands for: every
// file that a name with tokens, or a first tile or frame its node marks,
// matches (in its folder, else in the folders where a file from another
// machine is looked for), each followed by a prepared `.tx` beside it
// when there is one. The transfer line changes with them. A name that
// stands for several files and matches none stays, marked, and leaves
// the transfer line. Run before the names are checked.
void expandTextures(SceneJob& job);
