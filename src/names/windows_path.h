#pragma once
// Paths in Windows form, as the program holds every path it reads or
// builds: backslashes, drive letters, the parent step "..". Pure text:
// nothing here asks the system.

#include <string>

// Every '/' turned into '\', in place.
void normalizeSlashes(std::string& path);

// False for a drive path ("C:\...", "C:/...") and a rooted one ("\...",
// "/..."), after any leading blanks and line ends; true otherwise, also
// for an empty path.
bool isRelativePath(const std::string& path);

// `entry`, when relative, put behind `directory` with one separator
// between them and its slashes normalised; true then. An absolute entry
// stays as it is.
bool joinDirectory(const std::string& directory, std::string& entry);

// The path without the separators it ends with, in place.
void cutTrailingSeparators(std::string& path);

// The path without its last component and the '\' before it; false, and
// the path as it was, when it holds no '\'.
bool cutLastComponent(std::string& path);
