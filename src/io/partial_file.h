#pragma once
// The leftovers of runs killed outright: files under a partial name (see
// names/partial_name.h) that never took their final names.

// Removes every file of the partial form in the current directory. Nothing
// else is touched.
void removeLeftoverPartialFiles();
