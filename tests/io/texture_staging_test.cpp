#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "io/file_copy.h"
#include "io/texture_staging.h"
#include "job/run_stop.h"
#include "job/scene_job.h"
#include "support/temp_dir.h"

namespace {

// The project lives in <tmp>/proj, the run works in <tmp>/work.
class TextureStaging : public ::testing::Test {
 protected:
  TextureStaging() : workDir(temp.makeDir("work")), cd(workDir) {}

  std::string texture(const std::string& relative, const std::string& bytes) {
    return temp.write("proj/" + relative, bytes);
  }
  // Stages the textures; returns the exit status a stop asked for, or -1.
  int stage(const std::vector<std::string>& textures) {
    SceneJob job;
    job.textureFiles = textures;
    testing::internal::CaptureStdout();
    int status = -1;
    try {
      stageTextures(job);
    } catch (const RunStop& stop) {
      status = stop.status();
    }
    printed = testing::internal::GetCapturedStdout();
    return status;
  }
  std::string work(const std::string& name) const { return readFile(temp.at("work/" + name)); }

  TempDir temp;
  std::string workDir;
  ScopedCurrentDirectory cd;
  std::string printed;
};

TEST_F(TextureStaging, NothingToStage) {
  EXPECT_EQ(stage({}), -1);
  EXPECT_EQ(printed, "");
}

TEST_F(TextureStaging, CopiesByteForByteUnderTheBaseName) {
  std::string bytes("\x89PNG\r\n\x1a\n\0\0\xff", 11);
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>(i * 31);
  std::string wood = texture("sourceimages/wood.png", bytes);
  EXPECT_EQ(stage({wood}), -1);
  EXPECT_EQ(printed, "File 'wood.png' copied to current directory.\n");
  EXPECT_EQ(work("wood.png"), bytes);
}

TEST_F(TextureStaging, AFileAlreadyThereIsKept) {
  std::string wood = texture("sourceimages/wood.tif", "new");
  temp.write("work/wood.tif", "user's own");
  EXPECT_EQ(stage({wood}), -1);
  EXPECT_EQ(printed, "File 'wood.tif' found in current directory.\n");
  EXPECT_EQ(work("wood.tif"), "user's own");
}

TEST_F(TextureStaging, ATextureInTheWorkingDirectoryIsNotCopiedOntoItself) {
  std::string here = temp.write("work/wood.tif", "in place");
  EXPECT_EQ(stage({here}), -1);
  EXPECT_EQ(printed, "File 'wood.tif' found in current directory.\n");
  EXPECT_EQ(work("wood.tif"), "in place");
}

TEST_F(TextureStaging, AMissingTextureLeavesNothingBehind) {
  EXPECT_EQ(stage({temp.at("proj/missing.tif")}), -1);
  EXPECT_EQ(printed, "ERROR: Unable to copy '" + temp.at("proj/missing.tif") + "' to 'missing.tif'\n");
  EXPECT_EQ(temp.list("work"), std::vector<std::string>{});
}

TEST_F(TextureStaging, AnEmptyTextureIsCopiedEmpty) {
  std::string empty = texture("empty.tif", "");
  testing::internal::CaptureStderr();
  EXPECT_EQ(stage({empty}), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Error loading file", 0), 0u);
  EXPECT_EQ(printed, "File 'empty.tif' copied to current directory.\n");
  EXPECT_EQ(work("empty.tif"), "");
}

TEST_F(TextureStaging, AFolderInTheWayIsNotATexture) {
  std::string wood = texture("wood.tif", "w");
  temp.makeDir("work/wood.tif");
  EXPECT_EQ(stage({wood}), -1);
  EXPECT_EQ(printed, "ERROR: Unable to copy '" + wood + "' to 'wood.tif'\n");
}

TEST_F(TextureStaging, TheSameTextureTwiceIsCopiedOnce) {
  std::string wood = texture("wood.tif", "w");
  EXPECT_EQ(stage({wood, wood}), -1);
  EXPECT_EQ(printed,
            "File 'wood.tif' copied to current directory.\n"
            "File 'wood.tif' found in current directory.\n");
}

TEST_F(TextureStaging, OneNameForIdenticalImagesIsFine) {
  std::string first = texture("a/wood.tif", "same bytes");
  std::string second = texture("b/wood.tif", "same bytes");
  EXPECT_EQ(stage({first, second}), -1);
  EXPECT_EQ(printed,
            "File 'wood.tif' copied to current directory.\n"
            "File 'wood.tif' found in current directory.\n");
}

TEST_F(TextureStaging, OneNameForDifferentImagesStopsTheRun) {
  std::string first = texture("a/wood.tif", "oak");
  std::string second = texture("b/wood.tif", "pine");
  EXPECT_EQ(stage({first, second}), 2);
  EXPECT_EQ(printed,
            "File 'wood.tif' copied to current directory.\n"
            "ERROR: '" + first + "' and '" + second + "' would both be copied to 'wood.tif'.\n");
  EXPECT_EQ(work("wood.tif"), "oak");
}

TEST_F(TextureStaging, AnUnreadableTwinStopsTheRun) {
  std::string first = texture("a/wood.tif", "oak");
  EXPECT_EQ(stage({first, temp.at("proj/b/wood.tif")}), 2);
}

TEST_F(TextureStaging, TheUsersOwnFileSettlesANameClash) {
  std::string first = texture("a/wood.tif", "oak");
  std::string second = texture("b/wood.tif", "pine");
  temp.write("work/wood.tif", "chosen");
  EXPECT_EQ(stage({first, second}), -1);
  EXPECT_EQ(printed,
            "File 'wood.tif' found in current directory.\n"
            "File 'wood.tif' found in current directory.\n");
}

TEST_F(TextureStaging, NamesDifferingInCase) {
  std::string first = texture("a/wood.tif", "oak");
  std::string second = texture("b/Wood.tif", "pine");
#ifdef _WIN32
  // One file name on Windows: two different images would share it.
  EXPECT_EQ(stage({first, second}), 2);
  EXPECT_EQ(printed, "File 'wood.tif' copied to current directory.\n"
                     "ERROR: '" + first + "' and '" + second + "' would both be copied to 'Wood.tif'.\n");
  EXPECT_EQ(temp.list("work"), std::vector<std::string>{"wood.tif"});
  EXPECT_EQ(work("wood.tif"), "oak");
#else
  // Two file names elsewhere.
  EXPECT_EQ(stage({first, second}), -1);
  EXPECT_EQ(work("wood.tif"), "oak");
  EXPECT_EQ(work("Wood.tif"), "pine");
#endif
}

// A disk that fills up while a texture is copied: the partial copy must
// not stay behind to be "found" by the next run.
TEST_F(TextureStaging, APartialCopyIsRemoved) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no file size limit to run into";
#else
  std::string big = texture("big.tif", std::string(64 * 1024, 'x'));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {16 * 1024, 16 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::freopen("/dev/null", "w", stdout);
    _exit(copyFile(big, "big.tif") == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(temp.exists("work/big.tif"));
#endif
}

TEST(SameContents, ComparesEveryByte) {
  TempDir temp;
  std::string a = temp.write("a", std::string(100000, 'a'));
  std::string b = temp.write("b", std::string(100000, 'a'));
  std::string c = temp.write("c", std::string(99999, 'a') + "b");
  std::string d = temp.write("d", std::string(99999, 'a'));
  EXPECT_TRUE(sameContents(a, b));
  EXPECT_FALSE(sameContents(a, c));
  EXPECT_FALSE(sameContents(a, d));
  EXPECT_FALSE(sameContents(a, temp.at("missing")));
}

}  // namespace
