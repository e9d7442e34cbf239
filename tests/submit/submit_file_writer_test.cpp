// The submit description byte for byte: the header as it is, the transfer
// line, and the jobs that split a frame range; the names it may carry.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "job/scene_job.h"
#include "names/staging_name.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace {

const std::string kHeader("# render of a shot\r\nnul \0 here\r\nno end", 38);  // copied as it is

class SubmitDescription : public ::testing::Test {
 protected:
  SubmitDescription() : cd(temp.path()) {
    job.headerPath = temp.write("header.hdr", kHeader);
    job.sceneStream = FilterStream::openSceneCopy(temp.write("scenes/shot.ma", "//Maya ASCII\n"));
  }
  int write(double start, double end, int perJob, double by) {
    job.startFrame = start, job.endFrame = end, job.framesPerJob = perJob, job.byFrame = by;
    testing::internal::CaptureStdout();
    const int result = job.writeSubmitFile();
    printed = testing::internal::GetCapturedStdout();
    return result;
  }
  TempDir temp;
  ScopedCurrentDirectory cd;
  SceneJob job;
  std::string printed;
};

// (A header that cannot be read, or is the description itself, and a full disk are met end to end.)
TEST_F(SubmitDescription, SplitsTheFrameRange) {
  // The transfer list, the frame settings, and the jobs' frames "first last first last ..." at their step.
  struct Case { std::vector<std::string> transfers; double start, end; int perJob; double by; std::string jobs, step; };
  const Case cases[] = {
      // a job that cannot advance the frame: no description that looks finished (first, with none there before)
      {{"~shot.ma"}, 16777217, 16777300, 1, 1, "", "1.0000"},
      {{"~set.ma", "wood.tif", "~shot.ma"}, 1, 25, 10, 1, "1.0000 10.0000 11.0000 20.0000 21.0000 25.0000", "1.0000"},
      {{}, 1, 1, 10, 1, "1.0000 1.0000", "1.0000"},  // no transfer line at all
      {{"~shot.ma"}, 10, 5, 10, 1, "10.0000 5.0000", "1.0000"},  // always one job at least
      {{"~shot.ma"}, 1, 3, 1, 1, "1.0000 1.0000 2.0000 2.0000 3.0000 3.0000", "1.0000"},
      {{"~shot.ma"}, 1, 2, 5, 0.1, "1.0000 1.4000 1.5000 1.9000 2.0000 2.0000", "0.1000"},
      {{"~shot.ma"}, 1, 15.7, 10, 1, "1.0000 10.0000 11.0000 15.7000", "1.0000"},
      // the span is a float (1.2f > 1.2): the first job reaches the end; a double span would queue one more
      {{"~shot.ma"}, 10, 11.2, 7, 0.2, "10.0000 11.2000", "0.2000"},
      // the last job starts past the end
      {{"~shot.ma"}, 1, 20, 5, 2, "1.0000 9.0000 11.0000 19.0000 21.0000 20.0000", "2.0000"},
      // frames past 2^24: the running frame is a float, rounded to even
      {{"~shot.ma"}, 16777217, 16777236, 10, 1, "16777217.0000 16777224.0000 16777225.0000 16777232.0000 "
                                                "16777233.0000 16777236.0000", "1.0000"},
  };
  for (const Case& c : cases) {
    job.transferFiles = c.transfers;
    std::string expected = kHeader, first, last;
    for (std::size_t i = 0; i < c.transfers.size(); ++i) {
      expected += (i ? ", " : "transfer_input_files = ") + c.transfers[i];
    }
    for (std::istringstream frames(c.jobs); frames >> first >> last;) {
      expected += "\n\nArguments = -rd . -im Frame -s " + first + " -e " + last + " -b " + c.step;
      expected += " ~shot.ma\nQueue\n";
    }
    ASSERT_EQ(write(c.start, c.end, c.perJob, c.by), c.jobs.empty() ? 0 : 1) << c.jobs;
    EXPECT_EQ(printed, c.jobs.empty() ? "ERROR: Unable to create Vantle Submit File.\n" : "") << c.jobs;
    const bool written = std::filesystem::exists("vantle_render.sub");
    EXPECT_EQ(written, !c.jobs.empty()) << c.jobs;
    EXPECT_EQ(written ? readFile("vantle_render.sub") : expected, expected) << c.jobs;
  }
  writeFile(job.headerPath, "");  // an empty header: the description starts with the transfer line
  testing::internal::CaptureStderr();
  ASSERT_EQ(write(1, 1, 10, 1), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Error loading file", 0), 0u);
  EXPECT_EQ(readFile("vantle_render.sub").substr(0, 25), "transfer_input_files = ~s");
}

// Names made of every byte value, each put through the check; those it lets through are written into one
// description as they are, on one transfer line after the header. The stand-in tool, which reads it by the pool's
// rules (names split at commas, blanks around them cut), finds every named file and queues it (POSIX: Windows takes
// no names that are not UTF-8).
TEST_F(SubmitDescription, EveryNameTheCheckPassesReadsBackWhole) {
  std::set<std::string> seen;
  job.transferFiles.clear();
  for (int byte = 0; byte < 256; ++byte) {
    const std::string b(1, static_cast<char>(byte));
    for (const std::string& name : {b, b + b, "a" + b, b + "a", "a" + b + "b.tif", "con" + b, "~" + b}) {
      if (isStageableName(name) && seen.insert(name).second) job.transferFiles.push_back(name);
    }
  }
  EXPECT_GT(job.transferFiles.size(), 1000u);
  job.transferFiles.push_back("~shot.ma");
  const std::string header = "# a header\nexecutable = render.bat\n\n";
  writeFile(job.headerPath, header);
  std::string expected = header + "transfer_input_files = ";
  for (const std::string& name : job.transferFiles) expected += (&name == &job.transferFiles[0] ? "" : ", ") + name;
  expected += "\n\nArguments = ";
  ASSERT_EQ(write(1, 25, 10, 1), 1);
  EXPECT_EQ(readFile("vantle_render.sub").substr(0, expected.size()), expected);
#ifndef _WIN32
  for (const std::string& name : job.transferFiles) writeFile(name, name);
  const ProgramResult queued = runProgram({VANTLE_SUBMIT_EXE, {"vantle_render.sub"}, temp.path(), {}});
  EXPECT_EQ(queued.out, "vantle_submit: 3 jobs queued, " + std::to_string(seen.size() + 1) + " files to transfer.\n");
  EXPECT_EQ(queued.status, 0) << queued.err;
#endif
}

}  // namespace
