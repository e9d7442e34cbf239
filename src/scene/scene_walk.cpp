// The walk over a scene and every scene it references. Each scene is read
// through its own record, rewritten into "~" + its base name in the
// working directory, and what its scan found is handed up to the record
// that referenced it, so the command-line record ends with the whole tree.

#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "outcome/run_stop.h"
#include "job/scene_job.h"
#include "names/base_name.h"
#include "names/comparison_key.h"
#include "names/name_pattern.h"
#include "names/windows_path.h"
#include "platform/platform.h"
#include "job/run_options.h"
#include "scene/ascii_scene_reader.h"
#include "scene/token_scene_reader.h"
#include "scene/dependency_record.h"
#include "scene/particle_folders.h"
#include "scene/path_resolution.h"
#include "scene/scene_identity.h"
#include "scene/structured_binary.h"
#include "scene/walk_state.h"
#include "names/staging_name.h"

namespace {

// A scene on the chain of references through which it was found would be
// scanned again and again without end.
bool isOnChain(const std::vector<std::string>& chain, const std::string& absolutePath) {
  const std::string key = comparisonKey(absolutePath);
  for (const std::string& scene : chain) {
    if (comparisonKey(scene) == key) return true;
  }
  return false;
}

// Each job's Arguments line ends with the command-line scene's copy, and
// the batch system splits that line at blanks.
void requirePassableToJobs(const std::string& scenePath, const std::string& copyName) {
  if (!holdsBlank(copyName)) return;
  std::printf("ERROR: '%s' cannot be passed to the render jobs: its name holds a space.\n", scenePath.c_str());
  throw RunStop(exit_status::kFailure);
}

// Checked before the scene is opened, so no copy is written under a name
// the run may not use. Two different scenes of one run would be rewritten
// into one file, the later over the earlier; the run cannot go on with
// either copy. Names that differ in case only are one file on the render
// nodes, whatever system submits.
void claimCopyName(const std::string& scenePath, const std::string& absolutePath, bool commandLineScene,
                   WalkState& walk) {
  const std::string copyName = sceneCopyName(scenePath);
  if (commandLineScene) requirePassableToJobs(scenePath, copyName);
  requireStageableName(scenePath, copyName);
  auto found = walk.copyOwners.find(caseFolded(copyName));
  if (found == walk.copyOwners.end()) {
    walk.copyOwners.emplace(caseFolded(copyName), WalkState::CopyOwner{scenePath, absolutePath});
    return;
  }
  if (comparisonKey(found->second.absolutePath) == comparisonKey(absolutePath)) return;
  if (sceneCopyName(found->second.scenePath) != copyName) refuseStagedName(scenePath, copyName);
  std::printf("ERROR: '%s' and '%s' would both be copied to '%s'.\n", found->second.scenePath.c_str(),
              scenePath.c_str(), copyName.c_str());
  throw RunStop(exit_status::kFailure);
}

// A copy that was not written whole must not stay behind looking like a
// finished one. Called while the scan of `job`'s scene is cut short. (A
// stream cut short while opening removes its own output.)
void discardCopy(SceneJob& job) {
  if (job.sceneStream) job.sceneStream->discardOutput();
}

// A copy that was not written whole would be sent to the jobs as if it were.
void requireCopyWritten(SceneJob& job, const RunOptions& options) {
  if (options.dryRun) return;
  const FilterStream& stream = *job.sceneStream;
  if (stream.outputOk() && !stream.writeFailed()) return;
  std::printf("ERROR: Can not write file: '%s'\n", stream.outputPath().c_str());
  discardCopy(job);
  throw RunStop(exit_status::kFailure);
}

// What a reader found, recorded by the scene that named it.
void recordPlan(SceneJob& job, ScenePlan plan, DependencyList& found) {
  for (Dependency& named : plan.named) recordFound(job, std::move(named), &found);
}

// Reads the scene into its copy; how it was read.
SceneReading passScene(SceneJob& job, bool referenced, const RunOptions& options, RunLog& log,
                       DependencyList& found) {
  if (job.isBinary == 0) {
    recordPlan(job, readAsciiScene(*job.sceneStream), found);
    return SceneReading::kStatements;
  }
  const SceneReading reading = passStructuredBinary(job, referenced, !options.dryRun, log, &found);
  if (reading == SceneReading::kTokens) recordPlan(job, readTokenScene(*job.sceneStream), found);
  return reading;
}

// The child's entries pass to the parent; the child keeps none of them.
// Scenes further down are transferred with the jobs as well: the copies
// above them name them.
void takeOver(SceneJob& parent, SceneJob& child) {
  for (std::string& texture : child.textureFiles) {
    parent.transferFiles.push_back(handedOnTransferName(DependencyKind::kTexture, texture));
    parent.textureFiles.push_back(std::move(texture));
  }
  child.textureFiles.clear();
  for (std::string& scene : child.sceneFiles) {
    parent.transferFiles.push_back(handedOnTransferName(DependencyKind::kScene, scene));
    parent.sceneFiles.push_back(std::move(scene));
  }
  child.sceneFiles.clear();
}

// The scene's own references and textures, resolved, in the record's lists
// and in the run's list alike: the entries of `found` from `first` on are
// what the scene itself named, in the order the lists got them. A path from another machine is
// looked for where the scene travelled to; names that stand for several
// files are looked for when they are staged.
void resolveOwnEntries(SceneJob& job, DependencyList& found, std::size_t first) {
  const std::string naming = job.scenePath.value_or(std::string());
  // The scene's one folder to resolve against, asked for once it is needed.
  std::optional<std::string> folder;
  const auto base = [&]() -> const std::string& {
    if (!folder) folder = resolutionBase(job.scenePath.value_or(std::string()));
    return *folder;
  };
  // Many nodes may name one texture: one found where its path leads is
  // looked for once.
  std::set<std::string> foundInPlace;
  std::vector<Dependency>& items = found.items();
  // The references first, then the textures: each kind in its list's order.
  for (const DependencyKind kind : {DependencyKind::kScene, DependencyKind::kTexture}) {
    const bool scene = kind == DependencyKind::kScene;
    std::size_t next = 0;
    for (std::size_t i = first; i < items.size(); ++i) {
      Dependency& named = items[i];
      if (named.kind != kind) continue;
      std::string& entry = scene ? job.sceneFiles[next++] : job.textureFiles[next++];
      const std::string recorded = entry;
      normalizeSlashes(entry);
      if (named.cache && isParticleCache(*named.cache)) {
        locateParticleFolder(naming, entry, recorded);
        named.resolved = entry;
        continue;
      }
      if (isRelativePath(entry)) joinDirectory(base(), entry);
      if (scene) {
        if (!platform::fileOpens(entry, "r")) locateElsewhere(naming, entry, recorded, true);
      } else if (named.cache) {
        // Only a cacheFile node's cache has a description to look for.
        const bool described = named.cache->kind == CacheKind::kCacheFile;
        locateCacheFolder(naming, entry, recorded, described ? named.cache->cacheName : std::string());
      } else if (!locateBesideScene(naming, recorded, entry) &&
                 !NamePattern::of(baseName(recorded), named.tiling, named.frames) && foundInPlace.count(entry) == 0) {
        if (platform::fileOpens(entry, "r")) {
          foundInPlace.insert(entry);
        } else {
          locateElsewhere(naming, entry, recorded, false);
        }
      }
      named.resolved = entry;
    }
  }
}

// Leaves the walk's chain as it found it, however the scan ends.
class ChainStep {
 public:
  ChainStep(WalkState& walk, const std::string& absolutePath) : walk_(walk) { walk_.chain.push_back(absolutePath); }
  ~ChainStep() { walk_.chain.pop_back(); }
  ChainStep(const ChainStep&) = delete;
  ChainStep& operator=(const ChainStep&) = delete;

