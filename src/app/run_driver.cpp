// The order of a run: scan, stage, describe, report, submit.

#include <cstdio>

#include "staging/followed_files.h"
#include "staging/texture_expansion.h"
#include "staging/texture_staging.h"
#include "staging/transfer_line.h"
#include "job/run_options.h"
#include "job/scene_job.h"
#include "platform/platform.h"
#include "submit/rendered_frames.h"
#include "submit/submit_file.h"

int SceneJob::prepareSubmission(const RunOptions& options, RunLog& log, WalkState& walk, DependencyList& found,
                                FollowedFiles& followed) {
  scanScene(options, log, walk, found);

  std::string copyName = sceneStream->outputPath();
  normalizeSlashes(copyName);
  transferFiles.push_back(copyName);

  // Names that stand for several files are expanded first, and the
  // transfer line names the files they matched; files that name files are
  // followed, and what they name expanded in turn; every name is then
  // checked before the first texture is staged.
  // A cache is staged for the frames the jobs render, one frame around.
  const FrameWindow rendered = framesRendered(*this);
  TextureExpansion expansion(renderedWindow(rendered.first, rendered.last));
  expandTextures(found, expansion);
  followFiles(found, walk, expansion, followed, log);
  listTextures(*this, found);
  transferFiles = transferLine(found);
  transferFiles.push_back(copyName);
  checkStagingNames(*this, walk, found);
  stageTextures(found, followed, options, log);
  if (options.dryRun) return 1;
  return writeSubmitFile();
}

int SceneJob::printDependencies() {
  std::printf("\nTexture Dependencies: %s\n", textureFiles.empty() ? "(None)" : "");
  for (const std::string& texture : textureFiles) std::printf("\t%s\n", texture.c_str());
  std::printf("\nFile Dependencies: %s\n", sceneFiles.empty() ? "(None)" : "");
  for (const std::string& scene : sceneFiles) std::printf("\t%s\n", scene.c_str());
  return 1;
}

int SceneJob::runSubmit(RunLog& log) {
  std::printf("\n\nCalling vantle_submit:\n");
  // The tool writes to the same console; our lines come first.
  std::fflush(stdout);
  log.submitCalled = true;
  log.submitStatus = platform::runCommand(kSubmitCommand);
  return log.submitStatus;
}
