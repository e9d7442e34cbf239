#include "io/filter_stream.h"

#include <algorithm>
#include <cstring>

#include "names/partial_name.h"
#include "outcome/interruption.h"
#include "platform/platform.h"
#include "names/base_name.h"

std::unique_ptr<FilterStream> FilterStream::openSceneCopy(const std::string& scenePath, bool writeCopy) {
  if (writeCopy) return openPair(scenePath, sceneCopyName(scenePath));
  std::unique_ptr<FilterStream> stream(new FilterStream());
  stream->openFiles(scenePath, sceneCopyName(scenePath), false, false);
  return stream;
}

std::unique_ptr<FilterStream> FilterStream::openPair(const std::string& inputPath,
                                                     const std::string& outputPath, bool quiet) {
  std::unique_ptr<FilterStream> stream(new FilterStream());
  try {
    stream->openFiles(inputPath, outputPath, quiet, true);
  } catch (...) {  // out of memory or interrupted while loading the input: the output is already open
    stream->discardOutput();
    throw;
  }
  return stream;
}

FilterStream::~FilterStream() { discardOutput(); }

void FilterStream::stopIfInterrupted() { ::stopIfInterrupted(); }

namespace {

FilterStream::BufferSizes currentSizes = FilterStream::kDefaultBufferSizes;

}  // namespace

FilterStream::BufferSizes FilterStream::setBufferSizes(BufferSizes sizes) {
  const BufferSizes before = currentSizes;
  currentSizes.inputBlock = sizes.inputBlock > 0 ? sizes.inputBlock : 1;
  currentSizes.outputCapacity = sizes.outputCapacity > 0 ? sizes.outputCapacity : 1;
  return before;
}

FilterStream::BufferSizes FilterStream::bufferSizes() { return currentSizes; }

void FilterStream::openFiles(const std::string& inputPath, const std::string& outputPath, bool quiet,
                             bool withOutput) {
  inputPath_ = inputPath;
  outputPath_ = outputPath;
  openInput(quiet);
  if (withOutput) openOutput(quiet);
  if (inputOk_ && (outputOk_ || !withOutput)) {
    outCapacity_ = currentSizes.outputCapacity;
    if (withOutput) outBuf_.reset(new char[outCapacity_]);
    inBlock_ = currentSizes.inputBlock;
    loadInput();
    // Shown from the first block read after this: what the opening prints comes first.
    if (withOutput) progress_ = CopyProgress::startIfTerminal(std::string(baseName(inputPath_)), inputLength_);
  }
}

void FilterStream::openInput(bool quiet) {
  inputFile = platform::openFile(inputPath_, "rb");
  inputOk_ = inputFile != nullptr;
  // The input is read in large blocks straight into the stream's memory.
  if (inputOk_) std::setvbuf(inputFile, nullptr, _IONBF, 0);
  if (!inputOk_ && !quiet) std::printf("ERROR: Can not open file for reading: '%s'\n", inputPath_.c_str());
}

