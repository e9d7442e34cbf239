// Every path a recogniser finds is recorded here, in both formats: in the
// record's lists and, when the walk hands one over, in the run's list of
// dependencies, the two kept in step.

#include "job/scene_job.h"
#include "scene/file_attributes.h"
#include "scene/recognisers.h"

void SceneJob::recordFound(const Recognised& named, const Dependency* texture, DependencyList* found) {
  (texture == nullptr ? sceneFiles : textureFiles).push_back(named.recorded);
  transferFiles.push_back(named.newName);
  if (found == nullptr) return;
  Dependency entry = texture != nullptr ? *texture : Dependency{};
  entry.kind = texture != nullptr ? DependencyKind::kTexture : DependencyKind::kScene;
  entry.scenePath = scenePath.value_or(std::string());
  entry.written = named.written;
  entry.recorded = named.recorded;
  entry.resolved = named.recorded;
  entry.transferName = named.newName;
  if (texture != nullptr) {
    entry.namesFurtherFiles = namesFurtherFiles(findFileAttribute(entry.nodeType, entry.attribute), named.recorded);
  }
  found->add(std::move(entry));
}
