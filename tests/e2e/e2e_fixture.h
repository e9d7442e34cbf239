#pragma once
// Runs the built vantleRender in a fresh working directory. The program
// under test can be swapped with VANTLE_RENDER_EXE (another build of it)
// and started through VANTLE_TEST_LAUNCHER (an emulator, say).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/console_text.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"

inline const char kUsage[] =
    "Usage: vantleRender -s <float>  -e <float> [-j <int>] [-b <float>]  mayafile\n"
    "Where:\n-s\t\tStart frame in rendered sequence\n"
    "-e\t\tEnd frame in rendered sequence\n"
    "-j\t\tNumber of frames per vantle job\n"
    "-b\t\tBy frame for rendered sequence\n"
    "mayafile\tMaya Scene file to be rendered\n";

class EndToEnd : public ::testing::Test {
 protected:
  // The project tree lives beside the working directory, in one temp folder.
  EndToEnd() : work(temp.makeDir("work")) {}

  ProgramResult runIn(const std::string& directory, const std::vector<std::string>& arguments) {
    ProgramRun run;
    const char* exe = std::getenv("VANTLE_RENDER_EXE");
    run.program = exe != nullptr ? exe : VANTLE_RENDER_EXE;
    run.arguments = arguments;
    const char* launcher = std::getenv("VANTLE_TEST_LAUNCHER");
    if (launcher != nullptr && *launcher != '\0') {
      run.arguments.insert(run.arguments.begin(), run.program);
      run.program = launcher;
    }
    run.workingDirectory = directory;
    run.environment = environment;
    ProgramResult result = runProgram(run);
    result.out = consoleText(result.out);
    result.err = consoleText(result.err);
    return result;
  }
  ProgramResult run(const std::vector<std::string>& arguments) { return runIn(work, arguments); }

  // The files in the working directory, sorted.
  std::vector<std::string> workFiles() const { return temp.list("work"); }
  std::string workFile(const std::string& name) const { return readFile(temp.at("work/" + name)); }

  TempDir temp;
  std::string work;
  std::map<std::string, std::optional<std::string>> environment;
};
