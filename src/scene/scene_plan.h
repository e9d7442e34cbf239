#pragma once
// What a reader makes of a scene: the files it names, in the order named,
// each a Dependency with its kind, its path as written and as recorded,
// the name the copy gives it and, for a texture, the node and attribute
// that named it. Read from memory, the plan holds the edits that make the
// copy as well; read through a stream, the edits went into the copy as it
// was written.
//
// A file that names files of another format (a USD layer, an Arnold scene
// file) is read for where each path stands instead: the walk decides the
// names its copy gives them and replaces each range itself.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "io/edits.h"
#include "job/dependency.h"

struct ScenePlan {
  std::vector<Dependency> named;
  std::vector<Edit> edits;
};

// A path a file names, and where its text stands in that file: `length`
// bytes from `offset`, inside its quotes or other delimiters. A copy that
// names the file otherwise replaces exactly those bytes.
struct FoundPath {
  Dependency named;
  std::int64_t offset;
  std::int64_t length;
  // For a MaterialX document's include: the file prefix in force where the
  // include stands, which the included document's names take where it sets
  // none of its own. Empty for every other path and reader.
  std::string prefixInForce;
};

// How a name the walk gives is written in place of a found path's text:
// as it is, or escaped as the value of an XML attribute (`<` as `&lt;`).
enum class PathText {
  kAsIs,
  kXmlAttribute,
};

// What a reader makes of a file that names further files (an Arnold scene
// file, a USD layer, a MaterialX document): the paths it names, in the
// order of the file; the edits its copy needs whatever names the walk
// gives (a MaterialX prefix that no longer applies, say), in order; and how
// a name replaces a path's text.
struct FilePlan {
  // A large file names tens of thousands of paths: they are not moved
  // each time the list grows.
  std::deque<FoundPath> found;
  std::vector<Edit> fixed;
  PathText text = PathText::kAsIs;
};
