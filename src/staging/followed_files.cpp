#include "staging/followed_files.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>

#include "io/filter_stream.h"
#include "io/gzip.h"
#include "io/whole_file.h"
#include "names/base_name.h"
#include "names/comparison_key.h"
#include "names/name_pattern.h"
#include "names/windows_path.h"
#include "platform/platform.h"
#include "scene/ass_reader.h"
#include "scene/mtlx_reader.h"
#include "scene/path_resolution.h"
#include "scene/scene_plan.h"
#include "scene/usda_reader.h"
#include "scene/walk_state.h"
#include "staging/cache_expansion.h"
#include "staging/staged_names.h"
#include "staging/texture_expansion.h"
#include "staging/xgen_collection.h"

namespace {

// What reading a followed file gave: its plan, or why there is none.
struct Reading {
  std::optional<FilePlan> plan;
  // The file is of a form the run cannot read (a binary USD layer): it is
  // staged as it is, and what it names is not.
  bool unreadable = false;
};

// The bytes of a file read whole: a compressed file's inflated.
std::optional<std::string> wholeBytes(const std::string& path, FollowedFormat format) {
  std::optional<std::string> bytes = readWholeFile(path);
  if (bytes && format == FollowedFormat::kArnoldSceneGz) return inflateGzip(*bytes);
  return bytes;
}

// Reads the file at `path`: a layer or scene file through a stream from
// its start, any size; a compressed one or an XML document whole, in
// memory. A MaterialX document included by another takes the prefix
// in force where it was included.
Reading readFollowed(const std::string& path, FollowedFormat format, const std::string& inheritedPrefix) {
  if (format == FollowedFormat::kArnoldSceneGz || format == FollowedFormat::kMaterialX) {
    const std::optional<std::string> bytes = wholeBytes(path, format);
    // A damaged archive or a document that is no XML is staged as it is.
    if (!bytes) return {std::nullopt, true};
    if (format == FollowedFormat::kArnoldSceneGz) return {planAssFile(*bytes)};
    std::optional<FilePlan> plan = planMtlxDocument(*bytes, inheritedPrefix);
    return {std::move(plan), !plan};
  }
  std::unique_ptr<FilterStream> stream = FilterStream::openSceneCopy(path, false);
  if (!stream || !stream->inputOk()) return {};
  switch (format) {
    case FollowedFormat::kUsdText:
    case FollowedFormat::kUsdByContent:
      // A `.usd` may be either form, and a layer may be misnamed: the
      // first bytes decide.
      if (!isUsdaLayer(stream->ahead())) return {std::nullopt, true};
      return {readUsdaLayer(*stream)};
    case FollowedFormat::kArnoldScene:
      return {readAssFile(*stream)};
    default:
      break;
  }
  return {std::nullopt, true};
}

// The text a copy names a file by, in the form the file writes its paths.
std::string pathText(const std::string& name, PathText form) {
  return form == PathText::kXmlAttribute ? xmlAttributeText(name) : name;
}

class Follower {
 public:
  Follower(DependencyList& found, TextureExpansion& expansion, FollowedFiles& followed, RunLog& log)
      : found_(found), expansion_(expansion), followed_(followed), log_(log) {}

  // The scenes' copies and the files the scenes name keep their names.
  void nameSceneFiles(const WalkState& walk) {
    for (const auto& [key, owner] : walk.copyOwners) names_.claim(sceneCopyName(owner.scenePath), comparisonKey(owner.absolutePath));
    for (Dependency& named : found_.items()) {
      if (named.kind != DependencyKind::kTexture) continue;
      // A cache's files are named inside its folder, which takes the name.
      if (named.cache) {
        if (!named.matchedNothing) names_.claim(named.transferName, comparisonKey(named.resolved));
        continue;
      }
      // A scene read token by token names a followed file by its bare
      // name: that file is staged as it is.
      const bool rewritten = !named.transferName.empty() && named.transferName[0] == '~';
      for (DependencyFile& file : named.files) {
        file.stagedName = rewritten ? stagedBaseName(file.path) : std::string(baseName(file.path));
        if (!named.matchedNothing) names_.claim(file.stagedName, comparisonKey(file.path));
      }
    }
  }

  // Follows every file in the list, the list growing as files are read.
  void followAll() {
    for (std::size_t i = 0; i < found_.items().size(); ++i) {
      const Dependency& named = found_.items()[i];
      if (named.kind != DependencyKind::kTexture || named.matchedNothing || named.cache) continue;
      for (std::size_t f = 0; f < found_.items()[i].files.size(); ++f) follow(i, f);
    }
  }

