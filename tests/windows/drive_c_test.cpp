// Windows as a user has it: a working directory C:\work, a project with its
// scenes in C:\proj\scenes and its textures in C:\proj\sourceimages, drive
// letters, the root of a drive, and cmd.exe between the program and the
// submit tool. The tests lay these folders out at the root of drive C:, so
// they run under Wine only, where C: is the build's own prefix; on a real
// machine they would touch the user's own C:\work.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "job/scene_job.h"
#include "platform/platform.h"
#include "support/console_text.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const char kHeader[] = "universe = vanilla\nexecutable = render.bat\n";
const char kSubmitted[] = "\nSubmitted jobs successfully. Have a nice day!\n";
const char kFailed[] = "\nVantle_submit failed. Make sure vantle_submit is in your search path.\n";
const char kSystemPath[] = "C:\\windows\\system32;C:\\windows";

bool underWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A drive letter that names no drive here, as D: does in a fresh prefix.
std::string missingDrive() {
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'D'; letter <= 'Z'; ++letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) return std::string(1, letter) + ":";
  }
  return "";
}

class DriveC : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!underWine()) GTEST_SKIP() << "lays out folders at the root of drive C:; runs under Wine only";
    // What an earlier run that was stopped may have left in the prefix.
    removeOwnFiles();
    owned = true;
    fs::create_directories("C:\\work\\scenes");
    fs::create_directories("C:\\proj\\scenes");
    fs::create_directories("C:\\proj\\sourceimages");
    fs::create_directories("C:\\tools");
    writeFile("C:\\proj\\vantle_render.hdr", kHeader);
    started = platform::currentDirectory();
    ASSERT_TRUE(platform::changeDirectory("C:\\work"));
  }

  void TearDown() override {
    if (!owned) return;
    platform::changeDirectory(started);
    removeOwnFiles();
  }

  static void removeOwnFiles() {
    std::error_code ignored;
    for (const char* folder : {"C:\\work", "C:\\proj", "C:\\tools"}) fs::remove_all(folder, ignored);
    for (const char* file : {"C:\\shot.ma", "C:\\wood.tif"}) fs::remove(file, ignored);
  }

  // A submit tool in C:\tools: a batch file that prints its arguments and
  // ends with `status`.
  static void batchSubmitTool(int status) {
    writeFile("C:\\tools\\vantle_submit.bat",
              "@echo vantle_submit %*\r\n@exit /b " + std::to_string(status) + "\r\n");
  }
  // The project's own submit tool, copied to C:\tools.
  static void realSubmitTool() {
    fs::copy_file(VANTLE_SUBMIT_EXE, "C:\\tools\\vantle_submit.exe", fs::copy_options::overwrite_existing);
  }

  // vantleRender run from C:\work, the header in C:\proj, C:\tools first
  // on the search path.
  ProgramResult render(const std::vector<std::string>& arguments) {
    ProgramRun run;
    run.program = VANTLE_RENDER_EXE;
    run.arguments = arguments;
    run.workingDirectory = "C:\\work";
    run.environment["VANTLE_RENDER_PATH"] = "C:\\proj\\vantle_render.hdr";
    run.environment["PATH"] = std::string("C:\\tools;") + kSystemPath;
    for (const auto& change : environment) run.environment[change.first] = change.second;
    ProgramResult result = runProgram(run);
    result.out = consoleText(result.out);
    result.err = consoleText(result.err);
    return result;
  }

  static std::vector<std::string> workFiles() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator("C:\\work")) {
      if (entry.is_regular_file()) names.push_back(entry.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  static std::string jobs(const std::string& copy, const std::vector<std::pair<std::string, std::string>>& ranges) {
    std::string text;
    for (const auto& [first, last] : ranges) {
      text += "\n\nArguments = -rd . -im Frame -s " + first + " -e " + last + " -b 1.0000 " + copy + "\nQueue\n";
    }
    return text;
  }

  bool owned = false;
  std::string started;
  std::map<std::string, std::optional<std::string>> environment;
};

// ------------------------------------------------------------ resolution

struct Resolution {
  const char* scenePath;
  const char* before;
  const char* after;
  int result;
};

void expectResolutions(const std::vector<Resolution>& rows) {
  for (const Resolution& row : rows) {
    SCOPED_TRACE(std::string(row.scenePath) + " | " + row.before);
    SceneJob job(row.scenePath, nullptr);
    std::string entry = row.before;
    EXPECT_EQ(job.resolveDependencyPath(entry), row.result);
    EXPECT_EQ(entry, row.after);
    EXPECT_EQ(platform::currentDirectory(), "C:\\work");
  }
}

TEST_F(DriveC, TheResolutionTable) {
  expectResolutions({
      {"C:\\proj\\scenes\\shot.ma", "sourceimages/wood.tif", "C:\\proj\\sourceimages\\wood.tif", 1},
      {"C:\\proj\\scenes\\shot.ma", "scenes\\set.ma", "C:\\proj\\scenes\\set.ma", 1},
      {"C:\\proj\\scenes\\shot.ma", "D:/maps/wood.tif", "D:\\maps\\wood.tif", 0},
      {"C:\\proj\\scenes\\shot.ma", "/maps/wood.tif", "\\maps\\wood.tif", 0},
      {"C:\\shot.ma", "wood.tif", "C:\\wood.tif", 1},
      {"shot.ma", "sourceimages\\wood.tif", "C:\\sourceimages\\wood.tif", 1},
      {"scenes\\shot.ma", "sourceimages\\wood.tif", "C:\\work\\sourceimages\\wood.tif", 1},
  });
}

TEST_F(DriveC, DriveLettersAndBlanks) {
  expectResolutions({
      // A drive letter without a separator is relative to that drive's
      // current folder: the program takes it as relative, base in front.
      {"C:\\proj\\scenes\\shot.ma", "C:wood.tif", "C:\\proj\\C:wood.tif", 1},
      {"C:\\proj\\scenes\\shot.ma", " C:\\maps\\wood.tif", " C:\\maps\\wood.tif", 0},
      {"C:\\proj\\scenes\\shot.ma", "c:/proj/sourceimages/wood.tif", "c:\\proj\\sourceimages\\wood.tif", 0},
      {"C:\\proj\\scenes\\shot.ma", "D:wood.tif", "C:\\proj\\D:wood.tif", 1},
  });
}

TEST_F(DriveC, SceneFoldersSpelledInEveryWay) {
  expectResolutions({
      // Rooted without a drive: the drive of the working directory.
      {"\\proj\\scenes\\shot.ma", "sourceimages\\wood.tif", "C:\\proj\\sourceimages\\wood.tif", 1},
      {"\\shot.ma", "wood.tif", "C:\\wood.tif", 1},
      // Forward slashes and a lower-case drive letter.
      {"C:/proj/scenes/shot.ma", "sourceimages\\wood.tif", "C:\\proj\\sourceimages\\wood.tif", 1},
      // The system keeps the spelling of the folder it was sent to.
      {"c:\\proj\\scenes\\shot.ma", "sourceimages\\wood.tif", "c:\\proj\\sourceimages\\wood.tif", 1},
      // Relative to the working directory, one level up and back.
      {"..\\proj\\scenes\\shot.ma", "sourceimages\\wood.tif", "C:\\proj\\sourceimages\\wood.tif", 1},
  });
}

TEST_F(DriveC, ASceneOnADriveThatIsNotThere) {
  const std::string drive = missingDrive();
  ASSERT_FALSE(drive.empty());
  const std::string scene = drive + "\\proj\\scenes\\shot.ma";
  // The folder cannot be entered: the working directory is the base.
  expectResolutions({{scene.c_str(), "wood.tif", "C:\\work\\wood.tif", 1}});
}

TEST_F(DriveC, TheRootIsTheParentOfTheRoot) {
  // From C:\ itself a bare scene name has C:\ as its folder and parent.
  ASSERT_TRUE(platform::changeDirectory("C:\\"));
  SceneJob job("shot.ma", nullptr);
  std::string entry = "sourceimages\\wood.tif";
  EXPECT_EQ(job.resolveDependencyPath(entry), 1);
  EXPECT_EQ(entry, "C:\\sourceimages\\wood.tif");
  EXPECT_EQ(platform::currentDirectory(), "C:\\");
}

// ------------------------------------------------------------ whole runs

// The scene names its files with both separators, upper- and lower-case
// drive letters, a drive that is not there, and (for the wood) backslashes
// doubled the way Maya escapes them in a string. The paths are reported as
// spelled, slashes turned; Windows reads a doubled separator as one.
TEST_F(DriveC, TexturesNamedWithDriveLettersAndMixedSeparators) {
  const std::string drive = missingDrive();
  ASSERT_FALSE(drive.empty());
  writeFile("C:\\proj\\sourceimages\\wood.tif", "oak");
  writeFile("C:\\proj\\sourceimages\\stone.tif", "granite");
  writeFile("C:\\proj\\sourceimages\\brick.tif", "clay");
  const std::string set = "//Maya ASCII 2024 scene\n\tsetAttr \".ftn\" -type \"string\" \"sourceimages/brick.tif\";\n";
  writeFile("C:\\proj\\scenes\\set.ma", set);
  writeFile("C:\\proj\\scenes\\shot.ma",
            "//Maya ASCII 2024 scene\n"
            "file -r -ns \"set\" -dr 1 -rfn \"setRN\" \"C:/proj\\scenes/set.ma\";\n"
            "createNode file -n \"wood\";\n"
            "\tsetAttr \".ftn\" -type \"string\" \"C:\\\\proj/sourceimages\\\\wood.tif\";\n"
            "createNode file -n \"stone\";\n"
            "\tsetAttr \".ftn\" -type \"string\" \"c:/proj/sourceimages/stone.tif\";\n"
            "createNode file -n \"sky\";\n"
            "\tsetAttr \".ftn\" -type \"string\" \"" + drive + "/maps/sky.tif\";\n");
  batchSubmitTool(0);

  ProgramResult result = render({"-s", "1", "-e", "20", "C:\\proj\\scenes\\shot.ma"});

  EXPECT_EQ(result.out,
            "Examining 'C:\\proj\\scenes\\shot.ma'.\n"
            "Examining 'C:\\proj\\scenes\\set.ma'.\n"
            "File 'wood.tif' copied to current directory.\n"
            "File 'stone.tif' copied to current directory.\n"
            "ERROR: Unable to copy '" + drive + "\\maps\\sky.tif' to 'sky.tif'\n"
            "File 'brick.tif' copied to current directory.\n"
            "\nTexture Dependencies: \n"
            "\tC:\\\\proj\\sourceimages\\\\wood.tif\n"
            "\tc:\\proj\\sourceimages\\stone.tif\n"
            "\t" + drive + "\\maps\\sky.tif\n"
            "\tC:\\proj\\sourceimages\\brick.tif\n"
            "\nFile Dependencies: \n"
            "\tC:\\proj\\scenes\\set.ma\n"
            "\n\nCalling vantle_submit:\n"
            "vantle_submit vantle_render.sub\n" + kSubmitted);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (std::vector<std::string>{"brick.tif", "stone.tif", "vantle_render.sub", "wood.tif",
                                                   "~set.ma", "~shot.ma"}));
  EXPECT_EQ(readFile("C:\\work\\wood.tif"), "oak");
  EXPECT_EQ(readFile("C:\\work\\~shot.ma"),
            "//Maya ASCII 2024 scene\n"
            "file -r -ns \"set\" -dr 1 -rfn \"setRN\" \"~set.ma\";\n"
            "createNode file -n \"wood\";\n"
            "setAttr \".ftn\" -type \"string\" (\"wood.tif\");\n"
            "createNode file -n \"stone\";\n"
            "setAttr \".ftn\" -type \"string\" (\"stone.tif\");\n"
            "createNode file -n \"sky\";\n"
            "setAttr \".ftn\" -type \"string\" (\"sky.tif\");\n");
  EXPECT_EQ(readFile("C:\\work\\~set.ma"),
            "//Maya ASCII 2024 scene\nsetAttr \".ftn\" -type \"string\" (\"brick.tif\");\n");
  EXPECT_EQ(readFile("C:\\work\\vantle_render.sub"),
            std::string(kHeader) + "transfer_input_files = ~set.ma, wood.tif, stone.tif, sky.tif, brick.tif, ~shot.ma" +
                jobs("~shot.ma", {{"1.0000", "10.0000"}, {"11.0000", "20.0000"}}));
}

