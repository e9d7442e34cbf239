#include <gtest/gtest.h>

#include <vector>

#include "job/run_stop.h"
#include "job/scene_job.h"
#include "support/temp_dir.h"

namespace {

int parse(SceneJob& job, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "vantleRender");
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  testing::internal::CaptureStdout();
  int result = job.parseArguments(static_cast<int>(argv.size()), argv.data());
  testing::internal::GetCapturedStdout();
  return result;
}

TEST(CommandLineParsing, LettersInEitherCase) {
  SceneJob job;
  ASSERT_EQ(parse(job, {"-S", "1", "-E", "10", "-J", "5", "-B", "2", "a.ma"}), 1);
  EXPECT_EQ(job.startFrame, 1.0);
  EXPECT_EQ(job.endFrame, 10.0);
  EXPECT_EQ(job.framesPerJob, 5);
  EXPECT_EQ(job.byFrame, 2.0);
  EXPECT_EQ(job.scenePath, "a.ma");
}

TEST(CommandLineParsing, ConversionsAreLenient) {
  SceneJob job;
  ASSERT_EQ(parse(job, {"-s", " 2.5x", "-e", "1e2", "-j", "7.9", "-b", "-0"}), 1);
  EXPECT_EQ(job.startFrame, 2.5);
  EXPECT_EQ(job.endFrame, 100.0);
  EXPECT_EQ(job.framesPerJob, 7);
  EXPECT_FALSE(job.scenePath.has_value());
}

TEST(CommandLineParsing, HugeJobSizesClampInsteadOfOverflowing) {
  SceneJob job;
  ASSERT_EQ(parse(job, {"-j", "99999999999"}), 1);
  EXPECT_EQ(job.framesPerJob, 2147483647);
  ASSERT_EQ(parse(job, {"-j", "-99999999999"}), 1);
  EXPECT_EQ(job.framesPerJob, -2147483647 - 1);
}

TEST(CommandLineParsing, LaterOptionsWinAndValuesMayLookLikeOptions) {
  SceneJob job;
  ASSERT_EQ(parse(job, {"-s", "2", "-s", "7", "-e", "-s"}), 1);
  EXPECT_EQ(job.startFrame, 7.0);
  EXPECT_EQ(job.endFrame, 0.0);
}

TEST(CommandLineParsing, ALoneDashIsAScene) {
  SceneJob job;
  ASSERT_EQ(parse(job, {"-", "-s", "1"}), 1);
  EXPECT_EQ(job.scenePath, "-");
  EXPECT_EQ(job.startFrame, 1.0);
}

class CommandLineValidation : public ::testing::Test {
 protected:
  CommandLineValidation() : cd(temp.path()) { temp.write("a.ma", "//Maya"); }
  // The exit status validation ends with, or -1 when it passes.
  int validate(std::vector<std::string> arguments) {
    SceneJob job;
    EXPECT_EQ(parse(job, arguments), 1);
    testing::internal::CaptureStdout();
    int status = -1;
    try {
      job.validateArguments();
    } catch (const RunStop& stop) {
      status = stop.status();
    }
    testing::internal::GetCapturedStdout();
    return status;
  }
  TempDir temp;
  ScopedCurrentDirectory cd;
};

TEST_F(CommandLineValidation, AcceptsZeroFramesAndAnyOrder) {
  EXPECT_EQ(validate({"-s", "0", "-e", "0", "a.ma"}), -1);
  EXPECT_EQ(validate({"-s", "10", "-e", "1", "a.ma"}), -1);
  EXPECT_EQ(validate({"-s", "1", "-e", "2", "-b", "0.001", "-j", "1", "a.ma"}), -1);
}

TEST_F(CommandLineValidation, RefusesWithStatusOne) {
  EXPECT_EQ(validate({"-s", "1", "-e", "2", "-b", "nan", "a.ma"}), 1);
  // The C runtime reads the number: glibc's atof reads "nan" as NaN, which
  // is no frame; Windows' msvcrt reads no number in it, that is 0, a frame.
#ifdef _WIN32
  EXPECT_EQ(validate({"-s", "nan", "-e", "2", "a.ma"}), -1);
#else
  EXPECT_EQ(validate({"-s", "nan", "-e", "2", "a.ma"}), 1);
#endif
  EXPECT_EQ(validate({"-s", "1", "-e", "2", "missing.ma"}), 1);
}

}  // namespace
