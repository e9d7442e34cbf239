// The walk over a scene and every scene it references. Each scene is read
// through its own record, rewritten into "~" + its base name in the
// working directory, and what its scan found is handed up to the record
// that referenced it, so the command-line record ends with the whole tree.

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "job/run_stop.h"
#include "job/scene_job.h"
#include "names/base_name.h"
#include "names/comparison_key.h"
#include "names/name_pattern.h"
#include "platform/platform.h"
#include "scene/scene_identity.h"
#include "submit/staging_name.h"

namespace {

// A scene on the chain of references through which it was found would be
// scanned again and again without end. Entries handed up from a child keep
// the chain they were found on, so a cycle is also seen when a parent
// scans a child's references again.
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
void claimCopyName(SceneJob& job) {
  const std::string copyName = sceneCopyName(*job.scenePath);
  if (job.parent == nullptr) requirePassableToJobs(*job.scenePath, copyName);
  requireStageableName(*job.scenePath, copyName);
  auto& owners = job.commandLineRecord().copyOwners;
  auto found = owners.find(caseFolded(copyName));
  if (found == owners.end()) {
    owners.emplace(caseFolded(copyName), SceneJob::CopyOwner{*job.scenePath, job.absoluteScenePath});
    return;
  }
  if (comparisonKey(found->second.absolutePath) == comparisonKey(job.absoluteScenePath)) return;
  if (sceneCopyName(found->second.scenePath) != copyName) refuseStagedName(*job.scenePath, copyName);
  std::printf("ERROR: '%s' and '%s' would both be copied to '%s'.\n", found->second.scenePath.c_str(),
              job.scenePath->c_str(), copyName.c_str());
  throw RunStop(exit_status::kFailure);
}

// A copy that was not written whole must not stay behind looking like a
// finished one. Called while the scan of `job`'s scene is cut short. (A
// stream cut short while opening removes its own output.)
void discardCopy(SceneJob& job) {
  if (job.sceneStream) job.sceneStream->discardOutput();
}

// A copy that was not written whole would be sent to the jobs as if it were.
void requireCopyWritten(SceneJob& job) {
  if (job.dryRun) return;
  const FilterStream& stream = *job.sceneStream;
  if (stream.outputOk() && !stream.writeFailed()) return;
  std::printf("ERROR: Can not write file: '%s'\n", stream.outputPath().c_str());
  discardCopy(job);
  throw RunStop(exit_status::kFailure);
}

void passAsciiScene(SceneJob& job) {
  // Statements that no recogniser would take are written through by the
  // reader itself.
  while (job.readMarkedStatement() == 1) {
    const int reference = job.rewriteFileReference();
    const int texture = job.rewriteTextureAttribute();
    // Today's `ftn` rule comes first: no statement is taken twice.
    const int attribute = reference == 0 && texture == 0 ? job.rewriteNodeAttribute() : 0;
    // Whole, NUL bytes and all: nothing of the scene is lost.
    if (reference == 0 && texture == 0 && attribute == 0) job.sceneStream->putBytes(job.statement, job.statementLength);
  }
  job.endNode();
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

// The child's entries pass to the parent; the child keeps none of them.
void takeOver(SceneJob& parent, SceneJob& child) {
  for (std::size_t j = 0; j < child.textureFiles.size(); ++j) {
    std::string& texture = child.textureFiles[j];
    std::string transferName(baseName(texture));
    SceneJob::normalizeSlashes(transferName);
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
  for (std::size_t j = 0; j < child.sceneFiles.size(); ++j) {
    std::string transferName = sceneCopyName(child.sceneFiles[j]);
    SceneJob::normalizeSlashes(transferName);
    parent.sceneFiles.push_back(std::move(child.sceneFiles[j]));
    parent.sceneFileChains.push_back(std::move(child.sceneFileChains[j]));
    parent.transferFiles.push_back(std::move(transferName));
  }
  child.sceneFiles.clear();
  child.sceneFileChains.clear();
}

}  // namespace

int SceneJob::scanScene() {
  if (scenePath) {
    absoluteScenePath = makeAbsoluteScenePath(*scenePath);
    if (referenceChain.empty()) referenceChain.push_back(absoluteScenePath);
    claimCopyName(*this);
  }
  int opened = 0;
  try {
    opened = openScene();
  } catch (...) {  // out of memory while loading the scene
    discardCopy(*this);
    throw;
  }
  if (opened == 0) {
    std::printf("Unable to open '%s'\n", scenePath ? scenePath->c_str() : "");
    // A dry run goes on to show everything else the tree names.
    if (!dryRun || parent == nullptr) throw RunStop(exit_status::kFailure);
    ++commandLineRecord().missingDependencies;
    return 0;
  }
  std::printf("Examining '%s'.\n", scenePath->c_str());

  try {
    if (isBinary == 0) {
      passAsciiScene(*this);
    } else if (passStructuredBinary() == 0) {
      passBinaryScene(*this);
    }
    // The copy is complete here: under its name now, it is whole on disk
    // before anything that names it is written or submitted.
    sceneStream->commitOutput();
  } catch (...) {
    discardCopy(*this);
    throw;
  }
  requireCopyWritten(*this);

  // Only what this scene itself named is in the lists yet.
  // A path from another machine is looked for where the scene travelled to;
  // names that stand for several files are looked for when they are staged.
  SceneFacts facts{*scenePath, absoluteScenePath, sceneStream->outputPath(),
                   isBinary == 0 ? "ascii" : std::string(readingMode) == "as is" ? "other" : "binary",
                   readingMode, {}};
  for (std::string& scene : sceneFiles) {
    const std::string recorded = scene;
    resolveDependencyPath(scene);
    if (!platform::fileOpens(scene, "r")) locateElsewhere(scene, recorded, true);
    facts.references.push_back({recorded, scene});
  }
  commandLineRecord().sceneFacts.push_back(std::move(facts));
  // Many nodes may name one texture: one found where its path leads is
  // looked for once.
  std::set<std::string> foundInPlace;
  for (std::size_t j = 0; j < textureFiles.size(); ++j) {
    const std::string recorded = textureFiles[j];
    std::string& texture = textureFiles[j];
    resolveDependencyPath(texture);
    const DependencyFacts* facts = j < textureFacts.size() ? &textureFacts[j] : nullptr;
    if (NamePattern::of(baseName(recorded), facts ? facts->tiling : 0, facts && facts->frames)) continue;
    if (foundInPlace.count(texture) > 0) continue;
    if (platform::fileOpens(texture, "r")) {
      foundInPlace.insert(texture);
    } else {
      locateElsewhere(texture, recorded, false);
    }
  }
  sceneFileChains.assign(sceneFiles.size(), referenceChain);

  // The bound is read on every pass: what a child hands over is scanned
  // again from here.
  for (std::size_t i = 0; i < sceneFiles.size(); ++i) {
    const std::string path = sceneFiles[i];
    const std::string absolutePath = makeAbsoluteScenePath(path);
    if (isOnChain(sceneFileChains[i], absolutePath)) {
      std::printf("Skipping '%s': circular reference.\n", path.c_str());
      continue;
    }
    auto child = std::make_unique<SceneJob>(path, this);
    child->referenceChain = sceneFileChains[i];
    child->referenceChain.push_back(absolutePath);
    child->scanScene();
    takeOver(*this, *child);
  }
  return 1;
}
