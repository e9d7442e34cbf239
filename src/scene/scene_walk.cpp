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
#include "scene/node_tracker.h"
#include "scene/scene_identity.h"
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

void passAsciiScene(SceneJob& job) {
  NodeTracker node;
  // Statements that no recogniser would take are written through by the
  // reader itself.
  while (job.readMarkedStatement(node) == 1) {
    const int reference = job.rewriteFileReference();
    const int texture = job.rewriteTextureAttribute(&node);
    // Today's `ftn` rule comes first: no statement is taken twice.
    const int attribute = reference == 0 && texture == 0 ? job.rewriteNodeAttribute(node) : 0;
    // Whole, NUL bytes and all: nothing of the scene is lost.
    if (reference == 0 && texture == 0 && attribute == 0) job.sceneStream->putBytes(job.statement, job.statementLength);
  }
  node.end(job.textureFacts);
}

void passBinaryScene(SceneJob& job) {
  // Tokens that no recogniser would take are written through by the
  // reader itself.
  while (job.readMarkedToken() == 1) {
    // A path token taken as a reference is never offered as a texture.
    if (job.rewriteBinaryReference() == 1) continue;
    if (job.rewriteBinaryTexture() == 1) continue;
    job.sceneStream->putString(job.statement);
  }
}

// Reads the scene into its copy; how it was read.
SceneReading passScene(SceneJob& job, bool referenced, const RunOptions& options, RunLog& log) {
  if (job.isBinary == 0) {
    passAsciiScene(job);
    return SceneReading::kStatements;
  }
  const SceneReading reading = job.passStructuredBinary(referenced, !options.dryRun, log);
  if (reading == SceneReading::kTokens) passBinaryScene(job);
  return reading;
}

// The child's entries pass to the parent; the child keeps none of them.
void takeOver(SceneJob& parent, SceneJob& child) {
  for (std::size_t j = 0; j < child.textureFiles.size(); ++j) {
    std::string& texture = child.textureFiles[j];
    std::string transferName(baseName(texture));
    normalizeSlashes(transferName);
    DependencyFacts facts = j < child.textureFacts.size() ? std::move(child.textureFacts[j]) : DependencyFacts{};
    facts.transferIndex = parent.transferFiles.size();
    parent.textureFiles.push_back(std::move(texture));
    parent.textureFacts.push_back(std::move(facts));
    parent.transferFiles.push_back(std::move(transferName));
  }
  child.textureFiles.clear();
  child.textureFacts.clear();

  // Scenes further down are transferred with the jobs as well: the copies
  // above them name them.
  for (std::string& scene : child.sceneFiles) {
    std::string transferName = sceneCopyName(scene);
    normalizeSlashes(transferName);
    parent.sceneFiles.push_back(std::move(scene));
    parent.transferFiles.push_back(std::move(transferName));
  }
  child.sceneFiles.clear();
}

// The scene's own references and textures, resolved; what its references
// were found as goes to `facts`. A path from another machine is looked for
// where the scene travelled to; names that stand for several files are
// looked for when they are staged.
void resolveOwnEntries(SceneJob& job, SceneFacts& facts) {
  // The scene's one folder to resolve against, asked for once it is needed.
  std::optional<std::string> folder;
  const auto base = [&]() -> const std::string& {
    if (!folder) folder = job.resolutionBase();
    return *folder;
  };
  for (std::string& scene : job.sceneFiles) {
    const std::string recorded = scene;
    normalizeSlashes(scene);
    if (isRelativePath(scene)) joinDirectory(base(), scene);
    if (!platform::fileOpens(scene, "r")) job.locateElsewhere(scene, recorded, true);
    facts.references.push_back({recorded, scene});
  }
  // Many nodes may name one texture: one found where its path leads is
  // looked for once.
  std::set<std::string> foundInPlace;
  for (std::size_t j = 0; j < job.textureFiles.size(); ++j) {
    const std::string recorded = job.textureFiles[j];
    std::string& texture = job.textureFiles[j];
    normalizeSlashes(texture);
    if (isRelativePath(texture)) joinDirectory(base(), texture);
    const DependencyFacts* textureFacts = j < job.textureFacts.size() ? &job.textureFacts[j] : nullptr;
    if (NamePattern::of(baseName(recorded), textureFacts ? textureFacts->tiling : 0,
                        textureFacts && textureFacts->frames)) {
      continue;
    }
    if (foundInPlace.count(texture) > 0) continue;
    if (platform::fileOpens(texture, "r")) {
      foundInPlace.insert(texture);
    } else {
      job.locateElsewhere(texture, recorded, false);
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

int SceneJob::scanScene(const RunOptions& options, RunLog& log, WalkState& walk) {
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

  SceneReading reading;
  try {
    reading = passScene(*this, !commandLineScene, options, log);
    // The copy is complete here: under its name now, it is whole on disk
    // before anything that names it is written or submitted.
    sceneStream->commitOutput();
  } catch (...) {
    discardCopy(*this);
    throw;
  }
  requireCopyWritten(*this, options);

  // Only what this scene itself named is in the lists yet.
  SceneFacts facts{*scenePath, absolutePath, sceneStream->outputPath(), isBinary != 0, reading, {}};
  resolveOwnEntries(*this, facts);
  log.scenes.push_back(std::move(facts));

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
    auto child = std::make_unique<SceneJob>(path);
    child->scanScene(options, log, walk);
    takeOver(*this, *child);
  }
  return 1;
}
