#pragma once
// A filter from one file to another: the input is handed out byte by byte
// (or span by span) from a cursor that can step back; whatever is written
// goes to the output file through a buffer.
//
// Input. The input is read in blocks as the cursor reaches them, never
// more than the length it had when it was opened. Bytes already passed
// stay behind the cursor in memory, at least kStepBackBytes of them, so
// the cursor can always step back that far (or to the start of the input,
// where stepping back ends). The readers step back one byte at a time and
// never by more than a few.
//
// Output. Bytes collect in a buffer of outputCapacity() bytes. A full
// buffer is written to the file in one write only when the next byte
// arrives (or at flush or close), never at the moment it fills; so every
// write to the file but the last is exactly one full buffer. The file is
// unbuffered below this, so a failed write is seen by the write that
// failed and remembered in writeFailed().
//
// The output is written under a partial name in the folder of the output
// path (see partial_file.h) and appears under the output path only when
// commitOutput() renames it there. A stream that ends any other way takes
// its partial file with it. A run stops (RunStop) when it is interrupted,
// at the next block read or written.
//
// Block sizes are set for the whole process by setBufferSizes and apply to
// streams opened afterwards; only tests change them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "io/byte_cursor.h"
#include "platform/disk_flusher.h"
#include "platform/platform.h"

#include "io/copy_progress.h"

class FilterStream : public ByteCursor {
 public:
  struct BufferSizes {
    std::size_t inputBlock;      // bytes read from the input file at a time
    std::size_t outputCapacity;  // bytes the output buffer holds
  };
  static constexpr BufferSizes kDefaultBufferSizes = {std::size_t{256} << 10, std::size_t{256} << 10};
  static constexpr std::size_t kStepBackBytes = 4096;

  // The sizes streams are opened with from now on; returns the sizes before.
  static BufferSizes setBufferSizes(BufferSizes sizes);
  static BufferSizes bufferSizes();

  // Input is the scene, output its rewritten copy "~" + base name in the
  // current directory.
  // Without `writeCopy` the copy is only named: the scene is read and
  // whatever is written goes nowhere.
  static std::unique_ptr<FilterStream> openSceneCopy(const std::string& scenePath, bool writeCopy = true);
  // Input and output as given. A file that does not open is reported,
  // unless `quiet`.
  static std::unique_ptr<FilterStream> openPair(const std::string& inputPath,
                                                const std::string& outputPath, bool quiet = false);

  ~FilterStream();
  FilterStream(const FilterStream&) = delete;
  FilterStream& operator=(const FilterStream&) = delete;

  // 1 with the byte at the cursor, 0 at the end of the input (out untouched).
  int getChar(char& out) {
    if (inPos_ >= inEnd_ && !readBlock()) return 0;
    out = inBuf_[inPos_++];
    return 1;
  }
  // Steps back one byte and stores c there; 0 at the start of the input.
  int ungetChar(char c) {
    if (inPos_ == 0) return 0;
    --inPos_;
    // A byte that now differs from the file's must not be copied from the
    // file by passInput.
    if (inBuf_[inPos_] != c) changedBefore_ = std::max(changedBefore_, position() + 1);
    inBuf_[inPos_] = c;
    return 1;
  }
  // The unread bytes of the input that are in memory, from the cursor on:
  // empty only at the end of the input. Valid until the next call of
  // getChar or inputAhead.
  std::string_view inputAhead() {
    if (inPos_ >= inEnd_) readBlock();
    return std::string_view(inBuf_.get() + inPos_, inEnd_ - inPos_);
  }
  // Moves the cursor over `count` bytes of what inputAhead() showed.
  void skipInput(std::size_t count) { inPos_ += count; }
  // Writes `count` bytes of what inputAhead() showed to the output,
  // unchanged, and moves the cursor over them: the same as putBytes and
  // skipInput, but where the system allows it a long stretch goes from the
  // input file to the output file without passing through the stream.
  void passInput(std::size_t count);
  // Writes the next `count` bytes of the input (fewer where it ends) to the
  // output unchanged and moves the cursor past them, read or not: where
  // the system allows it they go from file to file and are never read.
  // The cursor cannot step back over them afterwards.
  void passThrough(std::int64_t count);
  // Moves the cursor past the next `count` bytes of the input, read or not.
  void skipThrough(std::int64_t count);
  // Has the system copy the whole input to the output by its own means
  // (platform::copyBySystem), the output then closed and on disk, ready to
  // be committed: true when done or failed (writeFailed() tells), false
  // when the system cannot, with nothing done, and the stream copies as
  // usual. Only on a stream that has written nothing and passed nothing.
  bool passAllBySystem();

