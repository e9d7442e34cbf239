// The submit description: the user's header verbatim, the files to
// transfer, and one job per chunk of the frame range.

#include <cstdio>
#include <string>

#include "job/scene_job.h"
#include "submit/submit_file.h"

namespace {

std::string formatFrame(double value) {
  int length = std::snprintf(nullptr, 0, "%.4f", value);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.4f", value);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

int SceneJob::writeSubmitFile() {
  auto stream = FilterStream::openPair(headerPath, kSubmitFileName);
  if (!stream->inputOk() || !stream->outputOk()) {
    // A header that cannot be read leaves an empty description, as it
    // always has.
    if (stream->outputOk()) stream->commitOutput();
    std::printf("ERROR: Unable to create Vantle Submit File.\n");
    return 0;
  }
  bool whole = false;
  try {
    whole = writeSubmitDescription(*stream);
    if (whole) stream->commitOutput();
  } catch (...) {
    // Out of memory half way: a cut-off description must not be left
    // where it could be submitted.
    stream->discardOutput();
    throw;
  }
  if (!whole || stream->writeFailed()) {
    stream->discardOutput();
    std::printf("ERROR: Unable to create Vantle Submit File.\n");
    return 0;
  }
  return 1;
}

bool SceneJob::writeSubmitDescription(FilterStream& stream) {
  stream.passRest();  // the header, as it is

  if (!transferFiles.empty()) {
    stream.putString("transfer_input_files = ");
    stream.putString(transferFiles[0].c_str());
    for (std::size_t i = 1; i < transferFiles.size(); ++i) {
      stream.putString(", ");
      stream.putString(transferFiles[i].c_str());
    }
  }

  // The job span and the running frame are kept in single precision, as
  // the batch pool's frame counters always have been; sums are formed in
  // double and rounded only when stored.
  const float jobSpan = static_cast<float>(framesPerJob * byFrame - byFrame);
  float runningFrame = static_cast<float>(startFrame - byFrame);
  const std::string step = formatFrame(byFrame);
  const std::string& sceneCopy = sceneStream->outputPath();
  bool advancing = true;
  for (;;) {
    const float jobStart = runningFrame;
    stream.putString("\n\nArguments = -rd . -im ");
    stream.putString(imageName);
    stream.putString(" -s ");
    const double firstFrame = static_cast<double>(runningFrame) + byFrame;
    runningFrame = static_cast<float>(firstFrame);
    stream.putString(formatFrame(firstFrame).c_str());

    stream.putString(" -e ");
    const double lastFrame = static_cast<double>(runningFrame) + jobSpan;
    runningFrame = static_cast<float>(lastFrame);
    bool finalJob = false;
    if (lastFrame > endFrame) {
      runningFrame = static_cast<float>(endFrame);
      finalJob = true;
    }
    stream.putString(formatFrame(static_cast<double>(runningFrame)).c_str());

    stream.putString(" -b ");
    stream.putString(step.c_str());
    stream.putString(" ");
    stream.putString(sceneCopy.c_str());
    stream.putString("\nQueue\n");

    if (finalJob || !(static_cast<double>(runningFrame) < endFrame)) break;
    // Past 2^24 a float frame counter can stop moving; the jobs would
    // then repeat the same frames for ever.
    if (!(runningFrame > jobStart)) {
      advancing = false;
      break;
    }
  }

  return advancing;
}
