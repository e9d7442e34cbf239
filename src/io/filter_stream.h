#pragma once
// A filter from one file to another: the input is read whole into memory
// and handed out byte by byte from a cursor that can step back; whatever is
// written goes to the output file through a 1024-byte buffer.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class FilterStream {
 public:
  static constexpr std::int64_t kOutCapacity = 1024;

  // Input is the scene, output its rewritten copy "~" + base name in the
  // current directory.
  static std::unique_ptr<FilterStream> openSceneCopy(const std::string& scenePath);
  // Input and output as given.
  static std::unique_ptr<FilterStream> openPair(const std::string& inputPath,
                                                const std::string& outputPath);

  ~FilterStream();
  FilterStream(const FilterStream&) = delete;
  FilterStream& operator=(const FilterStream&) = delete;

  // 1 with the byte at the cursor, 0 at the end of the input (out untouched).
  int getChar(char& out) {
    if (pos >= size) return 0;
    out = data[pos++];
    return 1;
  }
  // Steps back one byte and stores c there; 0 at the start of the input.
  int ungetChar(char c) {
    if (pos <= 0) return 0;
    data[--pos] = c;
    return 1;
  }
  // Appends one byte to the output; a full buffer is written out first.
  int putChar(char c) {
    if (!outBuf) return 1;
    if (outLength >= kOutCapacity) writePending();
    outBuf[outLength++] = c;
    return 1;
  }
  void putString(const char* text);
  // Writes `count` bytes, NUL bytes included.
  void putBytes(const char* bytes, std::size_t count);

  // Hands the pending output to the file and asks the system to take it.
  void flush();
  // Writes what is pending and closes both files; safe to call twice.
  void close();

  bool inputOk() const { return inputOk_; }
  bool outputOk() const { return outputOk_; }
  // True once any write to the output failed (short write, flush or close).
  bool writeFailed() const { return writeFailed_; }
  const std::string& inputPath() const { return inputPath_; }
  const std::string& outputPath() const { return outputPath_; }
  std::int64_t inputSize() const { return size; }
  std::int64_t position() const { return pos; }

 private:
  FilterStream() = default;
  void openFiles(const std::string& inputPath, const std::string& outputPath);
  void openInput();
  void openOutput();
  int loadInput();
  std::int64_t inputLength();
  void writePending();

  std::FILE* inputFile = nullptr;
  std::string inputPath_;
  std::FILE* outputFile = nullptr;
  std::string outputPath_;
  std::unique_ptr<char[]> data;
  std::int64_t size = 0;
  std::int64_t pos = 0;
  std::unique_ptr<char[]> outBuf;
  std::int64_t outLength = 0;
  bool inputOk_ = false;
  bool outputOk_ = false;
  bool writeFailed_ = false;
};
