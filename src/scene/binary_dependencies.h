#pragma once
// What a well-formed Maya binary scene depends on, read by its structure:
// the path of every reference (the FREF chunk of a FREF group) and the
// value of every string attribute that names a file on a node of a type
// the file attribute table lists (a plug-in type by the id the HEAD's PLUG
// chunk gives it), with that node's uvt and ufe. Nothing else is looked at, whatever it
// holds. Alongside, the edits that make the copy name the new files.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/edits.h"
#include "job/cache_reference.h"


struct BinaryDependency {
  bool isReference;           // else a file attribute
  std::string_view nodeType;  // file attributes: the node's type and attribute, as recorded (recordedAttribute)
  std::string attribute;
  std::string path;     // the value as saved, up to its NUL
  std::string newName;  // what the copy names instead: "~" + base name for a scene, the base name for a file
  int tiling = 0;       // the node's uvt, where it applies to this attribute: 1 to 3 mark a first tile
  bool frames = false;  // the node's ufe, where it applies to this attribute
  // A cacheFile node's, for its cache folder; a Bifrost container's pair's,
  // whose path is then the folder the pair names.
  std::optional<CacheReference> cache = std::nullopt;
};

struct BinaryScenePlan {
  bool mayaForm = false;                       // begins as a Maya binary scene does
  bool wellFormed = false;                     // and is one; only then is the rest filled in
  std::vector<BinaryDependency> dependencies;  // in file order
  std::vector<Edit> edits;               // by offset, none overlapping
};

// Reads the scene at `path`; `expectedSize` is its length as the copy's
// stream measured it (a scene that changed since is not trusted).
BinaryScenePlan planBinaryScene(const std::string& path, std::int64_t expectedSize);
// Reads a scene held in memory.
BinaryScenePlan planBinaryScene(std::string_view scene);
