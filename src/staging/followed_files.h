#pragma once
// Files that name files of their own and that the run follows: USD layers
// in text form, Arnold scene files, MaterialX documents and XGen
// collection files. Each is read
// for the files it names, which become dependencies of the run in turn
// (named by it, resolved against its folder); its copy in the working
// folder is written under "~" + its name with every path it names cut to
// the name that file is staged under.

#include <map>
#include <string>
#include <vector>

#include "io/edits.h"
#include "job/dependency.h"
#include "names/followed_name.h"

class RunLog;
class TextureExpansion;
struct WalkState;

// The rewritten copy of one followed file.
struct FollowedCopy {
  std::string source;
  FollowedFormat format = FollowedFormat::kNone;
  // In order of their offsets in the file as read (for `.ass.gz`, in its
  // inflated bytes).
  std::vector<Edit> edits;
};

// The followed files of a run, by the comparison form of their paths.
class FollowedFiles {
 public:
  // The copy to write for the file at `path`, or nullptr when the file is
  // staged as it is.
  const FollowedCopy* copyOf(const std::string& path) const;
  void keep(const std::string& path, FollowedCopy copy);
  bool isFollowed(const std::string& path) const { return copyOf(path) != nullptr; }

 private:
  std::map<std::string, FollowedCopy> copies_;
};

// Names every texture file of `found` (expanded) for the working folder
// and follows every file of a followed kind, recursively: what each names
// is added to `found`, expanded with `expansion`, named and followed in
// turn; a file is read once however often it is named. Files that the
// scenes name keep their names (a clash between two of them is staging's
// to refuse); a file a followed file names whose name another file took
// gets a numbered name. A `.usd` layer in binary form is staged as it is.
// What a file names that cannot be staged and is no fault (an XGen data
// folder found nowhere) is warned of in `log`.
void followFiles(DependencyList& found, const WalkState& walk, TextureExpansion& expansion, FollowedFiles& followed,
                 RunLog& log);

// Writes the copy of a followed file under `name` in the working folder.
// False, after printing why, when it could not be written whole.
bool writeFollowedCopy(const FollowedCopy& copy, const std::string& name);