TEST_F(DriveC, ASceneAtTheRootOfTheDrive) {
  writeFile("C:\\wood.tif", "oak");
  writeFile("C:\\shot.ma", "//Maya ASCII\nsetAttr \".ftn\" -type \"string\" \"wood.tif\";\n");
  batchSubmitTool(0);
  ProgramResult result = render({"-s", "1", "-e", "1", "C:\\shot.ma"});
  EXPECT_EQ(result.out,
            "Examining 'C:\\shot.ma'.\n"
            "File 'wood.tif' copied to current directory.\n"
            "\nTexture Dependencies: \n\tC:\\wood.tif\n"
            "\nFile Dependencies: (None)\n"
            "\n\nCalling vantle_submit:\nvantle_submit vantle_render.sub\n" + std::string(kSubmitted));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(readFile("C:\\work\\wood.tif"), "oak");
}

TEST_F(DriveC, ASceneGivenRelativeToTheWorkingDirectory) {
  writeFile("C:\\proj\\sourceimages\\wood.tif", "oak");
  writeFile("C:\\proj\\scenes\\shot.ma", "//Maya ASCII\nsetAttr \".ftn\" -type \"string\" \"sourceimages/wood.tif\";\n");
  batchSubmitTool(0);
  ProgramResult result = render({"-s", "1", "-e", "1", "..\\proj\\scenes\\shot.ma"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("\nTexture Dependencies: \n\tC:\\proj\\sourceimages\\wood.tif\n"), std::string::npos)
      << result.out;
  EXPECT_EQ(readFile("C:\\work\\wood.tif"), "oak");
}

// ------------------------------------------------------------ cmd.exe

class SubmitThroughCmd : public DriveC {
 protected:
  void SetUp() override {
    DriveC::SetUp();
    if (IsSkipped()) return;
    writeFile("C:\\proj\\sourceimages\\wood.tif", "oak");
    writeFile("C:\\proj\\scenes\\shot.ma",
              "//Maya ASCII\nsetAttr \".ftn\" -type \"string\" \"sourceimages/wood.tif\";\n");
  }
  ProgramResult submit() { return render({"-s", "1", "-e", "25", "C:\\proj\\scenes\\shot.ma"}); }

  static std::string ending(const std::string& text, std::size_t count) {
    return text.size() < count ? text : text.substr(text.size() - count);
  }
};

TEST_F(SubmitThroughCmd, TheProjectsSubmitToolIsFoundOnThePath) {
  realSubmitTool();
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  const std::string tail = "\n\nCalling vantle_submit:\nvantle_submit: 3 jobs queued, 2 files to transfer.\n" +
                           std::string(kSubmitted);
  EXPECT_EQ(ending(result.out, tail.size()), tail) << result.out;
}

TEST_F(SubmitThroughCmd, NamesBeyondAsciiReachTheTool) {
  // "érable-木.tif" and "pláno.ma", in UTF-8 from the scene to the tool.
  const std::string texture = "\xC3\xA9rable-\xE6\x9C\xA8.tif";
  const std::string scene = "pl\xC3\xA1no.ma";
  writeFile("C:\\proj\\sourceimages\\" + texture, "maple");
  writeFile("C:\\proj\\scenes\\" + scene,
            "//Maya ASCII\nsetAttr \".ftn\" -type \"string\" \"sourceimages/" + texture + "\";\n");
  realSubmitTool();
  ProgramResult result = render({"-s", "1", "-e", "1", "C:\\proj\\scenes\\" + scene});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  const std::string tail = "\n\nCalling vantle_submit:\nvantle_submit: 1 job queued, 2 files to transfer.\n" +
                           std::string(kSubmitted);
  EXPECT_EQ(ending(result.out, tail.size()), tail) << result.out;
  EXPECT_EQ(readFile("C:\\work\\" + texture), "maple");
  EXPECT_EQ(readFile("C:\\work\\vantle_render.sub"),
            std::string(kHeader) + "transfer_input_files = " + texture + ", ~" + scene +
                jobs("~" + scene, {{"1.0000", "1.0000"}}));
}

TEST_F(SubmitThroughCmd, ABatchFileIsFoundOnThePath) {
  batchSubmitTool(0);
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 0);
  const std::string tail = "\n\nCalling vantle_submit:\nvantle_submit vantle_render.sub\n" + std::string(kSubmitted);
  EXPECT_EQ(ending(result.out, tail.size()), tail) << result.out;
}