void FilterStream::openOutput(bool quiet) {
  // The output would replace the very file we are about to read when it
  // is the input itself; a folder or pipe in its place stays, as does a
  // file we may not write.
  if (!platform::sameFile(inputPath_, outputPath_) && platform::replaceable(outputPath_)) {
    partialPath_ = partialFileName(outputPath_);
    outputFile = platform::openFile(partialPath_, "wb");
  }
  outputOk_ = outputFile != nullptr;
  // The stream does its own buffering: each full block goes straight to
  // the file, so a failed write is seen when it happens.
  if (outputOk_) std::setvbuf(outputFile, nullptr, _IONBF, 0);
  if (!outputOk_ && !quiet) std::printf("ERROR: Can not open file for writing: '%s'\n", outputPath_.c_str());
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

// Measures the input and reads its first block: an input of which nothing
// can be read is reported here, once.
int FilterStream::loadInput() {
  inputLength_ = inputLength();
  inputUnread_ = inputLength_;
  platform::seekTo(inputFile, 0, SEEK_SET);
  // Room for a block after the bytes kept for stepping back, and for
  // small blocks some more, so that the kept bytes move seldom.
  inCapacity_ = 2 * kStepBackBytes +
                static_cast<std::size_t>(std::min<std::int64_t>(inputLength_, static_cast<std::int64_t>(inBlock_)));
  inBuf_.reset(new char[inCapacity_]);
  if (!readBlock()) {
    std::perror("Error loading file");
    return 0;
  }
  return 1;
}

// Called with the cursor at the end of what is in memory. Reads the next
// block after it, first moving the last kStepBackBytes bytes to the front
// when the block would not fit behind them. A file that shrank, or a read
// error, ends the input where the bytes that were read end; a file that
// grew is read to its old length.
bool FilterStream::readBlock() {
  if (inputFile == nullptr || !inBuf_ || inputUnread_ <= 0) return false;
  stopIfInterrupted();
  const std::size_t wanted =
      static_cast<std::size_t>(std::min<std::int64_t>(inputUnread_, static_cast<std::int64_t>(inBlock_)));
  if (inEnd_ + wanted > inCapacity_) {
    const std::size_t keep = std::min(inEnd_, kStepBackBytes);
    std::memmove(inBuf_.get(), inBuf_.get() + inEnd_ - keep, keep);
    blockStart_ += static_cast<std::int64_t>(inEnd_ - keep);
    inEnd_ = keep;
  }
  inPos_ = inEnd_;
  std::size_t got = 0;
  while (got < wanted) {
    const std::size_t n = std::fread(inBuf_.get() + inEnd_ + got, 1, wanted - got, inputFile);
    if (n == 0) break;
    got += n;
  }
  inEnd_ += got;
  if (progress_) progress_->update(blockStart_ + static_cast<std::int64_t>(inEnd_));
  inputUnread_ = got == wanted ? inputUnread_ - static_cast<std::int64_t>(got) : 0;
  return got > 0;
}

void FilterStream::putString(const char* text) { putBytes(text, std::strlen(text)); }

void FilterStream::putBytes(const char* bytes, std::size_t count) {
  if (!outBuf_) return;
  while (count > 0) {
    if (outLength_ >= outCapacity_ || (outLength_ == 0 && count > outCapacity_)) stopIfInterrupted();
    if (outLength_ >= outCapacity_) writePending();
    if (outLength_ == 0 && count > outCapacity_) {
      // These bytes would fill the empty buffer, and the next byte would
      // send them to the file: they go there from where they are, in the
      // same write, with no copy in between.
      writeBlock(bytes, outCapacity_);
      bytes += outCapacity_;
      count -= outCapacity_;
      continue;
    }
    const std::size_t n = std::min(count, outCapacity_ - outLength_);
    std::memcpy(outBuf_.get() + outLength_, bytes, n);
    outLength_ += n;
    bytes += n;
    count -= n;
  }
}

namespace {

// Stretches shorter than this are not worth a call of their own.
constexpr std::size_t kSystemCopyMinimum = std::size_t{64} << 10;
// Pieces of a long stretch copied by the system, between which the stream
// looks for an interruption; small enough that the disk starts on a texture
// soon after its copy began.
constexpr std::int64_t kSystemCopyPiece = std::int64_t{8} << 20;

}  // namespace

bool FilterStream::passAllBySystem() {
  if (outputFile == nullptr || inputFile == nullptr || position() != 0 || outLength_ != 0) return false;
  // The system writes the partial file by its name, not through our handle.
  if (std::fclose(outputFile) != 0) writeFailed_ = true;
  outputFile = nullptr;
  const platform::SystemCopy copy =
      platform::copyBySystem(inputPath_, partialPath_, [this](std::int64_t done) {
        if (progress_) progress_->update(done);
        return !platform::interrupted();
      });
  switch (copy) {
    case platform::SystemCopy::kUnsupported:
      outputFile = platform::openFile(partialPath_, "wb");
      if (outputFile == nullptr) break;
      std::setvbuf(outputFile, nullptr, _IONBF, 0);
      return false;
    case platform::SystemCopy::kDone:
      // The whole input is in the output: the cursor is at the end.
      inPos_ = inEnd_;
      inputUnread_ = 0;
      return true;
    case platform::SystemCopy::kStopped:
      stopIfInterrupted();
      break;
    case platform::SystemCopy::kFailed:
      break;
  }
  writeFailed_ = true;
  return true;
}

// Puts the cursor at `place`, at or after it and within the input: a place
// beyond what is in memory is reached by a seek, the bytes before it unread.
void FilterStream::jumpTo(std::int64_t place) {
  const std::int64_t inMemoryEnd = blockStart_ + static_cast<std::int64_t>(inEnd_);
  if (place <= inMemoryEnd) {
    inPos_ = static_cast<std::size_t>(place - blockStart_);
    return;
  }
  if (!platform::seekTo(inputFile, place, SEEK_SET)) {
    // Read over them instead.
    while (position() < place) {
      const std::string_view ahead = inputAhead();
      if (ahead.empty()) return;
      skipInput(static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(ahead.size()),
                                                                 place - position())));
    }
    return;
  }
  inputUnread_ -= place - inMemoryEnd;
  blockStart_ = place;
  inPos_ = 0;
  inEnd_ = 0;
}

