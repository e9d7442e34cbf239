#pragma once
// Telling scenes apart: two spellings of one scene must be seen as one
// scene when the walk looks for circular references and for scenes that
// would share a rewritten copy.

#include <string>

// The path in Windows form, made absolute against the current directory
// when it is relative, with "." and ".." steps and doubled separators
// taken out.
std::string makeAbsoluteScenePath(const std::string& path);