 private:
  void follow(std::size_t index, std::size_t fileIndex) {
    const Dependency& named = found_.items()[index];
    const DependencyFile& file = named.files[fileIndex];
    const std::string path = file.path;
    const FollowedFormat format = followedFormatOfName(path);
    if (format == FollowedFormat::kNone || followed_.isFollowed(path) || !platform::fileOpens(path, "r")) return;
    if (file.stagedName.find('~') == std::string::npos) {
      found_.items()[index].namesFurtherFiles = true;
      return;
    }
    if (format == FollowedFormat::kXgen) return followCollection(index, path);
    const std::size_t branch = named.branch;
    const auto inherited = inheritedPrefixes_.find(comparisonKey(path));
    Reading reading =
        readFollowed(path, format, inherited == inheritedPrefixes_.end() ? std::string() : inherited->second);
    if (!reading.plan) {
      if (reading.unreadable) found_.items()[index].namesFurtherFiles = true;
      return;
    }
    FollowedCopy copy{path, format, std::move(reading.plan->fixed)};
    followed_.keep(path, FollowedCopy{path, format, {}});
    // A path the file names again (a texture on every prim of a layer)
    // is one dependency of the file, looked for once; each place names it.
    std::map<std::string, std::string> namedBefore;
    for (FoundPath& at : reading.plan->found) {
      const auto before = namedBefore.find(at.named.recorded);
      if (before != namedBefore.end()) {
        copy.edits.push_back({at.offset, at.length, before->second});
        continue;
      }
      Dependency child = std::move(at.named);
      child.scenePath = path;
      child.namedByFile = true;
      child.resolved = resolvedBeside(path, child.recorded, child);
      const std::string name = nameFiles(child);
      copy.edits.push_back({at.offset, at.length, pathText(name, reading.plan->text)});
      namedBefore.emplace(child.recorded, copy.edits.back().bytes);
      if (!at.prefixInForce.empty()) {
        for (const DependencyFile& each : child.files) inheritedPrefixes_.emplace(comparisonKey(each.path), at.prefixInForce);
      }
      add(std::move(child), branch);
    }
    keepInOrder(path, std::move(copy));
  }

  // An XGen collection: its data folders staged whole under names unique
  // in the run, the files it names as a layer's are, and the palette's
  // guide cache under the name XGen looks for beside the scene's copy.
  void followCollection(std::size_t index, const std::string& path) {
    const std::size_t branch = found_.items()[index].branch;
    std::optional<XgenCollection> collection = readXgenCollection(path, found_.items()[index].scenePath, log_);
    if (!collection) return;
    FollowedCopy copy{path, FollowedFormat::kXgen, std::move(collection->fixed)};
    followed_.keep(path, FollowedCopy{path, FollowedFormat::kXgen, {}});
    for (XgenPath& at : collection->named) {
      Dependency child = std::move(at.named);
      const bool folder = child.cache.has_value();
      const std::string name = folder ? nameFolder(child) : nameFiles(child);
      copy.edits.push_back({at.offset, at.length, xgenPathText(name, folder)});
      add(std::move(child), branch);
    }
    if (collection->dataMissing) {
      Dependency missing = std::move(*collection->dataMissing);
      missing.expanded = true;
      markUnreadable(missing);
      add(std::move(missing), branch);
    }
    if (collection->guideCache) {
      Dependency cache = std::move(*collection->guideCache);
      cache.files.assign(1, DependencyFile{cache.resolved, FileStatus::kPending, collection->guideCacheName});
      cache.expanded = true;
      cache.transferName = collection->guideCacheName;
      names_.claim(cache.transferName, comparisonKey(cache.resolved));
      add(std::move(cache), branch);
    }
    keepInOrder(path, std::move(copy));
  }

  // Gives a dependency that a followed file names its files, each under a
  // name unique in the run: the name the file names it by.
  std::string nameFiles(Dependency& child) {
    expansion_.expand(child);
    const int number = freeNumber(child);
    const std::string name = numberedName(stagedBaseName(baseName(child.recorded)), number);
    for (DependencyFile& each : child.files) {
      each.stagedName = numberedName(stagedBaseName(each.path), number);
      if (!child.matchedNothing) names_.claim(each.stagedName, comparisonKey(each.path));
    }
    child.transferName = child.files.size() == 1 ? child.files[0].stagedName : name;
    return name;
  }

  // A folder staged whole: its name, unique in the run, then its files.
  std::string nameFolder(Dependency& folder) {
    const std::string name(folderBaseName(folder.resolved));
    const std::string key = comparisonKey(folder.resolved);
    int number = 1;
    while (!names_.freeFor(numberedName(name, number), key)) ++number;
    folder.transferName = numberedName(name, number);
    names_.claim(folder.transferName, key);
    expansion_.expand(folder);
    return folder.transferName;
  }