void FilterStream::skipThrough(std::int64_t count) {
  if (inputFile == nullptr) return;
  jumpTo(std::min(position() + std::max<std::int64_t>(count, 0), inputLength_));
}

// The next `count` input bytes from the cursor on, copied from the input
// file to the output by the system after what is pending; the cursor stays.
// A refusal turns the system's copies off for the stream, a failure is
// remembered in writeFailed().
platform::RangeCopy FilterStream::copyAheadBySystem(std::int64_t count) {
  writePending();  // what came before goes to the file first
  const platform::RangeCopy copy = platform::copyFileRange(inputFile, position(), outputFile, count);
  if (copy.unsupported) {
    systemCopies_ = false;
    return copy;
  }
  wrote(static_cast<std::size_t>(copy.copied));
  if (copy.failed) writeFailed_ = true;
  return copy;
}

void FilterStream::passThrough(std::int64_t count) {
  if (inputFile == nullptr) return;
  const std::int64_t end = std::min(position() + std::max<std::int64_t>(count, 0), inputLength_);
  while (systemCopies_ && outputFile != nullptr && position() >= changedBefore_ &&
         end - position() >= static_cast<std::int64_t>(kSystemCopyMinimum)) {
    stopIfInterrupted();
    const std::int64_t piece = std::min(end - position(), kSystemCopyPiece);
    const platform::RangeCopy copy = copyAheadBySystem(piece);
    if (copy.unsupported) break;
    if (copy.failed) {
      jumpTo(end);
      return;
    }
    jumpTo(position() + copy.copied);
    if (progress_) progress_->update(position());
    if (copy.copied < piece) {
      // The file ends sooner than when it was opened: so does the input.
      inputUnread_ = 0;
      return;
    }
  }
  while (position() < end) {
    const std::string_view ahead = inputAhead();
    if (ahead.empty()) return;
    passInput(static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(ahead.size()),
                                                               end - position())));
  }
}

void FilterStream::passInput(std::size_t count) {
  stopIfInterrupted();
  if (count >= kSystemCopyMinimum && systemCopies_ && outputFile != nullptr && inputFile != nullptr &&
      position() >= changedBefore_) {
    const platform::RangeCopy copy = copyAheadBySystem(static_cast<std::int64_t>(count));
    if (!copy.unsupported) {
      const auto copied = static_cast<std::size_t>(copy.copied);
      if (!copy.failed && copied < count) {
        // The file ended sooner than when it was read: the copy takes the
        // bytes that were read, as it would have without the system's help.
        putBytes(inBuf_.get() + inPos_ + copied, count - copied);
      }
      inPos_ += count;
      return;
    }
  }
  putBytes(inBuf_.get() + inPos_, count);
  inPos_ += count;
}

void FilterStream::writeBlock(const char* bytes, std::size_t count) {
  if (count == 0 || outputFile == nullptr) return;
  if (std::fwrite(bytes, 1, count, outputFile) != count) writeFailed_ = true;
  wrote(count);
}

// Every file is made durable before it takes its name; the disk starts on
// a long output while the rest of it is still being made.
void FilterStream::wrote(std::size_t count) {
  if (flusher_ == nullptr) flusher_ = std::make_unique<platform::DiskFlusher>(platform::fileHandle(outputFile));
  flusher_->wrote(count);
}

void FilterStream::writePending() {
  writeBlock(outBuf_.get(), outLength_);
  outLength_ = 0;
}

void FilterStream::flush() {
  writePending();
  if (outputFile != nullptr && std::fflush(outputFile) != 0) writeFailed_ = true;
}

bool FilterStream::commitOutput() {
  if (!outputOk_ || committed_) return committed_;
  flush();
  if (outputFile != nullptr && !(flusher_ != nullptr ? flusher_->finish() : platform::syncFile(outputFile))) {
    writeFailed_ = true;
  }
  close();
  if (writeFailed_) return false;
  if (!platform::renameFile(partialPath_, outputPath_)) {
    writeFailed_ = true;
    return false;
  }
  committed_ = true;
  return true;
}

void FilterStream::discardOutput() {
  close();
  if (outputOk_ && !committed_) platform::removeFile(partialPath_);
}

void FilterStream::passRest() {
  if (inputFile != nullptr) passThrough(inputLength_ - position());
}

void FilterStream::close() {
  progress_.reset();
  inBuf_.reset();
  inPos_ = 0;
  inEnd_ = 0;
  inputUnread_ = 0;
  writePending();
  flusher_.reset();
  if (inputFile != nullptr) std::fclose(inputFile);
  inputFile = nullptr;
  if (outputFile != nullptr && std::fclose(outputFile) != 0) writeFailed_ = true;
  outputFile = nullptr;
  outBuf_.reset();
}
