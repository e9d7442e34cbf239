#pragma once
// What the scan learnt about a dependency besides its path. One travels
// beside each texture entry of a record, from the statement that named it
// through the hand-over to the parent record to staging.

#include <cstddef>
#include <string>
#include <vector>

struct DependencyFacts {
  std::string nodeType;   // the node the statement belonged to; empty when none of a known type
  std::string attribute;  // the attribute as the table names it
  int tiling = 0;         // the node's uvt when its name is a first tile: 1 ZBrush, 2 Mudbox, 3 UDIM
  bool frames = false;    // the node's ufe: the name is one frame of a sequence
  bool namesFurtherFiles = false;  // the file names files of its own, which are not followed
  bool unmatched = false;  // a name standing for several files that matched none: never staged nor transferred
  std::string scenePath;  // the scene that named it, as the walk spells it
  std::size_t transferIndex = 0;  // its place on its record's transfer list
  // For the run report.
  std::string written;      // the path as the scene spells it
  std::string recorded;     // after variables, with backslashes, before resolution
  std::string resolved;     // after variables and resolution, before expansion
  std::size_t entry = 0;    // which recorded name it was expanded from
  const char* status = nullptr;  // "copied", "found", "would be copied", "missing", "name collision"
};
