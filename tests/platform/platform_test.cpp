#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace {

class PlatformTest : public ::testing::Test {
 protected:
  PlatformTest() : cd(temp.path()) {}
  TempDir temp;
  ScopedCurrentDirectory cd;
};

TEST_F(PlatformTest, BackslashesBecomeSlashesAtTheBoundaryOnly) {
#ifdef _WIN32
  EXPECT_EQ(platform::systemPath("a\\b/c"), "a\\b/c");
#else
  EXPECT_EQ(platform::systemPath("a\\b/c"), "a/b/c");
#endif
  temp.write("maps/wood.tif", "w");
  EXPECT_TRUE(platform::fileOpens("maps\\wood.tif", "r"));
}

TEST_F(PlatformTest, ADirectoryNeverOpens) {
  temp.makeDir("folder");
  EXPECT_FALSE(platform::fileOpens("folder", "r"));
  EXPECT_FALSE(platform::fileOpens("folder", "rb"));
  EXPECT_FALSE(platform::fileOpens("folder", "w"));
  EXPECT_EQ(platform::openFile("folder", "rb"), nullptr);
}

TEST_F(PlatformTest, FileIdentityIsNotSpelling) {
  temp.write("a.txt", "a");
  temp.write("b.txt", "a");
  EXPECT_TRUE(platform::sameFile("a.txt", "./a.txt"));
  EXPECT_TRUE(platform::sameFile("a.txt", temp.at("a.txt")));
  EXPECT_FALSE(platform::sameFile("a.txt", "b.txt"));
  EXPECT_FALSE(platform::sameFile("a.txt", "missing.txt"));
  EXPECT_FALSE(platform::sameFile("missing.txt", "missing.txt"));
}

TEST_F(PlatformTest, ChangingDirectoryAndBack) {
  temp.makeDir("sub");
  const std::string start = platform::currentDirectory();
  // The system names folders with its own separator.
#ifdef _WIN32
  const std::string sub = start + "\\sub";
#else
  const std::string sub = start + "/sub";
#endif
  EXPECT_TRUE(platform::changeDirectory("sub\\..\\sub"));
  EXPECT_EQ(platform::currentDirectory(), sub);
  EXPECT_FALSE(platform::changeDirectory("no-such-folder"));
  EXPECT_EQ(platform::currentDirectory(), sub);
  EXPECT_TRUE(platform::changeDirectory(start));
}

TEST_F(PlatformTest, RemovesFiles) {
  temp.write("gone.txt", "x");
  EXPECT_TRUE(platform::removeFile("gone.txt"));
  EXPECT_FALSE(temp.exists("gone.txt"));
  EXPECT_FALSE(platform::removeFile("gone.txt"));
}

TEST_F(PlatformTest, CommandsReportTheirExitStatus) {
  EXPECT_EQ(platform::runCommand("exit 0"), 0);
  EXPECT_EQ(platform::runCommand("exit 3"), 3);
  // A command the interpreter cannot find: cmd.exe reports 9009, a POSIX
  // shell 127.
#ifdef _WIN32
  EXPECT_EQ(platform::runCommand("no-such-command-anywhere-vantle"), 9009);
#else
  EXPECT_EQ(platform::runCommand("no-such-command-anywhere-vantle"), 127);
#endif
}

TEST_F(PlatformTest, LargeFilePositionsAreSixtyFourBit) {
  std::string path = temp.at("sparse.bin");
  std::filesystem::path p(path);
  { std::FILE* f = std::fopen(path.c_str(), "wb"); std::fclose(f); }
  std::filesystem::resize_file(p, (std::uintmax_t{5} << 30) + 3);
  std::FILE* f = platform::openFile(path, "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(platform::seekTo(f, 0, SEEK_END));
  EXPECT_EQ(platform::tellPosition(f), (std::int64_t{5} << 30) + 3);
  std::fclose(f);
}

}  // namespace
