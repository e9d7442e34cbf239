#pragma once
// Files are written under a partial name in the folder of their final name
// and renamed onto it only when whole. A partial name has one fixed form,
// "vantle_render.<process id>-<count>.partial", so that a later run can
// tell the leftovers of a killed run from everything else.

#include <string>
#include <string_view>

// A partial name not used before in this run: in the current folder for a
// file named below it (a staged folder's), so that the next run, which
// clears leftovers from the current folder only, finds it there; in the
// folder of `finalPath` for any other.
std::string partialFileName(const std::string& finalPath);
// True for a file name (no folder) of exactly the partial form.
bool isPartialFileName(std::string_view name);
// True for a file name of the partial form in any case of its letters: on
// a Windows folder, the same file as one of the run's partial files.
bool isPartialFileNameInAnyCase(std::string_view name);
