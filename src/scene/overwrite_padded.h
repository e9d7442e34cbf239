#pragma once

// Writes `name` over `target` in place, keeping the target's length: a
// shorter name is followed by spaces up to the target's NUL, a longer one
// is cut there.
void overwritePadded(char* target, const char* name);
