#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "job/scene_job.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class SubmitFileWriter : public ::testing::Test {
 protected:
  SubmitFileWriter() : cd(temp.path()) {
    temp.write("scenes/shot.ma", "//Maya ASCII\n");
    temp.write("header.hdr", kHeader);
    job.headerPath = "header.hdr";
    job.scenePath = "scenes\\shot.ma";
    job.sceneStream = FilterStream::openSceneCopy(*job.scenePath);
    job.transferFiles = {"~shot.ma"};
  }

  int write(double start, double end, int perJob, double by) {
    job.startFrame = start;
    job.endFrame = end;
    job.framesPerJob = perJob;
    job.byFrame = by;
    testing::internal::CaptureStdout();
    int result = job.writeSubmitFile();
    printed = testing::internal::GetCapturedStdout();
    return result;
  }

  std::string description() const { return readFile(temp.at("vantle_render.sub")); }

  // The jobs part of a description, from (first, last, step) texts.
  static std::string jobs(const std::vector<std::pair<std::string, std::string>>& ranges,
                          const std::string& step = "1.0000") {
    std::string text;
    for (const auto& [first, last] : ranges) {
      text += "\n\nArguments = -rd . -im Frame -s " + first + " -e " + last + " -b " + step +
              " ~shot.ma\nQueue\n";
    }
    return text;
  }

  static constexpr const char* kHeader = "universe = vanilla\nexecutable = render.bat\n";
  TempDir temp;
  ScopedCurrentDirectory cd;
  SceneJob job;
  std::string printed;
};

TEST_F(SubmitFileWriter, TheWorkedExample) {
  job.transferFiles = {"~set.ma", "wood.tif", "~shot.ma"};
  ASSERT_EQ(write(1, 25, 10, 1), 1);
  EXPECT_EQ(printed, "");
  EXPECT_EQ(description(),
            std::string(kHeader) +
                "transfer_input_files = ~set.ma, wood.tif, ~shot.ma\n"
                "\n"
                "Arguments = -rd . -im Frame -s 1.0000 -e 10.0000 -b 1.0000 ~shot.ma\n"
                "Queue\n"
                "\n"
                "\n"
                "Arguments = -rd . -im Frame -s 11.0000 -e 20.0000 -b 1.0000 ~shot.ma\n"
                "Queue\n"
                "\n"
                "\n"
                "Arguments = -rd . -im Frame -s 21.0000 -e 25.0000 -b 1.0000 ~shot.ma\n"
                "Queue\n");
}

TEST_F(SubmitFileWriter, NoTransferLineWithoutEntries) {
  job.transferFiles.clear();
  ASSERT_EQ(write(1, 1, 10, 1), 1);
  EXPECT_EQ(description(), kHeader + jobs({{"1.0000", "1.0000"}}));
}

class SubmitFileJobs : public SubmitFileWriter {
 protected:
  std::string jobsWritten() {
    std::string all = description();
    std::string prefix = std::string(kHeader) + "transfer_input_files = ~shot.ma";
    EXPECT_EQ(all.compare(0, prefix.size(), prefix), 0);
    return all.substr(prefix.size());
  }
};

TEST_F(SubmitFileJobs, AlwaysAtLeastOneJob) {
  ASSERT_EQ(write(10, 5, 10, 1), 1);
  EXPECT_EQ(jobsWritten(), jobs({{"10.0000", "5.0000"}}));
  ASSERT_EQ(write(5, 5, 10, 1), 1);
  EXPECT_EQ(jobsWritten(), jobs({{"5.0000", "5.0000"}}));
}

TEST_F(SubmitFileJobs, OneFramePerJob) {
  ASSERT_EQ(write(1, 3, 1, 1), 1);
  EXPECT_EQ(jobsWritten(), jobs({{"1.0000", "1.0000"}, {"2.0000", "2.0000"}, {"3.0000", "3.0000"}}));
}

TEST_F(SubmitFileJobs, FractionalSteps) {
  ASSERT_EQ(write(1, 2, 4, 0.25), 1);
  EXPECT_EQ(jobsWritten(), jobs({{"1.0000", "1.7500"}, {"2.0000", "2.0000"}}, "0.2500"));
  ASSERT_EQ(write(1, 2, 5, 0.1), 1);
  EXPECT_EQ(jobsWritten(),
            jobs({{"1.0000", "1.4000"}, {"1.5000", "1.9000"}, {"2.0000", "2.0000"}}, "0.1000"));
}

