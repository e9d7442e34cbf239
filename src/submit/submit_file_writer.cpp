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
    whole = writeSubmitDescription(*this, *stream);
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

bool writeSubmitDescription(const SceneJob& job, FilterStream& stream) {
  stream.passRest();  // the header, as it is

  if (!job.transferFiles.empty()) {
    stream.putString("transfer_input_files = ");
    stream.putString(job.transferFiles[0].c_str());
    for (std::size_t i = 1; i < job.transferFiles.size(); ++i) {
      stream.putString(", ");
      stream.putString(job.transferFiles[i].c_str());
    }
  }

  const std::string step = formatFrame(job.byFrame);
  const std::string& sceneCopy = job.sceneStream->outputPath();
  return forEachJob(job, [&](double firstFrame, double lastFrame) {
    stream.putString("\n\nArguments = -rd . -im ");
    stream.putString(job.imageName);
    stream.putString(" -s ");
    stream.putString(formatFrame(firstFrame).c_str());
    stream.putString(" -e ");
    stream.putString(formatFrame(lastFrame).c_str());
    stream.putString(" -b ");
    stream.putString(step.c_str());
    stream.putString(" ");
    stream.putString(sceneCopy.c_str());
    stream.putString("\nQueue\n");
  });
}

bool forEachJob(const SceneJob& job, const std::function<void(double firstFrame, double lastFrame)>& visit) {
  // The job span and the running frame are kept in single precision, as
  // the batch pool's frame counters always have been; sums are formed in
  // double and rounded only when stored.
  const float jobSpan = static_cast<float>(job.framesPerJob * job.byFrame - job.byFrame);
  float runningFrame = static_cast<float>(job.startFrame - job.byFrame);
  for (;;) {
    const float jobStart = runningFrame;
    const double firstFrame = static_cast<double>(runningFrame) + job.byFrame;
    runningFrame = static_cast<float>(firstFrame);
    const double lastFrame = static_cast<double>(runningFrame) + jobSpan;
    runningFrame = static_cast<float>(lastFrame);
    bool finalJob = false;
    if (lastFrame > job.endFrame) {
      runningFrame = static_cast<float>(job.endFrame);
      finalJob = true;
    }
    visit(firstFrame, static_cast<double>(runningFrame));

    if (finalJob || !(static_cast<double>(runningFrame) < job.endFrame)) return true;
    // Past 2^24 a float frame counter can stop moving; the jobs would
    // then repeat the same frames for ever.
    if (!(runningFrame > jobStart)) return false;
  }
}
