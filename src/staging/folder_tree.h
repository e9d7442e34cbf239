#pragma once
// A folder staged whole in the working folder with its layout kept (an
// XGen collection's data folder): every plain file below it, each staged
// as `<folder>\<path inside it>`.

#include <string>

#include "job/dependency.h"

// Gives the folder `named` (at `resolved`, named `transferName` in the
// working folder) every file below it: folder by folder in byte order of
// the names (letter case aside where the system's names ignore it), each
// subfolder entered where it stands. A folder met before (a link to one
// above it) is not entered again; anything that is neither a file nor a
// folder is left out.
void expandFolderTree(Dependency& named);

// Makes, outermost first, the folders that the staged name `name`
// (`data\maps\mask.ptx`) lies in.
void makeFoldersOf(const std::string& name);