 private:
  WalkState& walk_;
};

}  // namespace

int SceneJob::scanScene(const RunOptions& options, RunLog& log, WalkState& walk, DependencyList& found) {
  const bool commandLineScene = walk.chain.empty();
  const std::string absolutePath = scenePath ? makeAbsoluteScenePath(*scenePath) : std::string();
  if (scenePath) {
    claimCopyName(*scenePath, absolutePath, commandLineScene, walk);
    walk.scenesMet.insert(comparisonKey(absolutePath));
  }
  const ChainStep step(walk, absolutePath);
  int opened = 0;
  try {
    opened = openScene(!options.dryRun);
  } catch (...) {  // out of memory while loading the scene
    discardCopy(*this);
    throw;
  }
  if (opened == 0) {
    std::printf("Unable to open '%s'\n", scenePath ? scenePath->c_str() : "");
    // A dry run goes on to show everything else the tree names.
    if (!options.dryRun || commandLineScene) throw RunStop(exit_status::kFailure);
    ++log.missingDependencies;
    return 0;
  }
  std::printf("Examining '%s'.\n", scenePath->c_str());

  const std::size_t first = found.items().size();
  SceneReading reading;
  try {
    reading = passScene(*this, !commandLineScene, options, log, found);
    // The copy is complete here: under its name now, it is whole on disk
    // before anything that names it is written or submitted.
    sceneStream->commitOutput();
  } catch (...) {
    discardCopy(*this);
    throw;
  }
  requireCopyWritten(*this, options);

  // Only what this scene itself named is in the lists yet. The scene is
  // logged, and its references reported, once they are resolved.
  resolveOwnEntries(*this, found, first);
  log.scenes.push_back({*scenePath, absolutePath, sceneStream->outputPath(), isBinary != 0, reading});

  // Only this scene's own references: what a child hands over was walked
  // by the child. A scene met before in the run was read then; reading it
  // again would repeat its lines and entries once per path to it, which
  // grows without bound down a deep tree.
  const std::size_t ownReferences = sceneFiles.size();
  for (std::size_t i = 0; i < ownReferences; ++i) {
    const std::string path = sceneFiles[i];
    const std::string childPath = makeAbsoluteScenePath(path);
    if (isOnChain(walk.chain, childPath)) {
      std::printf("Skipping '%s': circular reference.\n", path.c_str());
      continue;
    }
    if (walk.scenesMet.count(comparisonKey(childPath)) > 0) continue;
    // Each scene the command-line scene names is read, with all below it,
    // as one branch of the run's list.
    if (commandLineScene) found.openBranch(++walk.branches);
    auto child = std::make_unique<SceneJob>(path);
    child->scanScene(options, log, walk, found);
    takeOver(*this, *child);
    if (commandLineScene) found.closeBranch();
  }
  return 1;
}
