#pragma once
// The files the render jobs need besides the command-line scene's copy,
// as the submit description's transfer line names them.

#include <string>
#include <vector>

#include "job/dependency.h"

// What the command-line scene named itself, in the order named; then, for
// each scene it named that was read, the textures found from there down,
// then the scenes. A name that stands for several files gives the name of
// each file it matched; one that matched nothing gives none.
std::vector<std::string> transferLine(const DependencyList& found);
