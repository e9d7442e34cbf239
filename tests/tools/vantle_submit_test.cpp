// The submit tool, run as a program in a folder of the test's own: it
// accepts a well-formed description whose files are all there, and
// rejects anything else with a reason on standard error.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace {

const char kHeader[] =
    "# render pool\n"
    "universe = vanilla\n"
    "executable = render.bat\n"
    "should_transfer_files = YES\n";

// One job as vantleRender writes it, with the line ends that lead it.
std::string job(const std::string& first, const std::string& last, const std::string& scene = "~shot.ma") {
  return "\n\nArguments = -rd . -im Frame -s " + first + " -e " + last + " -b 1.0000 " + scene + "\nQueue\n";
}

std::string unixLineEnds(std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

class SubmitTool : public ::testing::Test {
 protected:
  ProgramResult submit(const std::vector<std::string>& arguments) {
    ProgramRun run;
    const char* exe = std::getenv("VANTLE_SUBMIT_EXE");
    run.program = exe != nullptr && *exe != '\0' ? exe : VANTLE_SUBMIT_EXE;
    run.arguments = arguments;
    const char* launcher = std::getenv("VANTLE_TEST_LAUNCHER");
    if (launcher != nullptr && *launcher != '\0') {
      run.arguments.insert(run.arguments.begin(), run.program);
      run.program = launcher;
    }
    run.workingDirectory = work;
    ProgramResult result = runProgram(run);
    // A Windows build writes its console text with CR LF line ends.
    result.out = unixLineEnds(result.out);
    result.err = unixLineEnds(result.err);
    return result;
  }

  ProgramResult submitDescription(const std::string& description) {
    temp.write("work/vantle_render.sub", description);
    return submit({"vantle_render.sub"});
  }

  void present(const std::vector<std::string>& names) {
    for (const std::string& name : names) temp.write("work/" + name, "bytes of " + name);
  }

  // Rejected with status 2, and the reason is among the lines on standard
  // error, each of which names the tool.
  void expectRejected(const ProgramResult& result, const std::string& reason) {
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    std::size_t start = 0;
    while (start < result.err.size()) {
      EXPECT_EQ(result.err.compare(start, 15, "vantle_submit: "), 0) << result.err;
      std::size_t end = result.err.find('\n', start);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }

  TempDir temp;
  std::string work = temp.makeDir("work");
};

TEST_F(SubmitTool, QueuesTheJobsOfAWellFormedDescription) {
  present({"~set.ma", "wood.tif", "~shot.ma"});
  ProgramResult result = submitDescription(std::string(kHeader) +
                                           "transfer_input_files = ~set.ma, wood.tif, ~shot.ma" +
                                           job("1.0000", "10.0000") + job("11.0000", "20.0000") +
                                           job("21.0000", "25.0000"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "vantle_submit: 3 jobs queued, 3 files to transfer.\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(SubmitTool, OneJobAndOneFile) {
  present({"~shot.ma"});
  ProgramResult result =
      submitDescription(std::string(kHeader) + "transfer_input_files = ~shot.ma" + job("5.0000", "5.0000"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "vantle_submit: 1 job queued, 1 file to transfer.\n");
}

TEST_F(SubmitTool, AFileNamedTwiceIsTransferredOnce) {
  present({"~set.ma", "wood.tif", "~shot.ma"});
  ProgramResult result = submitDescription(std::string(kHeader) +
                                           "transfer_input_files = wood.tif, ~set.ma, wood.tif, ~shot.ma" +
                                           job("1.0000", "10.0000"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "vantle_submit: 1 job queued, 3 files to transfer.\n");
}

TEST_F(SubmitTool, TheHeaderIsTheUsersOwn) {
  present({"~shot.ma"});
  const std::string header =
      "# comment\r\n"
      "   # indented comment\r\n"
      "\r\n"
      "Universe=vanilla\r\n"
      "requirements = (OpSys == \"WINDOWS\") && (Memory > 4096)\r\n"
      "arguments = -verbose\r\n"
      "some free text the pool may know\r\n"
      "\t\r\n";
  ProgramResult result =
      submitDescription(header + "transfer_input_files = ~shot.ma" + job("1.0000", "10.0000"));
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "vantle_submit: 1 job queued, 1 file to transfer.\n");
}

TEST_F(SubmitTool, AnEmptyHeader) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription("transfer_input_files = ~shot.ma" + job("1.0000", "1.0000"));
  EXPECT_EQ(result.status, 0) << result.err;
}

TEST_F(SubmitTool, NamesBeyondAscii) {
  // "érable-木.tif" and "~pláno.ma", UTF-8 as vantleRender writes them.
  const std::string texture = "\xC3\xA9rable-\xE6\x9C\xA8.tif";
  const std::string scene = "~pl\xC3\xA1no.ma";
  present({texture, scene});
  ProgramResult result = submitDescription(std::string(kHeader) + "transfer_input_files = " + texture + ", " +
                                           scene + job("1.0000", "1.0000", scene));
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "vantle_submit: 1 job queued, 2 files to transfer.\n");
}

TEST_F(SubmitTool, AHeaderWithoutItsLastLineEnd) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription(
      "universe = vanilla\nshould_transfer_files = YEStransfer_input_files = ~shot.ma" + job("1.0000", "1.0000"));
  expectRejected(result, "line 2: transfer_input_files does not begin its line");
}

TEST_F(SubmitTool, AMissingFileToTransfer) {
  present({"~set.ma", "~shot.ma"});
  ProgramResult result = submitDescription(std::string(kHeader) +
                                           "transfer_input_files = ~set.ma, wood.tif, ~shot.ma" +
                                           job("1.0000", "10.0000"));
  expectRejected(result, "file to transfer 'wood.tif' is not in the current directory.");
  EXPECT_NE(result.err.find("'vantle_render.sub' was not submitted."), std::string::npos);
}

TEST_F(SubmitTool, EveryMissingFileIsNamed) {
  ProgramResult result = submitDescription(std::string(kHeader) + "transfer_input_files = a.tif, b.tif, ~shot.ma" +
                                           job("1.0000", "10.0000") + job("11.0000", "20.0000"));
  expectRejected(result, "'a.tif' is not in the current directory.");
  EXPECT_NE(result.err.find("'b.tif' is not in the current directory."), std::string::npos);
  // The scene is named once, however many jobs render it.
  const std::string scene = "'~shot.ma' is not in the current directory.";
  std::size_t first = result.err.find(scene);
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(result.err.find(scene, first + 1), std::string::npos);
}

TEST_F(SubmitTool, TheSceneOfAJobMustBeThere) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription(std::string(kHeader) + "transfer_input_files = ~shot.ma, ~other.ma" +
                                           job("1.0000", "10.0000", "~other.ma"));
  expectRejected(result, "'~other.ma' is not in the current directory.");
}

TEST_F(SubmitTool, TheSceneOfAJobMustBeTransferred) {
  present({"~shot.ma", "wood.tif"});
  ProgramResult result =
      submitDescription(std::string(kHeader) + "transfer_input_files = wood.tif" + job("1.0000", "10.0000"));
  expectRejected(result, "the scene '~shot.ma' is not among the files to transfer.");
}

TEST_F(SubmitTool, WithoutATransferLineTheSceneIsNotTransferred) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription(std::string(kHeader) + job("1.0000", "10.0000"));
  expectRejected(result, "the scene '~shot.ma' is not among the files to transfer.");
}

