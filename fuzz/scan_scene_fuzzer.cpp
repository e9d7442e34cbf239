// The scan of one whole scene into its rewritten copy, through scanScene
// as a run does it. The copy must be what the reference walk makes of the
// scene (for an ASCII scene without a keyword: the scene itself; for a
// binary one: the scene's length, changed only inside path tokens; for a
// well-formed Maya binary scene: a well-formed scene), the
// textures must be recorded and resolved, and the current directory must
// be the working directory again afterwards. A reference can only name a
// scene that is not there (inputs whose references could be opened are
// left out), so a scene that references anything must end the run with
// status 2, after its own copy was written whole.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "outcome/run_stop.h"
#include "platform/platform.h"

namespace {

// The folder above the workspace, where relative paths are resolved.
const std::string& resolutionBase() {
  static const std::string base = [] {
    const std::string& workspace = fuzz::workspace();
    const std::string above = workspace.substr(0, workspace.find_last_of('/'));
    return above.empty() ? std::string("/") : above;
  }();
  return base;
}

bool isRelative(const std::string& path) {
  std::size_t i = path.find_first_not_of("\n\t \r");
  if (i == std::string::npos) return true;
  const auto at = [&](std::size_t k) { return i + k < path.size() ? path[i + k] : '\0'; };
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (fuzz::isLetter(static_cast<unsigned char>(at(0))) && at(1) == ':' && separator(at(2))) return false;
  return !separator(at(0));
}

std::string resolved(const std::string& entry) {
  if (!isRelative(entry)) return entry;
  const std::string& base = resolutionBase();
  const bool separated = !base.empty() && (base.back() == '\\' || base.back() == '/');
  return fuzz::normalizeSlashes(base + (separated ? "" : "\\") + entry);
}

bool isExistingFile(const std::string& entry) {
  struct stat info;
  return stat(platform::systemPath(resolved(entry)).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// A dependency that does not open is looked for by its base name beside
// the scene, in the folder above and in that folder's sourceimages and
// scenes: inputs that would find one there are left out.
bool isFoundElsewhere(const std::string& entry) {
  if (isExistingFile(entry)) return false;
  const std::string name = entry.substr(entry.find_last_of("\\/") + 1);
  if (name.empty() || name == "." || name == "..") return false;
  const std::string& above = resolutionBase();
  for (const std::string& folder : {fuzz::workspace(), above, above + "/sourceimages", above + "/scenes"}) {
    struct stat info;
    if (stat((folder + "/" + name).c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) return true;
  }
  return false;
}

struct Expected {
  bool structured = false;  // a well-formed Maya binary scene: no copy expected byte for byte
  std::string copy;
  std::vector<std::string> scenes, textures, transfers;
};

Expected expectedScan(const std::string& scene) {
  Expected e;
  if (scene.size() >= 6 && scene.compare(0, 6, "//Maya") == 0) {
    // The statements as the reader cuts them; the reader's own target
    // holds it to its rules.
    SceneJob reader("scene.ma");
    FUZZ_CHECK(reader.openScene() == 1);
    fuzz::AsciiOutcome outcome;
    while (reader.nextStatement() == 1) {
      fuzz::walkStatement(std::string(reader.statement, reader.statementLength), outcome);
    }
    e.copy = outcome.written;
    e.scenes = outcome.scenes;
    e.textures = outcome.textures;
    e.transfers = outcome.transfers;
  } else if (std::vector<fuzz::IffItem> items; fuzz::walkMayaIff(scene, items)) {
    // Read by its structure; the copy is held to its rules by the binary_structure target, here only to being
    // well formed.
    for (const fuzz::IffItem& item : items) {
      const auto path = fuzz::namedPath(item);
      if (!path || path->text.empty()) continue;
      (path->reference ? e.scenes : e.textures).push_back(fuzz::normalizeSlashes(path->text));
      e.transfers.push_back(fuzz::normalizeSlashes((path->reference ? "~" : "") + fuzz::baseName(path->text)));
    }
    e.structured = true;
  } else {
    fuzz::BinaryOutcome outcome = fuzz::walkBinary(scene);
    e.copy = outcome.copy;
    e.scenes = outcome.scenes;
    e.textures = outcome.textures;
    e.transfers = outcome.transfers;
  }
  for (std::string& texture : e.textures) texture = resolved(texture);
  return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string scene(reinterpret_cast<const char*>(data), size);
  // Variables would expand to whatever this machine holds.
  if (scene.find('$') != std::string::npos) return -1;
  fuzz::writeBytes("scene.ma", scene);
  const Expected expected = expectedScan(scene);
  // Only scenes whose references lead nowhere: the walk must not wander
  // into the rest of the machine.
  for (const std::string& reference : expected.scenes) {
    if (isExistingFile(reference) || isFoundElsewhere(reference)) return -1;
  }
  for (const std::string& texture : expected.textures) {
    if (isFoundElsewhere(texture)) return -1;
  }
  // The reference rules know no nodes: an ASCII scene that creates any is
  // held to the invariants alone.
  const bool nodeFree = scene.find("createNode") == std::string::npos;

  SceneJob job;
  job.scenePath = "scene.ma";
  int status = 0;
  try {
    RunLog log;
    WalkState walk;
    DependencyList found;
    FUZZ_CHECK(job.scanScene(RunOptions{}, log, walk, found) == 1);
  } catch (const RunStop& stop) {
    status = stop.status();
  }
  FUZZ_CHECK(fuzz::currentDirectory() == fuzz::workspace());
  FUZZ_CHECK(status == (expected.scenes.empty() ? 0 : exit_status::kFailure));

  // The copy is complete before any referenced scene is looked at.
  if (nodeFree || job.isBinary == 1) {
    std::vector<fuzz::IffItem> copied;
    FUZZ_CHECK(expected.structured ? fuzz::walkMayaIff(fuzz::readBytes("~scene.ma"), copied)
                                   : fuzz::readBytes("~scene.ma") == expected.copy);
  }
  if (status == 0 && (nodeFree || job.isBinary == 1)) {
    FUZZ_CHECK(job.sceneFiles.empty());
    FUZZ_CHECK(job.textureFiles == expected.textures);
    FUZZ_CHECK(job.transferFiles == expected.transfers);
    if (scene.find(fuzz::kReferenceKeyword) == std::string::npos &&
        scene.find(fuzz::kTextureKeyword) == std::string::npos && job.isBinary == 0) {
      FUZZ_CHECK(fuzz::readBytes("~scene.ma") == scene);
    }
    if (job.isBinary == 1 && !expected.structured) FUZZ_CHECK(expected.copy.size() == scene.size());
  }
  return 0;
}
