#include <gtest/gtest.h>

#include <filesystem>

#include "io/filter_stream.h"
#include "support/buffer_sizes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class FilterStreamTest : public ::testing::Test {
 protected:
  FilterStreamTest() : cd(temp.path()) {}
  TempDir temp;
  ScopedCurrentDirectory cd;
};

std::string drain(FilterStream& stream) {
  std::string bytes;
  char c;
  while (stream.getChar(c)) bytes += c;
  return bytes;
}

using FilterStreamReading = FilterStreamTest;

TEST_F(FilterStreamReading, DeliversEveryByteUnchanged) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  temp.write("in.bin", all + all);
  auto stream = FilterStream::openPair("in.bin", "out.bin");
  ASSERT_TRUE(stream->inputOk());
  ASSERT_TRUE(stream->outputOk());
  EXPECT_EQ(drain(*stream), all + all);
}

TEST_F(FilterStreamReading, StepsBackStoringTheGivenByte) {
  temp.write("in.txt", "PQR");
  auto stream = FilterStream::openPair("in.txt", "out.txt");
  char c = 'z';
  EXPECT_EQ(stream->ungetChar('A'), 0);  // nothing to step back over yet
  ASSERT_EQ(stream->getChar(c), 1);
  EXPECT_EQ(c, 'P');
  EXPECT_EQ(stream->ungetChar('X'), 1);
  ASSERT_EQ(stream->getChar(c), 1);
  EXPECT_EQ(c, 'X');
  ASSERT_EQ(stream->getChar(c), 1);
  EXPECT_EQ(c, 'Q');
  ASSERT_EQ(stream->getChar(c), 1);
  EXPECT_EQ(c, 'R');
  EXPECT_EQ(stream->ungetChar('R'), 1);
  EXPECT_EQ(stream->ungetChar('Q'), 1);
  EXPECT_EQ(drain(*stream), "QR");
}

TEST_F(FilterStreamReading, TheEndLeavesTheCallersByteAlone) {
  temp.write("in.txt", "a");
  auto stream = FilterStream::openPair("in.txt", "out.txt");
  char c = 0;
  ASSERT_EQ(stream->getChar(c), 1);
  c = '#';
  EXPECT_EQ(stream->getChar(c), 0);
  EXPECT_EQ(c, '#');
}

TEST_F(FilterStreamReading, AnEmptyInputIsAtItsEndAtOnce) {
  temp.write("empty.txt", "");
  testing::internal::CaptureStderr();
  auto stream = FilterStream::openPair("empty.txt", "out.txt");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("Error loading file", 0), 0u) << err;
  EXPECT_TRUE(stream->inputOk());
  EXPECT_TRUE(stream->outputOk());
  char c;
  EXPECT_EQ(stream->getChar(c), 0);
}

TEST_F(FilterStreamReading, AnUnreadableInputStillCreatesAnEmptyOutput) {
  testing::internal::CaptureStdout();
  auto stream = FilterStream::openPair("missing.txt", "out.txt");
  stream->putString("dropped");
  char c;
  EXPECT_EQ(stream->getChar(c), 0);
  EXPECT_EQ(stream->ungetChar('x'), 0);
  stream.reset();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: Can not open file for reading: 'missing.txt'\n");
  EXPECT_EQ(readFile(temp.at("out.txt")), "");
}

TEST_F(FilterStreamReading, ADirectoryIsNotAnInput) {
  temp.makeDir("folder");
  testing::internal::CaptureStdout();
  auto stream = FilterStream::openPair("folder", "out.txt");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: Can not open file for reading: 'folder'\n");
  EXPECT_FALSE(stream->inputOk());
  EXPECT_TRUE(stream->outputOk());
}

