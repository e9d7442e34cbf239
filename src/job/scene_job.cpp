#include "job/scene_job.h"

#include <cstdio>

#include "platform/platform.h"

SceneJob::SceneJob() { setDefaults(); }

SceneJob::SceneJob(const std::string& path) {
  setDefaults();
  scenePath = path;
}

void SceneJob::setDefaults() {
  startFrame = -1.0;
  endFrame = -1.0;
  const char* header = platform::environmentValue(kHeaderPathVariable);
  headerPath = header != nullptr ? header : kDefaultHeaderPath;
  textureFiles.clear();
  sceneFiles.clear();
  transferFiles.clear();
  byFrame = 1.0;
  scenePath.reset();
  imageName = "Frame";
  framesPerJob = 10;
}

