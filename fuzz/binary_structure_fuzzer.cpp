// Binary scenes read by their structure, against a plain walk of groups
// and chunks written here. A well-formed scene is read that way: its copy
// is well formed too, with the same groups and chunks in the same order,
// and differs only inside the path of each reference and the value of
// each file texture and cache folder (and in the sizes around a reference
// that grew); those and nothing else are recorded. Any other scene is left
// to the token reader with nothing recorded, and a referenced file that
// does not begin as a Maya scene is copied as it is.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "scene/structured_binary.h"

namespace {

// What the copy names instead of a path: "~" + the base name of a scene, the base name of a file, the name of a
// folder (the separators it ends with taken off first).
std::string newName(const fuzz::IffPath& path) {
  std::string text = path.text;
  while (path.folder && !text.empty() && (text.back() == '/' || text.back() == '\\')) text.pop_back();
  return fuzz::normalizeSlashes((path.reference ? "~" : "") + fuzz::baseName(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string scene(reinterpret_cast<const char*>(data), size);
  std::vector<fuzz::IffItem> items;
  const bool wellFormed = fuzz::walkMayaIff(scene, items);
  const bool mayaForm = (scene.compare(0, 4, "FOR4") == 0 && scene.size() >= 12 && scene.substr(8, 4) == "Maya") ||
                        (scene.compare(0, 4, "FOR8") == 0 && scene.size() >= 20 && scene.substr(16, 4) == "Maya");

  // Read as a referenced scene: one that is no Maya scene at all is copied as it is.
  fuzz::writeBytes("scene.mb", scene);
  auto job = std::make_unique<SceneJob>("scene.mb");
  FUZZ_CHECK(job->openScene() == 1);
  RunLog log;
  const int read = passStructuredBinary(*job, true, true, log) == SceneReading::kTokens ? 0 : 1;
  FUZZ_CHECK(read == (wellFormed || !mayaForm ? 1 : 0));
  if (!wellFormed) {
    FUZZ_CHECK(job->sceneFiles.empty() && job->textureFiles.empty() && job->transferFiles.empty());
    const std::string copy = fuzz::closeCopy(*job, "~scene.mb");
    FUZZ_CHECK(copy == (read == 1 ? scene : ""));
    return 0;
  }

  std::vector<std::string> scenes, textures, transfers;
  for (const fuzz::IffItem& item : items) {
    const auto path = fuzz::namedPath(item);
    if (!path || path->text.empty()) continue;
    (path->reference ? scenes : textures).push_back(fuzz::normalizeSlashes(path->text));
    transfers.push_back(newName(*path));
  }
  FUZZ_CHECK(job->sceneFiles == scenes);
  FUZZ_CHECK(job->textureFiles == textures);
  FUZZ_CHECK(job->transferFiles == transfers);

  const std::string copy = fuzz::closeCopy(*job, "~scene.mb");
  std::vector<fuzz::IffItem> copied;
  FUZZ_CHECK(fuzz::walkMayaIff(copy, copied));
  FUZZ_CHECK(copied.size() == items.size());
  bool grew = false;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const fuzz::IffItem& before = items[i];
    const fuzz::IffItem& after = copied[i];
    FUZZ_CHECK(before.tag == after.tag && before.form == after.form && before.ignored == after.ignored);
    const auto path = fuzz::namedPath(before);
    if (!path || path->text.empty()) {
      FUZZ_CHECK(before.data == after.data);
      continue;
    }
    // The path field holds the new name, padded with spaces to the old length, or grown to hold it whole
    // (or, where a size could not grow, cut to the old length); the rest of the chunk is as it was.
    const std::string name = newName(*path);
    const std::size_t end = path->at + path->text.size();
    const std::size_t field = after.data.size() - (before.data.size() - end) - path->at;
    FUZZ_CHECK(after.data.compare(0, path->at, before.data, 0, path->at) == 0);
    FUZZ_CHECK(after.data.compare(path->at + field, std::string::npos, before.data, end, std::string::npos) == 0);
    const std::string written = after.data.substr(path->at, field);
    if (field > path->text.size()) {
      FUZZ_CHECK(path->reference && written == name);
      grew = true;
    } else {
      FUZZ_CHECK(field == path->text.size() && written == fuzz::overwritePadded(path->text, name));
    }
  }
  FUZZ_CHECK(grew || copy.size() == scene.size());
  return 0;
}
