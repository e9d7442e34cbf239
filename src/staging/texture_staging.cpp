#include "staging/texture_staging.h"

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "io/copy_batch.h"
#include "io/file_copy.h"
#include "staging/folder_tree.h"
#include "staging/followed_files.h"
#include "outcome/run_stop.h"
#include "job/run_options.h"
#include "job/scene_job.h"
#include "scene/walk_state.h"
#include "names/comparison_key.h"
#include "platform/platform.h"
#include "names/base_name.h"
#include "names/staging_name.h"
#include "names/windows_path.h"
#include "staging/particle_staging.h"

namespace {

struct StagedName {
  std::string source;       // the first texture of the run with this name
  bool presentBeforeRun;  // the user put a file of this name there already
};

// Two textures flattened to one name render with one image: acceptable
// only when they are the same image, or when the user chose the file. Two
// followed files of the same bytes may name different files beside them:
// one copy cannot name both.
void checkCollision(const StagedName& earlier, const std::string& texture, const std::string& name, bool followed) {
  if (earlier.presentBeforeRun || comparisonKey(earlier.source) == comparisonKey(texture)) return;
  if (!followed && sameContents(earlier.source, texture)) return;
  std::printf("ERROR: '%s' and '%s' would both be copied to '%s'.\n", earlier.source.c_str(),
              texture.c_str(), name.c_str());
  throw RunStop(exit_status::kFailure);
}

// A name with the delimiters a binary token may end with taken off: such an
// entry of the transfer line keeps them, the recorded path does not.
std::string withoutDelimiters(const std::string& name) {
  const bool copy = !name.empty() && name[0] == '~';
  std::string rest = name.substr(copy ? 1 : 0);
  SceneJob::trimDelimiters(rest);
  return (copy ? "~" : "") + rest;
}

// The dependency a transfer entry stands for, as the lists record it: the
// texture staged under that name, else the scene copied to it; the entry
// itself when none is.
std::string dependencyOf(const DependencyList& found, const WalkState& walk, const std::string& entry) {
  for (const std::string& name : {entry, withoutDelimiters(entry)}) {
    for (const Dependency& texture : found.items()) {
      for (const DependencyFile& file : texture.files) {
        if (nameInWorkingFolder(file) == name) return file.path;
      }
    }
    for (const auto& [key, owner] : walk.copyOwners) {
      if (sceneCopyName(owner.scenePath) == name) return owner.scenePath;
    }
  }
  return entry;
}

// The checks of one name that a texture is to be staged under.
void requireStageableTexture(const WalkState& walk, const std::string& texture, const std::string& name) {
  requireStageableName(texture, name);
  // On the render nodes the texture would take the copy's place.
  for (const auto& [key, owner] : walk.copyOwners) {
    if (namesOneFile(name, sceneCopyName(owner.scenePath))) refuseStagedName(texture, name);
  }
}

// Files that the texture names itself are left behind, whatever became of
// it: said once for each such file, however many nodes name it.
void warnOfFurtherFiles(const Dependency& texture, const std::string& file, std::set<std::string>& warned,
                        RunLog& log) {
  if (!texture.namesFurtherFiles || !warned.insert(comparisonKey(file)).second) return;
  log.warn("files that '" + file + "' names itself are not staged.");
}

// A cache's folder: its name and each name inside it (its files', and the
// folders' they lie in below it) are names the render nodes must take. A
// cache that stands for no file is not staged.
void requireStageableCache(const WalkState& walk, const Dependency& cache) {
  if (cache.files.empty()) return;
  requireStageableTexture(walk, cache.resolved, cache.transferName);
  // Every name below the folder's own: a folder staged whole keeps its subfolders.
  for (const DependencyFile& file : cache.files) {
    const std::string& name = file.stagedName;
    for (std::size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1)) {
      requireStageableNameInFolder(file.path, name.substr(at + 1, name.find('\\', at + 1) - at - 1));
    }
  }
}

// Before a cache's files: how much of it is staged, and its folder (with
// the folders it lies in, `particles\<folder>`), made here unless a dry
// run. Two different folders of one name would be one folder on the
// render nodes, whatever was here before.
void openCacheFolder(Dependency& cache, std::map<std::string, StagedName>& staged, const RunOptions& options) {
  // A folder staged whole has no frames to count.
  if (cache.cache->kind != CacheKind::kXgenData) {
    std::printf("Cache '%s': %zu of %zu frames.\n", cache.resolved.c_str(), cache.cache->framesStaged,
                cache.cache->framesInAll);
  }
  const std::string& folder = cache.transferName;
  const auto [known, first] = staged.try_emplace(comparisonKey(folder), StagedName{cache.resolved, false});
  try {
    if (!first) checkCollision(known->second, cache.resolved, folder, true);  // folders are never one by their bytes
  } catch (const RunStop&) {
    for (DependencyFile& file : cache.files) file.status = FileStatus::kNameCollision;
    throw;
  }
  // A folder that cannot be made fails each copy into it, and so the run.
  if (!options.dryRun) makeFoldersOf(folder + "\\");
}

// A file of a staged folder here that is not the one the run would stage
// (a frame an earlier run left, of another shot or simulation): frames
// have names any cache may have, so one found here must be the same.
// Their sizes tell most of them apart without reading either.
bool differsHere(const std::string& name, const std::string& source) {
  if (platform::sameFile(name, source)) return false;
  const std::optional<std::int64_t> here = fileSize(name), there = fileSize(source);
  if (!here || !there || *here == *there) return false;
  std::printf("ERROR: '%s' in current directory is not '%s'; it is left as it is.\n", name.c_str(), source.c_str());
  return true;
}

}  // namespace

