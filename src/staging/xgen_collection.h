#pragma once
// What an XGen collection file (`.xgen`) names, found on this machine: its
// data folders, the archives and caches its descriptions name outside
// them, and the palette's guide cache beside the scene; and the edits its
// copy needs whatever names these are staged under. A data folder is
// staged whole, its layout kept, as a folder of its own name; the copy
// names every folder and file it found in the working folder ("./coll/",
// "./Archive.xarc") and the working folder as its project.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/edits.h"
#include "job/dependency.h"

class RunLog;

// A folder or file the collection names, and where its text stands.
struct XgenPath {
  Dependency named;  // resolved; a data folder carries a CacheReference of kind kXgenData
  std::int64_t offset;
  std::int64_t length;
};

struct XgenCollection {
  std::vector<XgenPath> named;  // in the order of the file
  std::vector<Edit> fixed;      // the project folder made the working folder
  // The palette's guide cache, resolved, and the name XGen looks for
  // beside the scene's copy (`~shot__coll.abc`).
  std::optional<Dependency> guideCache;
  std::string guideCacheName;
  // The first data folder named, when none of them was found: no job
  // could render the collection.
  std::optional<Dependency> dataMissing;
};

// Reads the collection file at `path`, named by the scene at
// `namingScene`. A data folder or guide cache found nowhere is left out,
// after a warning (and the first data folder kept as `dataMissing` when
// none is found); none when the file cannot be read.
std::optional<XgenCollection> readXgenCollection(const std::string& path, const std::string& namingScene,
                                                RunLog& log);

// How the copy names what is staged as `name` in the working folder.
std::string xgenPathText(const std::string& name, bool folder);
