// Every path a reader finds is recorded here, in every format: in the
// record's lists and, when the walk hands one over, in the run's list of
// dependencies, the two kept in step.

#include "scene/dependency_record.h"

#include "job/scene_job.h"
#include "scene/file_attributes.h"

void recordFound(SceneJob& job, Dependency named, DependencyList* found) {
  const bool texture = named.kind == DependencyKind::kTexture;
  (texture ? job.textureFiles : job.sceneFiles).push_back(named.recorded);
  job.transferFiles.push_back(named.transferName);
  if (found == nullptr) return;
  named.scenePath = job.scenePath.value_or(std::string());
  if (texture) {
    named.namesFurtherFiles = namesFurtherFiles(findFileAttribute(named.nodeType, named.attribute), named.recorded);
  }
  found->add(std::move(named));
}
