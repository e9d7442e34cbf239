#include "scene/particle_folders.h"

#include <cstdio>
#include <optional>

#include "caches/particle_workspace.h"
#include "io/whole_file.h"
#include "names/base_name.h"
#include "names/staging_name.h"
#include "names/windows_path.h"
#include "platform/platform.h"
#include "scene/path_resolution.h"

namespace {

// The project's particles folder, as the system names it when it can be
// entered.
std::string particlesFolder(const std::string& project) {
  std::string workspace = kWorkspaceFileName;
  joinDirectory(project, workspace);
  const std::optional<std::string> text = readWholeFile(workspace);
  std::string folder = particlesRule(text ? *text : std::string());
  normalizeSlashes(folder);
  cutTrailingSeparators(folder);
  if (folder.empty()) folder = project;
  joinDirectory(project, folder);
  const std::string entered = absoluteFolder(folder);
  return entered.empty() ? folder : entered;
}

}  // namespace

void locateParticleFolder(const std::string& namingScene, std::string& entry, const std::string& recorded) {
  const std::string particles = particlesFolder(resolutionBase(namingScene));
  cutTrailingSeparators(entry);
  joinDirectory(particles, entry);
  if (platform::enteredFolderPath(entry)) return;
  // A folder of another machine's particles folder: by its name in this one.
  const std::string name(folderBaseName(entry));
  if (!isStageableName(name)) return;
  std::string candidate = name;
  joinDirectory(particles, candidate);
  if (candidate == entry || !platform::enteredFolderPath(candidate)) return;
  sayFoundElsewhere(recorded, candidate);
  entry = candidate;
}