  void add(Dependency child, std::size_t branch) {
    found_.add(std::move(child));
    found_.items().back().branch = branch;
  }

  void keepInOrder(const std::string& path, FollowedCopy copy) {
    std::stable_sort(copy.edits.begin(), copy.edits.end(),
                     [](const Edit& a, const Edit& b) { return a.offset < b.offset; });
    followed_.keep(path, std::move(copy));
  }

  // A path a followed file names, resolved against that file's folder; a
  // file from another machine is looked for beside it first.
  std::string resolvedBeside(const std::string& namingFile, const std::string& recorded, const Dependency& named) {
    std::string entry = recorded;
    if (isRelativePath(entry)) joinDirectory(folderOf(namingFile), entry);
    entry = canonical(withoutHereSteps(entry));
    const bool pattern = NamePattern::of(baseName(recorded), named.tiling, named.frames).has_value();
    if (!pattern && !platform::fileOpens(entry, "r")) locateElsewhere(namingFile, entry, recorded, false);
    return entry;
  }

  // The folder of a file as the system names it, so that one file named
  // by two paths is one file of the run; the path as it is when its folder
  // cannot be entered.
  std::string canonical(const std::string& path) {
    std::string folder = path;
    if (!cutLastComponent(folder)) return path;
    auto known = folders_.find(folder);
    if (known == folders_.end()) {
      known = folders_.emplace(folder, absoluteFolder(folder)).first;
    }
    if (known->second.empty()) return path;
    std::string joined(baseName(path));
    joinDirectory(known->second, joined);
    return joined;
  }

  // `a\.\b` is `a\b`: layers write `./x` for a file beside them.
  static std::string withoutHereSteps(std::string path) {
    for (std::size_t at = path.find("\\.\\"); at != std::string::npos; at = path.find("\\.\\", at)) path.erase(at, 2);
    return path;
  }

  static std::string folderOf(const std::string& path) {
    std::string folder = path;
    if (!cutLastComponent(folder)) folder = platform::currentDirectory();
    return folder;
  }

  // The first number under which every file the dependency stands for
  // has a name no other file of the run took.
  int freeNumber(const Dependency& named) const {
    for (int number = 1;; ++number) {
      bool free = true;
      for (const DependencyFile& each : named.files) {
        if (!names_.freeFor(numberedName(stagedBaseName(each.path), number), comparisonKey(each.path))) free = false;
      }
      if (free) return number;
    }
  }

  DependencyList& found_;
  TextureExpansion& expansion_;
  FollowedFiles& followed_;
  RunLog& log_;
  StagedNames names_;
  std::map<std::string, std::string> folders_;
  // The prefix in force where a MaterialX document was first included.
  std::map<std::string, std::string> inheritedPrefixes_;
};

}  // namespace

const FollowedCopy* FollowedFiles::copyOf(const std::string& path) const {
  const auto copy = copies_.find(comparisonKey(path));
  return copy == copies_.end() ? nullptr : &copy->second;
}

void FollowedFiles::keep(const std::string& path, FollowedCopy copy) {
  copies_[comparisonKey(path)] = std::move(copy);
}

void followFiles(DependencyList& found, const WalkState& walk, TextureExpansion& expansion, FollowedFiles& followed,
                 RunLog& log) {
  Follower follower(found, expansion, followed, log);
  follower.nameSceneFiles(walk);
  follower.followAll();
}

bool writeFollowedCopy(const FollowedCopy& copy, const std::string& name) {
  if (copy.format == FollowedFormat::kArnoldSceneGz || copy.format == FollowedFormat::kMaterialX) {
    const std::optional<std::string> bytes = wholeBytes(copy.source, copy.format);
    bool whole = false;
    if (bytes) {
      const std::string edited = applyEdits(*bytes, copy.edits);
      whole = writeWholeFile(name, copy.format == FollowedFormat::kArnoldSceneGz ? deflateGzip(edited) : edited);
    }
    if (!whole) std::printf("ERROR: Unable to copy '%s' to '%s'\n", copy.source.c_str(), name.c_str());
    return whole;
  }
  std::unique_ptr<FilterStream> stream = FilterStream::openPair(copy.source, name, true);
  bool whole = stream && stream->inputOk() && stream->outputOk();
  if (whole) {
    copyWithEdits(*stream, copy.edits);
    whole = stream->commitOutput() && !stream->writeFailed();
  }
  if (stream && !whole) stream->discardOutput();
  if (!whole) std::printf("ERROR: Unable to copy '%s' to '%s'\n", copy.source.c_str(), name.c_str());
  return whole;
}