TEST_F(SubmitTool, ADirectoryIsNoFile) {
  present({"~shot.ma"});
  temp.makeDir("work/wood.tif");
  ProgramResult result = submitDescription(std::string(kHeader) + "transfer_input_files = wood.tif, ~shot.ma" +
                                           job("1.0000", "10.0000"));
  expectRejected(result, "'wood.tif' is a directory, not a file.");
}

TEST_F(SubmitTool, FilesAreNamedByBareName) {
  present({"~shot.ma", "maps/wood.tif"});
  ProgramResult result = submitDescription(std::string(kHeader) +
                                           "transfer_input_files = maps/wood.tif, ~shot.ma" +
                                           job("1.0000", "10.0000"));
  expectRejected(result, "'maps/wood.tif' is not a bare file name.");
  result = submitDescription(std::string(kHeader) + "transfer_input_files = maps\\wood.tif, ~shot.ma" +
                             job("1.0000", "10.0000"));
  expectRejected(result, "'maps\\wood.tif' is not a bare file name.");
}

TEST_F(SubmitTool, FilesAreLookedForInTheCurrentDirectory) {
  // The description lies elsewhere, beside copies of the files; they do
  // not count.
  temp.write("elsewhere/~shot.ma", "scene");
  const std::string description =
      temp.write("elsewhere/vantle_render.sub",
                 std::string(kHeader) + "transfer_input_files = ~shot.ma" + job("1.0000", "10.0000"));
  ProgramResult result = submit({description});
  expectRejected(result, "'~shot.ma' is not in the current directory.");

  present({"~shot.ma"});
  result = submit({description});
  EXPECT_EQ(result.status, 0) << result.err;
}

