// Every path a reader finds is recorded here, in every format: in the
// record's lists and, when the walk hands one over, in the run's list of
// dependencies, the two kept in step.

#include "job/scene_job.h"
#include "scene/file_attributes.h"

void SceneJob::recordFound(Dependency named, DependencyList* found) {
  const bool texture = named.kind == DependencyKind::kTexture;
  (texture ? textureFiles : sceneFiles).push_back(named.recorded);
  transferFiles.push_back(named.transferName);
  if (found == nullptr) return;
  named.scenePath = scenePath.value_or(std::string());
  if (texture) {
    named.namesFurtherFiles = namesFurtherFiles(findFileAttribute(named.nodeType, named.attribute), named.recorded);
  }
  found->add(std::move(named));
}