void checkStagingNames(const SceneJob& job, const WalkState& walk, const DependencyList& found) {
  for (const Dependency& texture : found.items()) {
    // A name that stood for several files and matched none is never staged.
    if (texture.kind != DependencyKind::kTexture || texture.matchedNothing) continue;
    if (texture.cache && isParticleCache(*texture.cache)) continue;  // checked below
    if (texture.cache) {
      requireStageableCache(walk, texture);
      continue;
    }
    for (const DependencyFile& file : texture.files) requireStageableTexture(walk, file.path, nameInWorkingFolder(file));
  }
  // A scene's entry is its copy's name, checked as the walk claimed it, and
  // a texture's entry its staged name, unless a binary token left
  // delimiters on it.
  for (const std::string& entry : job.transferFiles) {
    if (isStageableName(entry) || isParticleTransferEntry(entry)) continue;
    refuseStagedName(dependencyOf(found, walk, entry), entry);
  }
  checkParticleStaging(found);
}

void stageTextures(DependencyList& found, const FollowedFiles& followed, const RunOptions& options, RunLog& log) {
  std::map<std::string, StagedName> staged;
  // Names found or copied here by now, as spelled, so that a texture named
  // again is known to be here without asking the system.
  std::set<std::string> here;
  // What a dry run would have copied by now: a run would find it here.
  std::set<std::string> wouldBeHere;
  // A name standing for several files that matched none fails the run once
  // the rest is staged: no job could find its files.
  bool unmatched = false;
  // So does a file that could not be copied into a staged folder: the
  // transfer line names the folder, which is there, so the submit tool
  // could not tell it lacks the file.
  bool folderIncomplete = false;
  std::set<std::string> warned;
  CopyBatch frames;
  ParticleStaging particles;
  for (Dependency& texture : found.items()) {
    if (texture.kind != DependencyKind::kTexture) continue;
    // A cache of which no frame renders (a container names caches it
    // never wrote) is left out, and said so.
    if (texture.cache && texture.expanded && texture.files.empty()) {
      log.warn("cache '" + texture.resolved + "' holds no frame the jobs render; nothing of it is staged.");
      continue;
    }
    if (texture.cache && !texture.matchedNothing) {
      openCacheFolder(texture, staged, options);
      if (isParticleCache(*texture.cache)) particles.open(options);
    }
    for (DependencyFile& file : texture.files) {
      const std::string& path = file.path;
      if (texture.matchedNothing) {
        std::printf("ERROR: No file matches '%s'.\n", path.c_str());
        if (options.dryRun) ++log.missingDependencies;
        unmatched = true;
        file.status = FileStatus::kMissing;
        warnOfFurtherFiles(texture, path, warned, log);
        continue;
      }
      const std::string name = nameInWorkingFolder(file);
      // A followed file's copy is written afresh, as a scene's is, unless
      // this run wrote it already.
      const FollowedCopy* copy = followed.copyOf(path);
      const bool present = here.count(name) > 0 || wouldBeHere.count(comparisonKey(name)) > 0 ||
                           (copy == nullptr && platform::fileOpens(name, "r"));
      const auto [known, first] = staged.try_emplace(comparisonKey(name), StagedName{path, present});
      try {
        if (!first) checkCollision(known->second, path, name, copy != nullptr);
      } catch (const RunStop&) {
        file.status = FileStatus::kNameCollision;
        throw;
      }

      if (texture.cache && !present && !options.dryRun) makeFoldersOf(name);
      FileStatus status = FileStatus::kMissing;
      if (present && texture.cache && differsHere(name, path)) {
        folderIncomplete = true;
      } else if (present) {
        std::printf("File '%s' found in current directory.\n", name.c_str());
        status = FileStatus::kFound;
      } else if (options.dryRun && platform::fileOpens(path, "r")) {
        std::printf("File '%s' would be copied to current directory.\n", name.c_str());
        wouldBeHere.insert(comparisonKey(name));
        status = FileStatus::kWouldBeCopied;
      } else if (options.dryRun) {
        std::printf("ERROR: Unable to copy '%s' to '%s'\n", path.c_str(), name.c_str());
        ++log.missingDependencies;
      } else if (texture.cache && copy == nullptr) {
        // A cache's frames are put on the disk together; each is told of
        // once it is there.
        frames.add(path, name, [&file, &here, &folderIncomplete, name](bool copied) {
          if (copied) {
            std::printf("File '%s' copied to current directory.\n", name.c_str());
            here.insert(name);
          }
          file.status = copied ? FileStatus::kCopied : FileStatus::kMissing;
          folderIncomplete = folderIncomplete || !copied;
        });
        continue;
      } else if (copy != nullptr ? writeFollowedCopy(*copy, name) : copyFile(path, name) == 1) {
        std::printf("File '%s' copied to current directory.\n", name.c_str());
        status = FileStatus::kCopied;
      }
      if (status == FileStatus::kFound || status == FileStatus::kCopied) here.insert(name);
      if (status == FileStatus::kMissing && texture.cache) folderIncomplete = true;
      file.status = status;
      warnOfFurtherFiles(texture, path, warned, log);
    }
    frames.finish();
  }
  if ((unmatched || folderIncomplete) && !options.dryRun) throw RunStop(exit_status::kFailure);
}
