#include "e2e/e2e_fixture.h"

namespace {

// Every fault of the command line ends the run with status 1 before
// anything is written.
class CommandLineFaults : public EndToEnd {
 protected:
  void SetUp() override {
    temp.write("work/a.ma", "//Maya ASCII\n");
    temp.write("work/b.ma", "//Maya ASCII\n");
  }
  void expectFault(const std::vector<std::string>& arguments, const std::string& out) {
    ProgramResult result = run(arguments);
    EXPECT_EQ(result.out, out);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"a.ma", "b.ma"}));
  }
};

TEST_F(CommandLineFaults, NoArgumentsAtAll) {
  expectFault({}, std::string("Missing start frame parameter.\n\n") + kUsage);
}

TEST_F(CommandLineFaults, BadSwitches) {
  expectFault({"-start", "1", "-e", "10", "a.ma"}, "Improperly formatted switch -start\n");
  expectFault({"-s5", "3", "a.ma"}, "Improperly formatted switch -s5\n");
  expectFault({"-x", "3", "-s", "1", "-e", "10", "a.ma"}, "Invalid Argument '-x'\n");
  expectFault({"-x5", "3", "-s", "1", "-e", "10", "a.ma"}, "Invalid Argument '-x5'\n");
}

TEST_F(CommandLineFaults, ASecondSceneOrATrailingOption) {
  expectFault({"-s", "1", "-e", "10", "a.ma", "b.ma"}, "Invalid Argument 'b.ma'\n");
  expectFault({"a.ma", "-s", "1", "-e", "10", "-j"}, "Invalid Argument '-j'\n");
  expectFault({"-s", "1", "-e", "10", "-j"}, "Can not open file '-j'\n");
}

TEST_F(CommandLineFaults, JobSize) {
  expectFault({"-s", "1", "-e", "10", "-j", "0", "a.ma"},
              std::string("Invalid 'Job Size' value: 0\n\n") + kUsage);
  expectFault({"-s", "1", "-e", "10", "-j", "abc", "a.ma"},
              std::string("Invalid 'Job Size' value: 0\n\n") + kUsage);
  expectFault({"-s", "1", "-e", "10", "-J", "-4", "a.ma"},
              std::string("Invalid 'Job Size' value: -4\n\n") + kUsage);
}

TEST_F(CommandLineFaults, FrameStepMustAdvance) {
  expectFault({"-s", "1", "-e", "10", "-b", "-1", "a.ma"},
              std::string("Invalid 'By frame' value: -1.00\n\n") + kUsage);
  expectFault({"-s", "1", "-e", "10", "-b", "0", "a.ma"},
              std::string("Invalid 'By frame' value: 0.00\n\n") + kUsage);
  expectFault({"-s", "1", "-e", "10", "-B", "nothing", "a.ma"},
              std::string("Invalid 'By frame' value: 0.00\n\n") + kUsage);
}

TEST_F(CommandLineFaults, MissingFrames) {
  expectFault({"-s", "-5", "-e", "10", "a.ma"}, std::string("Missing start frame parameter.\n\n") + kUsage);
  expectFault({"-s", "1", "a.ma"}, std::string("Missing end frame parameter.\n\n") + kUsage);
  expectFault({"-s", "1", "-e", "-0.5", "a.ma"}, std::string("Missing end frame parameter.\n\n") + kUsage);
}

TEST_F(CommandLineFaults, ValidationStopsAtTheFirstFault) {
  expectFault({"-j", "0", "-b", "-1"}, std::string("Invalid 'Job Size' value: 0\n\n") + kUsage);
  expectFault({"-b", "-1"}, std::string("Invalid 'By frame' value: -1.00\n\n") + kUsage);
  expectFault({"-e", "-1", "missing.ma"}, std::string("Missing start frame parameter.\n\n") + kUsage);
}

TEST_F(CommandLineFaults, TheScene) {
  expectFault({"-s", "1", "-e", "10"}, "No Maya file specified.\n");
  expectFault({"-s", "1", "-e", "10", "missing.ma"}, "Can not open file 'missing.ma'\n");
  expectFault({"-s", "1", "-e", "10", ""}, "Can not open file ''\n");
  temp.makeDir("folder.ma");
  ProgramResult result = run({"-s", "1", "-e", "10", "../folder.ma"});
  EXPECT_EQ(result.out, "Can not open file '../folder.ma'\n");
  EXPECT_EQ(result.status, 1);
}

}  // namespace