TEST_F(SubmitFileJobs, ALimitedJobIsTheLast) {
  ASSERT_EQ(write(1, 15.7, 10, 1), 1);
  EXPECT_EQ(jobsWritten(), jobs({{"1.0000", "10.0000"}, {"11.0000", "15.7000"}}));
}

TEST_F(SubmitFileJobs, AJobMayStartPastTheEnd) {
  ASSERT_EQ(write(1, 20, 5, 2), 1);
  EXPECT_EQ(jobsWritten(),
            jobs({{"1.0000", "9.0000"}, {"11.0000", "19.0000"}, {"21.0000", "20.0000"}}, "2.0000"));
}

TEST_F(SubmitFileJobs, FramesBeyondSinglePrecision) {
  ASSERT_EQ(write(16777217, 16777300, 10, 1), 1);
  std::string text = jobsWritten();
  EXPECT_EQ(text.find("\n\nArguments = -rd . -im Frame -s 16777217.0000 -e 16777224.0000 -b 1.0000"), 0u);
  EXPECT_NE(text.find("-s 16777225.0000 -e "), std::string::npos);
  std::size_t jobsCount = 0;
  for (std::size_t at = text.find("Queue"); at != std::string::npos; at = text.find("Queue", at + 1)) ++jobsCount;
  EXPECT_EQ(jobsCount, 11u);
  const std::string last = "-s 16777297.0000 -e 16777300.0000 -b 1.0000 ~shot.ma\nQueue\n";
  EXPECT_EQ(text.compare(text.size() - last.size(), last.size(), last), 0) << text;
}

TEST_F(SubmitFileJobs, AJobThatCannotAdvanceFailsTheDescription) {
  ASSERT_EQ(write(16777217, 16777300, 1, 1), 0);
  EXPECT_EQ(printed, "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_FALSE(temp.exists("vantle_render.sub"));
}

class SubmitFileHeader : public SubmitFileWriter {};

TEST_F(SubmitFileHeader, IsCopiedByteForByte) {
  const std::string header("line one\r\nnul\0here\r\nno end", 27);
  temp.write("header.hdr", header);
  ASSERT_EQ(write(1, 1, 10, 1), 1);
  EXPECT_EQ(description(), header + "transfer_input_files = ~shot.ma" + jobs({{"1.0000", "1.0000"}}));
}

TEST_F(SubmitFileHeader, AnEmptyHeaderStartsWithTheTransferLine) {
  temp.write("header.hdr", "");
  testing::internal::CaptureStderr();
  ASSERT_EQ(write(1, 1, 10, 1), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Error loading file", 0), 0u);
  EXPECT_EQ(description(), "transfer_input_files = ~shot.ma" + jobs({{"1.0000", "1.0000"}}));
}

TEST_F(SubmitFileHeader, AMissingHeaderCreatesNothingUsable) {
  job.headerPath = "C:\\vantle_render\\vantle_render.hdr";
  ASSERT_EQ(write(1, 10, 10, 1), 0);
  EXPECT_EQ(printed,
            "ERROR: Can not open file for reading: 'C:\\vantle_render\\vantle_render.hdr'\n"
            "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(description(), "");
}

TEST_F(SubmitFileHeader, AHeaderThatIsTheDescriptionItselfIsLeftAlone) {
  temp.write("vantle_render.sub", "my own header\n");
  job.headerPath = "vantle_render.sub";
  ASSERT_EQ(write(1, 10, 10, 1), 0);
  EXPECT_EQ(printed,
            "ERROR: Can not open file for writing: 'vantle_render.sub'\n"
            "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(description(), "my own header\n");
}

TEST_F(SubmitFileHeader, AFullDiskIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  fs::create_symlink("/dev/full", temp.at("vantle_render.sub"));
  ASSERT_EQ(write(1, 10, 10, 1), 0);
  EXPECT_EQ(printed, "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_FALSE(temp.exists("vantle_render.sub"));
}

}  // namespace