TEST_F(FilterStreamReading, BothFailuresAreReportedReadingFirst) {
  temp.makeDir("folder");
  testing::internal::CaptureStdout();
  auto stream = FilterStream::openPair("missing.txt", "folder");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: Can not open file for reading: 'missing.txt'\n"
            "ERROR: Can not open file for writing: 'folder'\n");
  EXPECT_FALSE(stream->inputOk());
  EXPECT_FALSE(stream->outputOk());
}

TEST_F(FilterStreamReading, BackslashPathsReachTheFileSystem) {
  temp.write("sub/in.txt", "abc");
  auto stream = FilterStream::openPair("sub\\in.txt", "sub\\out.txt");
  EXPECT_EQ(drain(*stream), "abc");
  EXPECT_EQ(stream->outputPath(), "sub\\out.txt");
}

// The input comes in blocks; nothing of that shows to the readers.
using FilterStreamBlocks = FilterStreamTest;

std::string numbered(std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>(i * 7 + i / 256);
  return bytes;
}

TEST_F(FilterStreamBlocks, BytesAndSpansAreTheInputWhateverTheBlockSize) {
  const std::string input = numbered(1000);
  temp.write("in.bin", input);
  for (std::size_t block : {1, 2, 3, 7, 64, 999, 1000, 1001, 4096}) {
    ScopedBufferSizes sizes(block, 16);
    auto bytewise = FilterStream::openPair("in.bin", "out.bin");
    EXPECT_EQ(drain(*bytewise), input) << "block " << block;
    EXPECT_EQ(bytewise->position(), 1000);

    auto spanwise = FilterStream::openPair("in.bin", "out.bin");
    std::string read;
    for (std::string_view ahead = spanwise->inputAhead(); !ahead.empty(); ahead = spanwise->inputAhead()) {
      EXPECT_LE(ahead.size(), block);
      // Take part of a span now and then, the rest with the next call.
      const std::size_t taken = ahead.size() > 2 && read.size() % 3 == 0 ? ahead.size() / 2 : ahead.size();
      read.append(ahead.data(), taken);
      spanwise->skipInput(taken);
      EXPECT_EQ(spanwise->position(), static_cast<std::int64_t>(read.size()));
    }
    EXPECT_EQ(read, input) << "block " << block;
    char c = '#';
    EXPECT_EQ(spanwise->getChar(c), 0);
    EXPECT_EQ(c, '#');
  }
}

TEST_F(FilterStreamBlocks, StepsBackOverABlockBoundary) {
  const std::string input = numbered(20000);
  temp.write("in.bin", input);
  ScopedBufferSizes sizes(100, 16);
  auto stream = FilterStream::openPair("in.bin", "out.bin");
  char c;
  for (int i = 0; i < 10050; ++i) ASSERT_EQ(stream->getChar(c), 1);
  // As far back as promised, across the blocks read in the meantime.
  for (std::size_t i = 0; i < FilterStream::kStepBackBytes; ++i) {
    ASSERT_EQ(stream->ungetChar(input[10049 - i]), 1) << i;
  }
  EXPECT_EQ(stream->position(), static_cast<std::int64_t>(10050 - FilterStream::kStepBackBytes));
  EXPECT_EQ(drain(*stream), input.substr(10050 - FilterStream::kStepBackBytes));
}

TEST_F(FilterStreamBlocks, AnInputIsReadToTheLengthItHadWhenOpened) {
  temp.write("in.txt", "abcdef");
  ScopedBufferSizes sizes(2, 16);
  auto stream = FilterStream::openPair("in.txt", "out.txt");
  temp.write("in.txt", "abcdefghij");  // grows after opening
  EXPECT_EQ(stream->inputSize(), 6);
  EXPECT_EQ(drain(*stream), "abcdef");
}

TEST_F(FilterStreamBlocks, AnInputThatShrinksEndsWhereItsBytesEnd) {
  temp.write("in.txt", "abcdefghij");
  ScopedBufferSizes sizes(4, 16);
  auto stream = FilterStream::openPair("in.txt", "out.txt");
  fs::resize_file(temp.at("in.txt"), 6);
  EXPECT_EQ(drain(*stream), "abcdef");
}

