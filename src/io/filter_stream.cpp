#include "io/filter_stream.h"

#include <cstring>

#include "platform/platform.h"
#include "scene/base_name.h"

std::unique_ptr<FilterStream> FilterStream::openSceneCopy(const std::string& scenePath) {
  std::string copyName = "~";
  copyName += baseName(scenePath);
  return openPair(scenePath, copyName);
}

std::unique_ptr<FilterStream> FilterStream::openPair(const std::string& inputPath,
                                                     const std::string& outputPath) {
  std::unique_ptr<FilterStream> stream(new FilterStream());
  stream->openFiles(inputPath, outputPath);
  return stream;
}

FilterStream::~FilterStream() { close(); }

void FilterStream::openFiles(const std::string& inputPath, const std::string& outputPath) {
  inputPath_ = inputPath;
  outputPath_ = outputPath;
  openInput();
  openOutput();
  if (inputOk_ && outputOk_) {
    outBuf.reset(new char[kOutCapacity]);
    loadInput();
  }
}

void FilterStream::openInput() {
  inputFile = platform::openFile(inputPath_, "rb");
  inputOk_ = inputFile != nullptr;
  if (!inputOk_) std::printf("ERROR: Can not open file for reading: '%s'\n", inputPath_.c_str());
}

void FilterStream::openOutput() {
  // Opening the output empties it; when it is the input itself that would
  // destroy the very file we are about to read.
  if (!platform::sameFile(inputPath_, outputPath_)) outputFile = platform::openFile(outputPath_, "wb");
  outputOk_ = outputFile != nullptr;
  // The stream does its own buffering: each full block goes straight to
  // the file, so a failed write is seen when it happens.
  if (outputOk_) std::setvbuf(outputFile, nullptr, _IONBF, 0);
  if (!outputOk_) std::printf("ERROR: Can not open file for writing: '%s'\n", outputPath_.c_str());
}

std::int64_t FilterStream::inputLength() {
  std::int64_t remembered = platform::tellPosition(inputFile);
  platform::seekTo(inputFile, 0, SEEK_SET);
  std::int64_t start = platform::tellPosition(inputFile);
  platform::seekTo(inputFile, 0, SEEK_END);
  std::int64_t end = platform::tellPosition(inputFile);
  platform::seekTo(inputFile, remembered, SEEK_SET);
  if (start < 0 || end < start) return 0;
  return end - start;
}

int FilterStream::loadInput() {
  std::int64_t length = inputLength();
  data.reset(new char[length > 0 ? length : 1]);
  platform::seekTo(inputFile, 0, SEEK_SET);
  // Keep only what was actually read: a file that shrank, or a read
  // error, must not leave unread garbage behind the real bytes.
  std::int64_t got = 0;
  while (got < length) {
    std::size_t n = std::fread(data.get() + got, 1, static_cast<std::size_t>(length - got), inputFile);
    if (n == 0) break;
    got += static_cast<std::int64_t>(n);
  }
  size = got;
  if (got == 0) {
    std::perror("Error loading file");
    return 0;
  }
  return 1;
}

void FilterStream::putString(const char* text) { putBytes(text, std::strlen(text)); }

void FilterStream::putBytes(const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) putChar(bytes[i]);
}

void FilterStream::writePending() {
  if (outLength > 0 && outputFile != nullptr) {
    std::size_t written = std::fwrite(outBuf.get(), 1, static_cast<std::size_t>(outLength), outputFile);
    if (written != static_cast<std::size_t>(outLength)) writeFailed_ = true;
  }
  outLength = 0;
}

void FilterStream::flush() {
  writePending();
  if (outputFile != nullptr && std::fflush(outputFile) != 0) writeFailed_ = true;
}

void FilterStream::close() {
  data.reset();
  writePending();
  if (inputFile != nullptr) std::fclose(inputFile);
  inputFile = nullptr;
  if (outputFile != nullptr && std::fclose(outputFile) != 0) writeFailed_ = true;
  outputFile = nullptr;
  outBuf.reset();
  size = 0;
  pos = 0;
}
