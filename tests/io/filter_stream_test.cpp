// The filter stream at its block boundaries, stepping back, with inputs that
// are empty, unreadable or the output itself. (A full disk and the platform
// calls are met end to end.)

#include <gtest/gtest.h>

#include <filesystem>

#include "names/partial_name.h"
#include "support/buffer_sizes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class Stream : public ::testing::Test {
 protected:
  Stream() : cd(temp.path()) {
    for (std::size_t i = 0; i < 20000; ++i) input += static_cast<char>(i * 7 + i / 256);
    temp.write("in.bin", input);
  }
  // The files of the folder whose names have the partial form.
  std::vector<std::string> partials() const {
    std::vector<std::string> names;
    for (const std::string& name : temp.list()) if (isPartialFileName(name)) names.push_back(name);
    return names;
  }
  TempDir temp;
  ScopedCurrentDirectory cd;
  std::string input, read;
  char c = '#';
};

TEST_F(Stream, InputBlocksAreSeamlessAndSteppedBackOver) {
  for (std::size_t block : {1, 7, 1024, 1025, 2048, 4096, 20000, 30000}) {
    ScopedBufferSizes sizes(block, 16);
    auto stream = FilterStream::openPair("in.bin", "out.bin");
    for (read.clear(); read.size() < 10050 && stream->getChar(c);) read += c;
    for (std::size_t i = 1; i <= FilterStream::kStepBackBytes; ++i) ASSERT_EQ(stream->ungetChar(read[10050 - i]), 1);
    read.resize(10050 - FilterStream::kStepBackBytes);
    for (auto ahead = stream->inputAhead(); !ahead.empty(); ahead = stream->inputAhead()) {
      read.append(ahead.data(), (ahead.size() + 1) / 2);  // half a span now, the rest with the next
      stream->skipInput((ahead.size() + 1) / 2);
    }
    EXPECT_EQ(read, input) << "block " << block;
  }
}

// Stepping back stores the given byte; an empty input is at its end at once;
// one that shrinks after opening ends where its bytes end; sizes pass 4 GiB.
TEST_F(Stream, InputsEndWhereTheirBytesEnd) {
  auto pqr = FilterStream::openPair(temp.write("pqr", "PQR"), "out.bin");
  EXPECT_EQ(pqr->ungetChar('A'), 0);
  ASSERT_EQ(pqr->getChar(c), 1);
  EXPECT_EQ(pqr->ungetChar('X'), 1);
  while (pqr->getChar(c)) read += c;
  EXPECT_EQ(read + c, "XQRR");  // the end leaves the caller's byte alone
  read.clear();
  testing::internal::CaptureStderr();
  auto empty = FilterStream::openPair(temp.write("empty", ""), "out.bin");
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Error loading file", 0), 0u);
  EXPECT_TRUE(empty->inputOk() && empty->outputOk());
  EXPECT_EQ(empty->getChar(c), 0);
  ScopedBufferSizes sizes(4, 16);
  auto shrunk = FilterStream::openPair(temp.write("ten", "abcdefghij"), "out.bin");
  fs::resize_file(temp.at("ten"), 6);
  while (shrunk->getChar(c)) read += c;
  EXPECT_EQ(read, "abcdef");
  fs::resize_file(temp.write("big", ""), (std::uintmax_t{5} << 30) + 3);
  EXPECT_EQ(FilterStream::openPair("big", "out.bin")->inputSize(), (std::int64_t{5} << 30) + 3);
}

// Long stretches passed through go to the copy as they were read, whether the system copies them or the stream:
// a byte stepped back onto with another value, and a file that shrank after it was read, included.
TEST_F(Stream, PassedStretchesAreWhatWasRead) {
  std::string big;
  for (std::size_t i = 0; i < (std::size_t{3} << 20); ++i) big += static_cast<char>(i * 13 + i / 4093);
  const std::size_t firstBlock = FilterStream::bufferSizes().inputBlock;
  for (bool changed : {false, true}) {
    for (bool shrinks : {false, true}) {  // to 1100 bytes, while the first block is in memory
      auto stream = FilterStream::openPair(temp.write("big.bin", big), "out.bin");
      std::string expected = (shrinks ? big.substr(0, firstBlock) : big).substr(999);
      while (stream->position() < 1000) stream->skipInput(1);  // read, not written
      stream->ungetChar(changed ? '\x01' : big[999]);
      if (changed) expected[0] = '\x01';
      if (shrinks) fs::resize_file(temp.at("big.bin"), 1100);
      for (auto ahead = stream->inputAhead(); !ahead.empty(); ahead = stream->inputAhead()) {
        stream->passInput(ahead.size());
      }
      EXPECT_TRUE(stream->commitOutput());
      EXPECT_TRUE(readFile(temp.at("out.bin")) == expected) << changed << shrinks;
    }
  }
}

// A pair that cannot be opened says why; an output that opened but was
// never committed leaves nothing; an output that is the input, by
// identity, is not opened at all.
TEST_F(Stream, PairsThatCannotBeOpened) {
  temp.makeDir("folder");
  temp.write("keep.hdr", "keep me\n");
  fs::create_hard_link(temp.at("keep.hdr"), temp.at("link.sub"));
  struct Pair { std::string in, out; bool inOk, outOk; };
  for (const Pair& p : {Pair{"missing", "out.txt", false, true}, Pair{"folder", "out.txt", false, true},
                        Pair{"missing", "folder", false, false}, Pair{"keep.hdr", "./keep.hdr", true, false},
                        Pair{"keep.hdr", "link.sub", true, false}}) {
    testing::internal::CaptureStdout();
    FilterStream::openPair(p.in, p.out)->putString("dropped");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              (p.inOk ? "" : "ERROR: Can not open file for reading: '" + p.in + "'\n") +
                  (p.outOk ? "" : "ERROR: Can not open file for writing: '" + p.out + "'\n"));
  }
  EXPECT_FALSE(fs::exists(temp.at("out.txt")));
  EXPECT_EQ(partials().size(), 0u);
  EXPECT_EQ(readFile(temp.at("keep.hdr")), "keep me\n");
}

}  // namespace