TEST_F(SubmitTool, AnEmptyNameInTheTransferList) {
  present({"~shot.ma", "wood.tif"});
  ProgramResult result = submitDescription(std::string(kHeader) + "transfer_input_files = wood.tif, , ~shot.ma" +
                                           job("1.0000", "10.0000"));
  expectRejected(result, "transfer_input_files has an empty name.");
}

TEST_F(SubmitTool, TwoTransferLines) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription("transfer_input_files = ~shot.ma\ntransfer_input_files = ~shot.ma" +
                                           job("1.0000", "10.0000"));
  expectRejected(result, "line 2: a second transfer_input_files line (the first is line 1).");
}

TEST_F(SubmitTool, ATransferLineAfterTheJobs) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription("transfer_input_files = ~shot.ma" + job("1.0000", "10.0000") +
                                           "transfer_input_files = ~shot.ma\n");
  expectRejected(result, "line 5: transfer_input_files comes after the first job.");
}

TEST_F(SubmitTool, NoJobAtAll) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription(std::string(kHeader) + "transfer_input_files = ~shot.ma\n");
  expectRejected(result, "the description queues no job.");
  result = submitDescription("");
  expectRejected(result, "the description queues no job.");
}

TEST_F(SubmitTool, ArgumentsWithoutQueue) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription("transfer_input_files = ~shot.ma" + job("1.0000", "10.0000") +
                                           "\n\nArguments = -rd . -im Frame -s 11.0000 -e 20.0000 -b 1.0000 "
                                           "~shot.ma\n\nQueue\n");
  expectRejected(result, "line 7: an Arguments line must be followed by a Queue line.");
}

TEST_F(SubmitTool, QueueWithoutArguments) {
  present({"~shot.ma"});
  ProgramResult result =
      submitDescription("transfer_input_files = ~shot.ma" + job("1.0000", "10.0000") + "Queue\n");
  expectRejected(result, "line 5: Queue without an Arguments line before it.");
  result = submitDescription("universe = vanilla\nQueue\ntransfer_input_files = ~shot.ma" + job("1.0000", "1.0000"));
  expectRejected(result, "line 2: Queue without an Arguments line before it.");
}

TEST_F(SubmitTool, ArgumentsThatNameNoScene) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription("transfer_input_files = ~shot.ma\n\nArguments =\nQueue\n");
  expectRejected(result, "line 3: the Arguments line names no scene.");
}

TEST_F(SubmitTool, ALineThatIsNoJob) {
  present({"~shot.ma"});
  ProgramResult result = submitDescription("transfer_input_files = ~shot.ma" + job("1.0000", "10.0000") +
                                           "priority = 5\n");
  expectRejected(result, "line 5: expected an Arguments or a Queue line, found 'priority = 5'.");
}

TEST_F(SubmitTool, ADescriptionThatCannotBeRead) {
  ProgramResult result = submit({"vantle_render.sub"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "vantle_submit: cannot read the submit description 'vantle_render.sub'.\n");
  temp.makeDir("work/folder.sub");
  result = submit({"folder.sub"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "vantle_submit: cannot read the submit description 'folder.sub'.\n");
}

TEST_F(SubmitTool, UsageErrors) {
  const std::string usage = "vantle_submit: usage: vantle_submit <submit description>\n";
  ProgramResult result = submit({});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, usage);
  result = submit({"a.sub", "b.sub"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, usage);
}

}  // namespace
