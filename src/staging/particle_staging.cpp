#include "staging/particle_staging.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "caches/particle_workspace.h"
#include "io/whole_file.h"
#include "job/run_options.h"
#include "names/base_name.h"
#include "names/comparison_key.h"
#include "names/staging_name.h"
#include "names/windows_path.h"
#include "outcome/run_stop.h"
#include "platform/platform.h"

namespace {

bool staged(const Dependency& named) {
  return named.kind == DependencyKind::kTexture && named.cache && isParticleCache(*named.cache) &&
         !named.matchedNothing;
}

// The particles folder the working folder's workspace.mel sets, as written
// there with its separators normalized; nothing when there is none.
std::optional<std::string> particlesRuleHere() {
  const std::optional<std::string> text = readWholeFile(kWorkspaceFileName);
  if (!text) return std::nullopt;
  std::string rule = particlesRule(*text);
  normalizeSlashes(rule);
  cutTrailingSeparators(rule);
  return rule;
}

void stageWorkspace(const RunOptions& options) {
  if (platform::fileOpens(kWorkspaceFileName, "r")) {
    std::printf("File '%s' found in current directory.\n", kWorkspaceFileName);
  } else if (options.dryRun) {
    std::printf("File '%s' would be written to current directory.\n", kWorkspaceFileName);
  } else if (writeWholeFile(kWorkspaceFileName, stagedWorkspaceMel())) {
    std::printf("File '%s' written to current directory.\n", kWorkspaceFileName);
  } else {
    std::printf("ERROR: Unable to write '%s'.\n", kWorkspaceFileName);
    throw RunStop(exit_status::kFailure);
  }
}

}  // namespace

void checkParticleStaging(const DependencyList& found) {
  const auto any = std::find_if(found.items().begin(), found.items().end(), staged);
  if (any == found.items().end()) return;
  for (const Dependency& cache : found.items()) {
    if (!staged(cache)) continue;
    requireStageableNameInFolder(cache.resolved, std::string(folderBaseName(cache.transferName)));
    for (const DependencyFile& file : cache.files) {
      requireStageableNameInFolder(file.path, std::string(baseName(file.path)));
    }
  }
  const std::optional<std::string> rule = particlesRuleHere();
  if (rule && *rule != kStagedParticlesFolder) {
    std::printf(
        "ERROR: '%s' here sets the particles folder to '%s', not to '%s', where the particle caches "
        "are staged; it is left as it is.\n",
        kWorkspaceFileName, rule->c_str(), kStagedParticlesFolder);
    throw RunStop(exit_status::kFailure);
  }
}

bool isParticleTransferEntry(const std::string& entry) {
  return entry == kStagedParticlesFolder || entry == kWorkspaceFileName;
}

void addParticleTransferEntries(std::vector<std::string>& line) {
  for (const char* entry : {kStagedParticlesFolder, kWorkspaceFileName}) {
    if (std::find(line.begin(), line.end(), entry) == line.end()) line.push_back(entry);
  }
}

void ParticleStaging::open(const RunOptions& options) {
  if (opened_) return;
  opened_ = true;
  stageWorkspace(options);
}
