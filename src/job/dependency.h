#pragma once
// One file a scene of the run depends on, as one value: what named it, its
// path as written, recorded and resolved, the files it stands for and what
// became of each. The run keeps them in one list, in the order the walk met
// them (the command-line scene's own, then each referenced scene's, depth
// first); staging, the transfer line, the dry run and the report read it.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "job/cache_reference.h"

enum class DependencyKind {
  kScene,    // a referenced scene: read and rewritten in turn
  kTexture,  // a file a render loads: staged as it is
};

// What staging made of one file.
enum class FileStatus {
  kPending,        // not staged yet
  kCopied,         // copied into the working folder
  kFound,          // a file of its name was there already
  kWouldBeCopied,  // a dry run would copy it
  kMissing,        // it could not be copied, or matched nothing
  kNameCollision,  // another file of the run took its name
};

struct DependencyFile {
  std::string path;
  FileStatus status = FileStatus::kPending;
  // The name it is staged under in the working folder, once the run named
  // it: its base name, "~" + it for a file the run rewrites, and a number
  // in front for a name another file of the run took first.
  std::string stagedName;
};

struct Dependency {
  DependencyKind kind = DependencyKind::kTexture;
  // What named it: the scene as the walk spells it, the node type (empty
  // when none of a type the table knows) and the attribute as the table
  // names them.
  std::string scenePath;
  std::string nodeType;
  std::string attribute;
  // Its path: as the scene spells it; with variables expanded and
  // backslashes; resolved against the scene's folder or found elsewhere.
  std::string written;
  std::string recorded;
  std::string resolved;
  // How its name is read: the node's uvt when it is a first tile (1 to 3),
  // the node's ufe when it is one frame of a sequence.
  int tiling = 0;
  bool frames = false;
  // A cacheFile node's cache folder: the path names a folder, staged as a
  // folder of its bare name (`transferName`) holding the files the render
  // reads, each file's `stagedName` being `<folder>\<name>`.
  std::optional<CacheReference> cache;
  // The file names files of its own, which are not followed.
  bool namesFurtherFiles = false;
  // Named by a file the run follows (a USD layer, ...), not by a scene:
  // `scenePath` is that file.
  bool namedByFile = false;
  // Its entry on the transfer line as the scene's recogniser made it, and
  // which scene named on the command-line scene's own references it was
  // found below (0: the command-line scene itself; 1 the first of them
  // that was read, and so on).
  std::string transferName;
  std::size_t branch = 0;
  // Once expanded, the files it stands for: itself, or every file a name
  // with tokens matched; each followed by its prepared `.tx` sibling when
  // there is one. A name for several files that matched nothing stands
  // for itself, never staged nor transferred.
  bool expanded = false;
  bool matchedNothing = false;
  std::vector<DependencyFile> files;
};

// The name `file` takes in the working folder: the one the run gave it,
// else its base name.
std::string nameInWorkingFolder(const DependencyFile& file);

// The entry that a dependency named below the command-line scene gets on
// the transfer line of the scene it is handed up to: a texture's base
// name, a scene's copy name.
std::string handedOnTransferName(DependencyKind kind, const std::string& path);

// The run's dependencies in the order the walk met them. The walk reads
// each scene named on the command-line scene's own references, with what
// lies below it, as one branch; entries get the branch being read.
class DependencyList {
 public:
  void add(Dependency dependency) {
    dependency.branch = branch_;
    items_.push_back(std::move(dependency));
  }
  // Entries added from now on come from the branch `branch` (0: the
  // command-line scene's own).
  void openBranch(std::size_t branch) { branch_ = open_ = branch; }
  // The branch read whole and handed up to the command-line scene.
  void closeBranch() { open_ = kNone; }
  // True once the command-line scene holds the entry: it is its own, or
  // its branch was read whole. (A run stopped half way through a branch
  // reports only what the command-line scene held.)
  bool held(const Dependency& dependency) const { return dependency.branch == 0 || dependency.branch != open_; }

  std::vector<Dependency>& items() { return items_; }
  const std::vector<Dependency>& items() const { return items_; }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<Dependency> items_;
  std::size_t branch_ = 0;
  std::size_t open_ = kNone;
};
