// Binary scenes read by their structure: what a well-formed scene names is
// found before a byte of the copy is written, then the scene streams
// through to its copy with the found paths (and, where a path grows, the
// sizes around it) replaced.

#include <algorithm>
#include <cstdio>

#include "scene/structured_binary.h"

#include "job/scene_job.h"
#include "scene/dependency_record.h"
#include "io/edits.h"
#include "scene/binary_dependencies.h"
#include "scene/recognisers.h"

SceneReading passStructuredBinary(SceneJob& job, bool referenced, bool writeCopy, RunLog& log, DependencyList* found) {
  FilterStream& stream = *job.sceneStream;
  // A copy that cannot be written has nothing read into it either.
  if (!stream.inputOk() || (!stream.outputOk() && writeCopy)) return SceneReading::kStructure;
  const BinaryScenePlan plan = planBinaryScene(*job.scenePath, stream.inputSize());
  if (!plan.wellFormed) {
    // A cache, a mesh or a text that a scene references is sent as it is.
    if (referenced && !plan.mayaForm) {
      stream.passRest();
      return SceneReading::kAsIs;
    }
    log.warn("'" + *job.scenePath + "' is not a well-formed Maya binary scene; reading it token by token.");
    return SceneReading::kTokens;
  }
  for (const BinaryDependency& named : plan.dependencies) {
    Dependency texture;
    texture.nodeType = named.nodeType;
    texture.attribute = named.attribute;
    texture.tiling = named.tiling;
    texture.frames = named.frames;
    texture.cache = named.cache;
    Recognised path;
    path.written = named.path;
    path.recorded = recordedPath(named.path);
    path.newName = named.newName;
    recordFound(job, dependencyOf(path, named.isReference ? DependencyKind::kScene : DependencyKind::kTexture, texture),
                found);
  }
  copyWithEdits(stream, plan.edits);
  return SceneReading::kStructure;
}
