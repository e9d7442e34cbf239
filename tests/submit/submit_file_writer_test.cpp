// The submit description byte for byte: the header as it is, the transfer
// line, and the jobs that split a frame range.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "job/scene_job.h"
#include "support/temp_dir.h"

namespace {

const std::string kHeader("universe = vanilla\r\nnul \0 here\r\nno end", 38);

// "first last first last ..." as the jobs of a description.
std::string jobs(const std::string& ranges, const std::string& step = "1.0000") {
  std::istringstream frames(ranges);
  std::string first, last, text;
  while (frames >> first >> last) {
    text += "\n\nArguments = -rd . -im Frame -s " + first + " -e " + last + " -b " + step + " ~shot.ma\nQueue\n";
  }
  return text;
}

class SubmitDescription : public ::testing::Test {
 protected:
  SubmitDescription() : cd(temp.path()) {
    job.headerPath = temp.write("header.hdr", kHeader);
    job.sceneStream = FilterStream::openSceneCopy(temp.write("scenes/shot.ma", "//Maya ASCII\n"));
    job.transferFiles = {"~shot.ma"};
  }
  int write(double start, double end, int perJob, double by) {
    job.startFrame = start, job.endFrame = end, job.framesPerJob = perJob, job.byFrame = by;
    testing::internal::CaptureStdout();
    const int result = job.writeSubmitFile();
    printed = testing::internal::GetCapturedStdout();
    return result;
  }
  std::string written() const { return readFile(temp.at("vantle_render.sub")); }
  TempDir temp;
  ScopedCurrentDirectory cd;
  SceneJob job;
  std::string printed;
};

TEST_F(SubmitDescription, HeaderTransferLineAndJobs) {
  job.transferFiles = {"~set.ma", "wood.tif", "~shot.ma"};
  ASSERT_EQ(write(1, 25, 10, 1), 1);
  EXPECT_EQ(written(), kHeader + "transfer_input_files = ~set.ma, wood.tif, ~shot.ma\n" +
                           jobs("1.0000 10.0000 11.0000 20.0000 21.0000 25.0000").substr(1));
  job.transferFiles.clear();  // no transfer line at all
  ASSERT_EQ(write(1, 1, 10, 1), 1);
  EXPECT_EQ(written(), kHeader + jobs("1.0000 1.0000"));
  writeFile(job.headerPath, "");  // an empty header: the description starts with the transfer line
  job.transferFiles = {"~shot.ma"};
  testing::internal::CaptureStderr();
  ASSERT_EQ(write(1, 1, 10, 1), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Error loading file", 0), 0u);
  EXPECT_EQ(written(), "transfer_input_files = ~shot.ma" + jobs("1.0000 1.0000"));
}

TEST_F(SubmitDescription, SplitsTheFrameRange) {
  struct Case { double start, end; int perJob; double by; std::string jobs, step; };
  const Case cases[] = {
      {10, 5, 10, 1, "10.0000 5.0000", "1.0000"},  // always one job at least
      {1, 3, 1, 1, "1.0000 1.0000 2.0000 2.0000 3.0000 3.0000", "1.0000"},
      {1, 2, 4, 0.25, "1.0000 1.7500 2.0000 2.0000", "0.2500"},
      {1, 2, 5, 0.1, "1.0000 1.4000 1.5000 1.9000 2.0000 2.0000", "0.1000"},
      {1, 15.7, 10, 1, "1.0000 10.0000 11.0000 15.7000", "1.0000"},
      {1, 20, 5, 2, "1.0000 9.0000 11.0000 19.0000 21.0000 20.0000", "2.0000"},  // the last starts past the end
      // frames past 2^24: the running frame is a float, rounded to even
      {16777217, 16777236, 10, 1, "16777217.0000 16777224.0000 16777225.0000 16777232.0000 16777233.0000 "
                                  "16777236.0000", "1.0000"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(write(c.start, c.end, c.perJob, c.by), 1) << c.jobs;
    EXPECT_EQ(written(), kHeader + "transfer_input_files = ~shot.ma" + jobs(c.jobs, c.step)) << c.jobs;
  }
}

// Failures leave no description that looks finished.
TEST_F(SubmitDescription, Failures) {
  ASSERT_EQ(write(16777217, 16777300, 1, 1), 0);  // a job that cannot advance the frame
  EXPECT_EQ(printed, "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_FALSE(std::filesystem::exists("vantle_render.sub"));
  job.headerPath = "C:\\vantle_render\\vantle_render.hdr";
  ASSERT_EQ(write(1, 10, 10, 1), 0);
  EXPECT_EQ(printed, "ERROR: Can not open file for reading: 'C:\\vantle_render\\vantle_render.hdr'\n"
                     "ERROR: Unable to create Vantle Submit File.\n");
  job.headerPath = temp.write("vantle_render.sub", "my own header\n");  // the header is the description
  ASSERT_EQ(write(1, 10, 10, 1), 0);
  EXPECT_EQ(printed, "ERROR: Can not open file for writing: 'vantle_render.sub'\n"
                     "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(written(), "my own header\n");
#ifndef _WIN32
  job.headerPath = temp.write("header.hdr", kHeader);
  std::filesystem::remove("vantle_render.sub");
  std::filesystem::create_symlink("/dev/full", "vantle_render.sub");  // a full disk
  ASSERT_EQ(write(1, 10, 10, 1), 0);
  EXPECT_EQ(printed, "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status("vantle_render.sub")));
#endif
}

}  // namespace
