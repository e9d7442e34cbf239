// The binary recognisers. A token that holds a marker announces that the
// next token is a path; the path is recorded and overwritten in place with
// its new name, so every later byte of the copy keeps its position.

#include <cstring>
#include <string>
#include <vector>

#include "job/scene_job.h"
#include "names/base_name.h"
#include "names/windows_path.h"
#include "scene/binary_markers.h"
#include "scene/dependency_record.h"
#include "scene/node_tracker.h"
#include "scene/recognisers.h"

namespace {

// Shared by both recognisers: `prefix` starts the new name ("~" for a
// scene copy); with `texture` the path is a texture's.
int rewriteMarkedPath(SceneJob& job, const char* marker, const char* prefix, const Dependency* texture) {
  if (std::strstr(job.statement, marker) == nullptr) return 0;
  job.sceneStream->putString(job.statement);
  if (job.readToken() == 0) return 0;

  const Recognised named = recogniseMarkedToken(job.statement, prefix);
  recordFound(job, dependencyOf(named, texture != nullptr ? DependencyKind::kTexture : DependencyKind::kScene,
                               texture != nullptr ? *texture : Dependency{}),
                  nullptr);
  // Overwritten in place: every later byte of the copy keeps its position.
  std::memcpy(job.statement, named.rewritten.data(), named.rewritten.size());
  job.sceneStream->putString(job.statement);
  return 1;
}

}  // namespace

int SceneJob::rewriteBinaryReference() {
  if (!sceneStream) return 0;
  return rewriteMarkedPath(*this, kReferenceMarker, "~", nullptr);
}

int SceneJob::rewriteBinaryTexture() {
  if (!sceneStream) return 0;
  const Dependency texture = NodeTracker().textureOf("ftn");
  return rewriteMarkedPath(*this, kTextureMarker, "", &texture);
}