  // Appends one byte to the output; a full buffer is written out first.
  int putChar(char c) {
    if (!outBuf_) return 1;
    if (outLength_ >= outCapacity_) {
      stopIfInterrupted();
      writePending();
    }
    outBuf_[outLength_++] = c;
    return 1;
  }
  void putString(const char* text);
  // Writes `count` bytes, NUL bytes included: the same as putChar for each
  // byte in order, buffer writes included, only faster.
  void putBytes(const char* bytes, std::size_t count);

  // Hands the pending output to the file and asks the system to take it.
  void flush();
  // Writes what is pending and closes both files; safe to call twice. The
  // output stays under its partial name.
  void close();
  // Closes the stream and, when every write succeeded, puts the output on
  // the disk and renames it onto the output path. False, the output still
  // partial, when anything failed (writeFailed() then says so).
  bool commitOutput();
  // Closes the stream and removes its partial output: an output that was
  // not written whole must not stay behind looking finished. A committed
  // output, or a file the stream never opened, is left alone.
  void discardOutput();
  // Writes the input from the cursor to its end to the output.
  void passRest();

  bool inputOk() const { return inputOk_; }
  bool outputOk() const { return outputOk_; }
  // True once any write to the output failed (short write, flush or close).
  bool writeFailed() const { return writeFailed_; }
  const std::string& inputPath() const { return inputPath_; }
  const std::string& outputPath() const { return outputPath_; }
  // The input's length when it was opened.
  std::int64_t inputSize() const { return inputLength_; }
  // The cursor's place in the input, counted from its first byte.
  std::int64_t position() const { return blockStart_ + static_cast<std::int64_t>(inPos_); }

  // As a reader's cursor: the input ahead, and the copy behind.
  std::string_view ahead() override { return inputAhead(); }
  void pass(std::size_t count) override { passInput(count); }
  void skip(std::size_t count) override { skipInput(count); }
  void put(const char* bytes, std::size_t count) override { putBytes(bytes, count); }
  std::int64_t offset() const override { return position(); }
  std::size_t outputCapacity() const { return outCapacity_; }

 private:
  FilterStream() = default;
  static void stopIfInterrupted();
  void openFiles(const std::string& inputPath, const std::string& outputPath, bool quiet, bool withOutput);
  void openInput(bool quiet);
  void openOutput(bool quiet);
  int loadInput();
  std::int64_t inputLength();
  bool readBlock();
  void writeBlock(const char* bytes, std::size_t count);
  void writePending();
  void wrote(std::size_t count);
  void jumpTo(std::int64_t place);
  platform::RangeCopy copyAheadBySystem(std::int64_t count);

  std::FILE* inputFile = nullptr;
  std::string inputPath_;
  std::FILE* outputFile = nullptr;
  std::string outputPath_;
  std::string partialPath_;  // where the output is written until committed
  bool committed_ = false;

  // The input in memory: inBuf_[0, inEnd_) are the input's bytes from
  // blockStart_ on, the cursor is at inPos_.
  std::unique_ptr<char[]> inBuf_;
  std::size_t inPos_ = 0;
  std::size_t inEnd_ = 0;
  std::size_t inBlock_ = 0;
  std::size_t inCapacity_ = 0;
  std::int64_t blockStart_ = 0;
  std::int64_t inputLength_ = 0;
  std::int64_t inputUnread_ = 0;  // bytes of the measured length not read yet
  std::int64_t changedBefore_ = 0;  // input bytes before this place may differ from the file's
  bool systemCopies_ = true;  // false once the system refused to copy between the two files
  // Puts the output on the disk while it is written; gone with close().
  std::unique_ptr<platform::DiskFlusher> flusher_;

  std::unique_ptr<char[]> outBuf_;
  std::size_t outCapacity_ = 0;
  std::size_t outLength_ = 0;
  bool inputOk_ = false;
  bool outputOk_ = false;
  bool writeFailed_ = false;
  // The line on a terminal while a long copy goes on; gone with close().
  std::unique_ptr<CopyProgress> progress_;
};