using FilterStreamSameFile = FilterStreamTest;

TEST_F(FilterStreamSameFile, RefusesToEmptyItsOwnInput) {
  temp.write("header.hdr", "keep me\n");
  testing::internal::CaptureStdout();
  auto stream = FilterStream::openPair("header.hdr", "./header.hdr");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: Can not open file for writing: './header.hdr'\n");
  EXPECT_TRUE(stream->inputOk());
  EXPECT_FALSE(stream->outputOk());
  stream.reset();
  EXPECT_EQ(readFile(temp.at("header.hdr")), "keep me\n");
}

TEST_F(FilterStreamSameFile, SeesThroughSymbolicLinks) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows; see SeesThroughHardLinks";
#else
  temp.write("real.hdr", "keep me\n");
  fs::create_symlink(temp.at("real.hdr"), temp.at("link.sub"));
  testing::internal::CaptureStdout();
  auto stream = FilterStream::openPair("real.hdr", "link.sub");
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(stream->outputOk());
  stream.reset();
  EXPECT_EQ(readFile(temp.at("real.hdr")), "keep me\n");
#endif
}

TEST_F(FilterStreamSameFile, SeesThroughHardLinks) {
  temp.write("real.hdr", "keep me\n");
  fs::create_hard_link(temp.at("real.hdr"), temp.at("link.sub"));
  testing::internal::CaptureStdout();
  auto stream = FilterStream::openPair("real.hdr", "link.sub");
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(stream->outputOk());
  stream.reset();
  EXPECT_EQ(readFile(temp.at("real.hdr")), "keep me\n");
}

using FilterStreamWriting = FilterStreamTest;

TEST_F(FilterStreamWriting, WritesWholeBlocksOnlyWhenTheNextByteArrives) {
  ScopedBufferSizes sizes(FilterStream::kDefaultBufferSizes.inputBlock, 1024);
  temp.write("in.txt", "x");
  auto stream = FilterStream::openPair("in.txt", "out.bin");
  ASSERT_EQ(stream->outputCapacity(), 1024u);
  for (int i = 0; i < 1024; ++i) stream->putChar(static_cast<char>('a' + i % 26));
  EXPECT_EQ(fs::file_size(temp.at("out.bin")), 0u);
  stream->putChar('!');  // the 1025th byte
  EXPECT_EQ(fs::file_size(temp.at("out.bin")), 1024u);
  for (int i = 1025; i < 2048; ++i) stream->putChar('b');
  EXPECT_EQ(fs::file_size(temp.at("out.bin")), 1024u);
  stream->close();
  EXPECT_EQ(fs::file_size(temp.at("out.bin")), 2048u);
  std::string written = readFile(temp.at("out.bin"));
  EXPECT_EQ(written[1023], static_cast<char>('a' + 1023 % 26));
  EXPECT_EQ(written[1024], '!');
  EXPECT_EQ(written[2047], 'b');
}

TEST_F(FilterStreamWriting, AFullBufferOfTheDefaultSizeWaitsForTheNextByte) {
  temp.write("in.txt", "x");
  auto stream = FilterStream::openPair("in.txt", "out.bin");
  const std::size_t capacity = FilterStream::kDefaultBufferSizes.outputCapacity;
  ASSERT_EQ(stream->outputCapacity(), capacity);
  const std::string block(capacity, 'a');
  stream->putBytes(block.data(), block.size());
  EXPECT_EQ(fs::file_size(temp.at("out.bin")), 0u);
  stream->putChar('!');
  EXPECT_EQ(fs::file_size(temp.at("out.bin")), capacity);
  stream->close();
  EXPECT_EQ(readFile(temp.at("out.bin")), block + "!");
}

