#pragma once
// Where a project keeps its particle disk caches, by the `particles` file
// rule of its `workspace.mel` (`workspace -fr "particles" "cache/particles";`),
// and the `workspace.mel` the run writes into the working folder.
//
// Particle caches are staged in the working folder under the folder
// `particles`, each cache folder by its own name and layout
// (`particles/test_startup/particleShape1.0.pdc`), and the written
// `workspace.mel` sets the particles rule to that folder. Maya run in the
// working folder as its project (`-proj .`) finds them so; started with
// another project, it still does when that project keeps the default rule.

#include <string>
#include <string_view>

#include "names/run_files.h"

// The particles folder of a `workspace.mel`, as written there: the value
// of the last `workspace -fr` (`-fileRule`) statement for "particles",
// escapes undone, comments skipped; "particles" when there is none. An
// empty rule is the project folder itself.
std::string particlesRule(std::string_view workspaceMel);

// The `workspace.mel` of the working folder.
std::string stagedWorkspaceMel();
