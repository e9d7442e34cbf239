// Windows as a user has it, under Wine: cmd.exe and COMSPEC between the program and the submit tool, one file
// name for two spellings, and executables that need nothing beside them. (Drive letters and the root of a drive are
// rows of the path resolution table.)
#ifdef _WIN32
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
const TempDir tmp;  // under %TEMP%, on drive C:
const std::string root = windowsForm(tmp.path()), proj = root + "\\proj\\";
TEST(DriveC, TheSubmitToolRunsThroughCmdExeOrWhatComspecNames) {  // not found (cmd.exe: 9009) or failing: status 2
  const std::string ftn = "\nsetAttr \".ftn\" -type \"string\" \"", cmd = "C:\\windows\\system32\\cmd.exe";
  const std::string exe = windowsForm(VANTLE_SUBMIT_EXE), bin = exe.substr(0, exe.rfind('\\'));
  tmp.write("proj/scenes/shot.ma", "//Maya ASCII" + ftn + tmp.path() + "\\proj/sourceimages\\wood.tif\";");
  tmp.write("proj/scenes/clash.ma", "//Maya ASCII" + ftn + "sourceimages/wood.tif\";" + ftn + "maps\\Wood.tif\";");
  tmp.write("proj/sourceimages/wood.tif", "oak"), tmp.write("proj/maps/Wood.tif", "pine");  // one name on Windows
  tmp.write("bat/vantle_submit.bat", "@echo refused\r\n@exit /b 4\r\n");  // cmd.exe's own kind of program
  const struct { std::string name, scene, path, comspec, says; int status; } runs[] = {
      {"found", "shot.ma", bin, cmd, "1 job queued, 2 files to transfer.\n\nSubmitted jobs successfully.", 0},
      {"missing", "shot.ma", root, cmd, "Vantle_submit failed.", 2},
      {"failing", "shot.ma", root + "\\bat", cmd, "refused\n\nVantle_submit failed.", 2},
      {"COMSPEC", "shot.ma", bin, exe, "Vantle_submit failed.", 2},  // the tool, started with "/c", refuses
      {"clash", "clash.ma", bin, cmd, "' would both be copied to 'Wood.tif'.", 2},
  };
  for (const auto& r : runs) {
    const ProgramResult got = runProgram({VANTLE_RENDER_EXE, {"-s", "1", "-e", "1", proj + "scenes\\" + r.scene},
        tmp.makeDir(r.name), {{"PATH", r.path}, {"COMSPEC", r.comspec}, {"VANTLE_RENDER_PATH", tmp.write("h", "")}}});
    EXPECT_TRUE(got.status == r.status && got.out.find(r.says) != std::string::npos) << r.name << ": " << got.out;
  }
  EXPECT_EQ(platform::runCommand("vantle_submit_nowhere 2>nul"), 9009);
}
TEST(WindowsExecutables, ImportOnlySystemDllsAndCarryTheManifest) {  // no compiler runtime needed beside them
  for (const std::string& bytes : {readFile(VANTLE_RENDER_EXE), readFile(VANTLE_SUBMIT_EXE)}) {
    EXPECT_EQ(bytes.find(".dll", bytes.find(".dll", bytes.find(".dll") + 1) + 1), std::string::npos);  // a third DLL
    for (const char* text : {"KERNEL32.dll", "msvcrt.dll", ">UTF-8</activeCodePage>", ">true</longPathAware>"})
      EXPECT_NE(bytes.find(text), std::string::npos) << text;
  }
}
#endif