// The file's size after each put, for a stream fed by putChar alone and
// one fed the same bytes in spans by putBytes: equal, so putBytes writes
// exactly the blocks that putChar writes, when putChar writes them.
TEST_F(FilterStreamWriting, PutBytesWritesWhatPutCharWritesWhenItWritesIt) {
  temp.write("in.txt", "x");
  for (std::size_t capacity : {1, 2, 5, 16}) {
    ScopedBufferSizes sizes(4, capacity);
    auto bytewise = FilterStream::openPair("in.txt", "bytewise.bin");
    auto spanwise = FilterStream::openPair("in.txt", "spanwise.bin");
    std::string all;
    for (std::size_t span : {0, 1, 3, 4, 5, 15, 16, 17, 33, 2, 64}) {
      std::string bytes;
      for (std::size_t i = 0; i < span; ++i) bytes += static_cast<char>((all.size() + i) * 37);
      all += bytes;
      for (char c : bytes) bytewise->putChar(c);
      spanwise->putBytes(bytes.data(), bytes.size());
      ASSERT_EQ(fs::file_size(temp.at("spanwise.bin")), fs::file_size(temp.at("bytewise.bin")))
          << "capacity " << capacity << ", after a span of " << span;
    }
    bytewise->close();
    spanwise->close();
    EXPECT_EQ(readFile(temp.at("spanwise.bin")), all);
    EXPECT_EQ(readFile(temp.at("bytewise.bin")), all);
  }
}

TEST_F(FilterStreamWriting, FlushWritesPendingBytesOnce) {
  temp.write("in.txt", "x");
  auto stream = FilterStream::openPair("in.txt", "out.txt");
  stream->flush();
  EXPECT_EQ(fs::file_size(temp.at("out.txt")), 0u);
  stream->putString("abc");
  stream->putString("");
  stream->flush();
  stream->flush();
  EXPECT_EQ(readFile(temp.at("out.txt")), "abc");
  stream->close();
  EXPECT_EQ(readFile(temp.at("out.txt")), "abc");
  EXPECT_FALSE(stream->writeFailed());
}

TEST_F(FilterStreamWriting, PutBytesKeepsNulBytes) {
  temp.write("in.txt", "x");
  auto stream = FilterStream::openPair("in.txt", "out.bin");
  stream->putBytes("a\0b\x80", 4);
  stream->close();
  EXPECT_EQ(readFile(temp.at("out.bin")), std::string("a\0b\x80", 4));
}

TEST_F(FilterStreamWriting, AFullDiskIsRemembered) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  temp.write("in.txt", "x");
  auto stream = FilterStream::openPair("in.txt", "/dev/full");
  ASSERT_TRUE(stream->outputOk());
  stream->putString("lost");
  EXPECT_FALSE(stream->writeFailed());  // still pending
  stream->flush();
  EXPECT_TRUE(stream->writeFailed());
}

TEST_F(FilterStreamWriting, SceneCopiesAreNamedAfterTheBaseName) {
  temp.write("scenes/shot.ma", "//Maya");
  EXPECT_EQ(FilterStream::openSceneCopy("scenes\\shot.ma")->outputPath(), "~shot.ma");
  EXPECT_EQ(FilterStream::openSceneCopy("scenes/shot.ma")->outputPath(), "~shot.ma");
  testing::internal::CaptureStdout();
  EXPECT_EQ(FilterStream::openSceneCopy("C:\\scenes\\shot.ma")->outputPath(), "~shot.ma");
  EXPECT_EQ(FilterStream::openSceneCopy("D:/work/shot.mb")->outputPath(), "~shot.mb");
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(fs::exists(temp.at("~shot.mb")));
}

TEST_F(FilterStreamWriting, CopiesAFileByteForByte) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>((i * 7919) & 0xff);
  temp.write("in.bin", bytes);
  auto stream = FilterStream::openPair("in.bin", "out.bin");
  char c;
  while (stream->getChar(c)) stream->putChar(c);
  stream->close();
  EXPECT_EQ(readFile(temp.at("out.bin")), bytes);
}

}  // namespace
