#include "io/file_copy.h"

#include <cstdio>
#include <memory>

#include "io/filter_stream.h"
#include "platform/platform.h"

namespace {

int reportFailure(const std::string& source, const std::string& destination) {
  std::printf("ERROR: Unable to copy '%s' to '%s'\n", source.c_str(), destination.c_str());
  return 0;
}

}  // namespace

int copyFile(const std::string& source, const std::string& destination) {
  if (!platform::fileOpens(source, "r")) return reportFailure(source, destination);
  if (!platform::fileOpens(destination, "w")) return reportFailure(source, destination);

  // Where the system can copy the file itself, the bytes never pass
  // through the program (and on a copy-on-write file system are not even
  // copied). A destination that is the source itself is left to the
  // stream, which refuses it.
  if (!platform::sameFile(source, destination)) {
    switch (platform::copyBySystem(source, destination, [](std::int64_t) { return true; })) {
      case platform::SystemCopy::kDone:
        return 1;
      case platform::SystemCopy::kUnsupported:
        break;
      case platform::SystemCopy::kFailed:
      case platform::SystemCopy::kStopped:
        platform::removeFile(destination);
        return reportFailure(source, destination);
    }
  }

  // A partial copy must not pass for the texture in a later run, which
  // would find it in the working directory and keep it.
  std::unique_ptr<FilterStream> stream = FilterStream::openPair(source, destination);
  try {
    stream->passRest();
    stream->close();
  } catch (...) {
    stream->discardOutput();
    throw;
  }
  if (stream->writeFailed() || !stream->inputOk() || !stream->outputOk()) {
    stream->discardOutput();
    return reportFailure(source, destination);
  }
  return 1;
}

bool sameContents(const std::string& first, const std::string& second) {
  std::FILE* a = platform::openFile(first, "rb");
  std::FILE* b = platform::openFile(second, "rb");
  bool same = a != nullptr && b != nullptr;
  char bufferA[65536];
  char bufferB[65536];
  while (same) {
    std::size_t gotA = std::fread(bufferA, 1, sizeof bufferA, a);
    std::size_t gotB = std::fread(bufferB, 1, sizeof bufferB, b);
    if (gotA != gotB || std::char_traits<char>::compare(bufferA, bufferB, gotA) != 0) same = false;
    if (gotA == 0) break;
  }
  if (same && (std::ferror(a) || std::ferror(b))) same = false;
  if (a != nullptr) std::fclose(a);
  if (b != nullptr) std::fclose(b);
  return same;
}
