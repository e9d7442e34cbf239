// Every path a recogniser finds is recorded here, in both formats.

#include "job/scene_job.h"
#include "scene/file_attributes.h"
#include "scene/path_variables.h"

std::string SceneJob::recordPath(const std::string& text, const DependencyFacts* facts) {
  std::string path = expandVariables(text);
  normalizeSlashes(path);
  if (facts == nullptr) {
    sceneFiles.push_back(path);
    return path;
  }
  DependencyFacts entry = *facts;
  entry.written = text;
  entry.recorded = path;
  entry.namesFurtherFiles = namesFurtherFiles(findFileAttribute(entry.nodeType, entry.attribute), path);
  entry.scenePath = scenePath.value_or(std::string());
  entry.transferIndex = transferFiles.size();
  textureFiles.push_back(path);
  textureFacts.push_back(std::move(entry));
  return path;
}

