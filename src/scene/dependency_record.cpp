// Every path a recogniser finds is recorded here, in both formats: in the
// record's lists and, when the walk hands one over, in the run's list of
// dependencies, the two kept in step.

#include "job/scene_job.h"
#include "scene/file_attributes.h"
#include "scene/path_variables.h"

std::string SceneJob::recordPath(const std::string& text, const Dependency* texture, DependencyList* found) {
  std::string path = expandVariables(text);
  normalizeSlashes(path);
  (texture == nullptr ? sceneFiles : textureFiles).push_back(path);
  if (found == nullptr) return path;
  Dependency entry = texture != nullptr ? *texture : Dependency{};
  entry.kind = texture != nullptr ? DependencyKind::kTexture : DependencyKind::kScene;
  entry.scenePath = scenePath.value_or(std::string());
  entry.written = text;
  entry.recorded = path;
  entry.resolved = path;
  if (texture != nullptr) {
    entry.namesFurtherFiles = namesFurtherFiles(findFileAttribute(entry.nodeType, entry.attribute), path);
  }
  found->add(std::move(entry));
  return path;
}

void SceneJob::recordTransfer(const std::string& name, DependencyList* found) {
  transferFiles.push_back(name);
  if (found != nullptr) found->items().back().transferName = name;
}
