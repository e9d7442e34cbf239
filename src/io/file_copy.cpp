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

std::unique_ptr<FilterStream> writeCopy(const std::string& source, const std::string& destination) {
  if (!platform::fileOpens(source, "r")) return nullptr;

  // The copy appears under the destination's name only once it is whole:
  // a partial copy must not pass for the texture in a later run, which
  // would find it in the working directory and keep it.
  std::unique_ptr<FilterStream> stream = FilterStream::openPair(source, destination, true);
  if (!stream->inputOk() || !stream->outputOk()) return nullptr;
  // Where the system can copy the file itself, the bytes never pass
  // through the program (and on a copy-on-write file system are not even
  // copied). Should the copy be cut short, the stream's end removes it.
  if (!stream->passAllBySystem()) stream->passRest();
  stream->flush();
  return stream;
}

int commitCopy(std::unique_ptr<FilterStream> written, const std::string& source, const std::string& destination) {
  if (written == nullptr) return reportFailure(source, destination);
  written->commitOutput();
  if (written->writeFailed() || !written->inputOk()) {
    written->discardOutput();
    return reportFailure(source, destination);
  }
  return 1;
}

int copyFile(const std::string& source, const std::string& destination) {
  return commitCopy(writeCopy(source, destination), source, destination);
}

std::optional<std::int64_t> fileSize(const std::string& path) {
  std::FILE* file = platform::openFile(path, "rb");
  if (file == nullptr) return std::nullopt;
  std::int64_t size = -1;
  if (platform::seekTo(file, 0, SEEK_END)) size = platform::tellPosition(file);
  std::fclose(file);
  return size < 0 ? std::nullopt : std::optional<std::int64_t>(size);
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
