// Binary scenes read by their structure: what a well-formed scene names is
// found before a byte of the copy is written, then the scene streams
// through to its copy with the found paths (and, where a path grows, the
// sizes around it) replaced.

#include <algorithm>
#include <cstdio>

#include "job/scene_job.h"
#include "scene/binary_dependencies.h"

namespace {

// Writes the input up to `offset`, or to its end.
void passUntil(FilterStream& stream, std::int64_t offset) {
  while (stream.position() < offset) {
    const std::string_view ahead = stream.inputAhead();
    if (ahead.empty()) return;
    const std::size_t n = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(ahead.size()), offset - stream.position()));
    stream.putBytes(ahead.data(), n);
    stream.skipInput(n);
  }
}

void skipUntil(FilterStream& stream, std::int64_t offset) {
  while (stream.position() < offset) {
    const std::string_view ahead = stream.inputAhead();
    if (ahead.empty()) return;
    stream.skipInput(static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(ahead.size()), offset - stream.position())));
  }
}

}  // namespace

int SceneJob::passStructuredBinary() {
  FilterStream& stream = *sceneStream;
  // A copy that cannot be written has nothing read into it either.
  if (!stream.inputOk() || !stream.outputOk()) return 1;
  const BinaryScenePlan plan = planBinaryScene(*scenePath, stream.inputSize());
  if (!plan.wellFormed) {
    // A cache, a mesh or a text that a scene references is sent as it is.
    if (parent != nullptr && !plan.mayaForm) {
      stream.passRest();
      return 1;
    }
    std::printf("WARNING: '%s' is not a well-formed Maya binary scene; reading it token by token.\n",
                scenePath->c_str());
    return 0;
  }
  for (const BinaryDependency& found : plan.dependencies) {
    std::string path = found.path;
    normalizeSlashes(path);
    (found.isReference ? sceneFiles : textureFiles).push_back(std::move(path));
    transferFiles.push_back(found.newName);
  }
  for (const BinaryEdit& edit : plan.edits) {
    passUntil(stream, edit.offset);
    skipUntil(stream, edit.offset + edit.length);
    stream.putBytes(edit.bytes.data(), edit.bytes.size());
  }
  stream.passRest();
  return 1;
}