TEST_F(SubmitThroughCmd, NotOnThePath) {
  realSubmitTool();
  environment["PATH"] = kSystemPath;
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 2);
  const std::string tail = "\n\nCalling vantle_submit:\n" + std::string(kFailed);
  EXPECT_EQ(ending(result.out, tail.size()), tail) << result.out;
  EXPECT_NE(result.err, "");  // cmd.exe's own complaint
  // Everything the jobs need is there all the same.
  EXPECT_EQ(workFiles(), (std::vector<std::string>{"vantle_render.sub", "wood.tif", "~shot.ma"}));
}

TEST_F(SubmitThroughCmd, TheToolRefusesTheDescription) {
  realSubmitTool();
  // A folder where the texture should be: the tool finds no file there.
  fs::create_directories("C:\\work\\wood.tif");
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(ending(result.out, std::string(kFailed).size()), kFailed);
  EXPECT_NE(result.err.find("vantle_submit: file to transfer 'wood.tif' is a directory, not a file.\n"),
            std::string::npos)
      << result.err;
}

TEST_F(SubmitThroughCmd, TheInterpreterIsTheOneComspecNames) {
  // vantle_submit.exe standing in for cmd.exe: it is started with "/c" and
  // the command line, one argument too many for it.
  realSubmitTool();
  environment["COMSPEC"] = "C:\\tools\\vantle_submit.exe";
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "vantle_submit: usage: vantle_submit <submit description>\n");
  EXPECT_EQ(ending(result.out, std::string(kFailed).size()), kFailed);
}

