#include "io/texture_staging.h"

#include <cstdio>
#include <map>
#include <string>

#include "io/file_copy.h"
#include "job/run_stop.h"
#include "job/scene_job.h"
#include "platform/platform.h"
#include "scene/base_name.h"
#include "scene/scene_identity.h"

namespace {

struct StagedName {
  std::string source;       // the first texture of the run with this name
  bool presentBeforeRun;  // the user put a file of this name there already
};

// Two textures flattened to one name render with one image: acceptable
// only when they are the same image, or when the user chose the file.
void checkCollision(const StagedName& earlier, const std::string& texture, const std::string& name) {
  if (earlier.presentBeforeRun || comparisonKey(earlier.source) == comparisonKey(texture)) return;
  if (sameContents(earlier.source, texture)) return;
  std::printf("ERROR: '%s' and '%s' would both be copied to '%s'.\n", earlier.source.c_str(),
              texture.c_str(), name.c_str());
  throw RunStop(exit_status::kFailure);
}

}  // namespace

void stageTextures(SceneJob& job) {
  std::map<std::string, StagedName> staged;
  for (const std::string& texture : job.textureFiles) {
    const std::string name(baseName(texture));
    const bool present = platform::fileOpens(name, "r");
    const auto [known, first] = staged.try_emplace(comparisonKey(name), StagedName{texture, present});
    if (!first) checkCollision(known->second, texture, name);

    if (present) {
      std::printf("File '%s' found in current directory.\n", name.c_str());
      continue;
    }
    if (job.dryRun && platform::fileOpens(texture, "r")) {
      std::printf("File '%s' would be copied to current directory.\n", name.c_str());
    } else if (job.dryRun) {
      std::printf("ERROR: Unable to copy '%s' to '%s'\n", texture.c_str(), name.c_str());
      ++job.missingDependencies;
    } else if (copyFile(texture, name) == 1) {
      std::printf("File '%s' copied to current directory.\n", name.c_str());
    }
  }
}
