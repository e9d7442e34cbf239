// The example shot rendered as scripts/demo.sh renders it: vantleRender
// in an empty working directory beside the example project, with the
// example's header and the project's vantle_submit on the search path.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/console_text.h"
#include "support/environment.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/windows_form.h"

namespace {

class ExampleRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramRun make;
    make.program = MAKE_EXAMPLE_EXE;
    make.arguments = {VANTLE_EXAMPLES_DIR, temp.at("example")};
    ProgramResult made = runProgram(make);
    ASSERT_EQ(made.status, 0) << made.err;
    temp.makeDir("example/work");
  }

  ProgramResult render() {
    ProgramRun run;
    run.program = VANTLE_RENDER_EXE;
    run.arguments = {"-s", "1", "-e", "25", "-j", "10", "-b", "1", "../project/scenes/shot.ma"};
    run.workingDirectory = temp.at("example/work");
    const std::string toolDirectory = std::filesystem::path(VANTLE_SUBMIT_EXE).parent_path().string();
    run.environment["PATH"] = searchPathWith(toolDirectory);
    run.environment["VANTLE_RENDER_PATH"] = temp.at("example/vantle_render.hdr");
    ProgramResult result = runProgram(run);
    result.out = consoleText(result.out);
    result.err = consoleText(result.err);
    return result;
  }

  // Where the program says a file of the example is.
  std::string shown(const std::string& relative) const { return windowsForm(temp.at("example/" + relative)); }
  std::string file(const std::string& relative) const { return readFile(temp.at("example/" + relative)); }

  TempDir temp;
};

TEST_F(ExampleRun, TheShotIsSubmitted) {
  ProgramResult result = render();
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "Examining '../project/scenes/shot.ma'.\n"
            "Examining '" + shown("project/scenes/set.ma") + "'.\n"
            "Examining '" + shown("project/scenes/prop.mb") + "'.\n"
            "File 'wood.tif' copied to current directory.\n"
            "File 'sky.png' copied to current directory.\n"
            "File 'concrete.png' copied to current directory.\n"
            "File 'wood.tif' found in current directory.\n"
            "File 'brick.tif' copied to current directory.\n"
            "File 'metal.png' copied to current directory.\n"
            "\nTexture Dependencies: \n"
            "\t" + shown("project/sourceimages/wood.tif") + "\n"
            "\t" + shown("project/sourceimages/sky.png") + "\n"
            "\t" + shown("library/textures/concrete.png") + "\n"
            "\t" + shown("project/sourceimages/wood.tif") + "\n"
            "\t" + shown("project/sourceimages/brick.tif") + "\n"
            "\t" + shown("project/sourceimages/metal.png") + "\n"
            "\nFile Dependencies: \n"
            "\t" + shown("project/scenes/set.ma") + "\n"
            "\t" + shown("project/scenes/prop.mb") + "\n"
            "\n\nCalling vantle_submit:\n"
            "vantle_submit: 3 jobs queued, 8 files to transfer.\n"
            "\nSubmitted jobs successfully. Have a nice day!\n");
}

TEST_F(ExampleRun, TheWorkingDirectoryHoldsWhatTheJobsNeed) {
  ASSERT_EQ(render().status, 0);
  EXPECT_EQ(temp.list("example/work"),
            (std::vector<std::string>{"brick.tif", "concrete.png", "metal.png", "sky.png", "vantle_render.sub",
                                      "wood.tif", "~prop.mb", "~set.ma", "~shot.ma"}));
  EXPECT_EQ(file("work/wood.tif"), file("project/sourceimages/wood.tif"));
  EXPECT_EQ(file("work/concrete.png"), file("library/textures/concrete.png"));
  EXPECT_EQ(file("work/metal.png"), file("project/sourceimages/metal.png"));

  const std::string job = " -b 1.0000 ~shot.ma\nQueue\n";
  EXPECT_EQ(file("work/vantle_render.sub"),
            file("vantle_render.hdr") +
                "transfer_input_files = ~set.ma, ~prop.mb, wood.tif, sky.png, concrete.png, wood.tif, brick.tif, "
                "metal.png, ~shot.ma" +
                "\n\nArguments = -rd . -im Frame -s 1.0000 -e 10.0000" + job +
                "\n\nArguments = -rd . -im Frame -s 11.0000 -e 20.0000" + job +
                "\n\nArguments = -rd . -im Frame -s 21.0000 -e 25.0000" + job);
}

TEST_F(ExampleRun, TheScenesNameTheirCopies) {
  ASSERT_EQ(render().status, 0);
  const std::string shot = file("work/~shot.ma");
  EXPECT_NE(shot.find("-typ \"mayaAscii\"\n\t\t \"~set.ma\";\n"), std::string::npos) << shot;
  EXPECT_NE(shot.find("-typ \"mayaBinary\"\n\t\t \"~prop.mb\";\n"), std::string::npos) << shot;
  EXPECT_NE(shot.find("setAttr \".ftn\" -type \"string\" (\"concrete.png\");\n"), std::string::npos) << shot;
  EXPECT_NE(file("work/~set.ma").find("setAttr \".ftn\" -type \"string\" (\"brick.tif\");\n"), std::string::npos);

  // The binary copy keeps every byte in its place; the texture name is
  // written over the path and padded with spaces.
  const std::string prop = file("project/scenes/prop.mb");
  const std::string copy = file("work/~prop.mb");
  ASSERT_EQ(copy.size(), prop.size());
  const std::string path = "sourceimages/metal.png";
  std::size_t at = prop.find(path);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(copy.substr(at, path.size()), "metal.png" + std::string(path.size() - 9, ' '));
  EXPECT_EQ(copy.substr(0, at), prop.substr(0, at));
  EXPECT_EQ(copy.substr(at + path.size()), prop.substr(at + path.size()));
}

}  // namespace