TEST_F(SubmitThroughCmd, ExitStatusesOfTheCommandLine) {
  batchSubmitTool(7);
  writeFile("C:\\tools\\vantle_submit.cmd", "@exit /b 5\r\n");
  const std::string saved = platform::environmentValue("PATH") ? platform::environmentValue("PATH") : "";
  _putenv_s("PATH", (std::string("C:\\tools;") + kSystemPath).c_str());
  // The batch file's "exit /b" status passes through cmd.exe; .BAT comes
  // before .CMD in PATHEXT.
  EXPECT_EQ(platform::runCommand("vantle_submit vantle_render.sub"), 7);
  EXPECT_EQ(platform::runCommand("vantle_submit.cmd vantle_render.sub"), 5);
  EXPECT_EQ(platform::runCommand("exit 300"), 300);
  // A command that cmd.exe cannot find: 9009.
  EXPECT_EQ(platform::runCommand("vantle_submit_nowhere vantle_render.sub"), 9009);
  _putenv_s("PATH", saved.c_str());
}

TEST_F(SubmitThroughCmd, TheProgramsOwnStatusAsCmdSeesIt) {
  batchSubmitTool(0);
  std::string exe = VANTLE_RENDER_EXE;
  std::replace(exe.begin(), exe.end(), '/', '\\');
  writeFile("C:\\work\\render.bat", "@\"" + exe +
                                        "\" %*\r\n@echo vantleRender ended with status %ERRORLEVEL%\r\n"
                                        "@exit /b %ERRORLEVEL%\r\n");
  auto throughCmd = [this](const std::vector<std::string>& arguments) {
    ProgramRun run;
    run.program = "C:\\windows\\system32\\cmd.exe";
    run.arguments = {"/c", "C:\\work\\render.bat"};
    run.arguments.insert(run.arguments.end(), arguments.begin(), arguments.end());
    run.workingDirectory = "C:\\work";
    run.environment["VANTLE_RENDER_PATH"] = "C:\\proj\\vantle_render.hdr";
    run.environment["PATH"] = std::string("C:\\tools;") + kSystemPath;
    ProgramResult result = runProgram(run);
    result.out = consoleText(result.out);
    return result;
  };
  const std::vector<std::pair<std::vector<std::string>, int>> runs = {
      {{"-s", "1", "-e", "1", "C:\\proj\\scenes\\shot.ma"}, 0},  // submitted
      {{"-s", "1", "-e", "1"}, 1},                                // no scene: the command line
      {{"-s", "1", "-e", "1", "C:\\proj\\scenes\\gone.ma"}, 1},    // a scene that is not there
  };
  for (const auto& [arguments, status] : runs) {
    ProgramResult result = throughCmd(arguments);
    const std::string tail = "vantleRender ended with status " + std::to_string(status) + "\n";
    EXPECT_EQ(ending(result.out, tail.size()), tail) << result.out;
    EXPECT_EQ(result.status, status);
  }
  // A run that fails after the command line: the submit tool refuses.
  batchSubmitTool(4);
  ProgramResult failed = throughCmd({"-s", "1", "-e", "1", "C:\\proj\\scenes\\shot.ma"});
  const std::string tail = "vantleRender ended with status 2\n";
  EXPECT_EQ(ending(failed.out, tail.size()), tail) << failed.out;
  EXPECT_EQ(failed.status, 2);
}

}  // namespace
