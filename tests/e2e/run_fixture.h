#pragma once
// vantleRender run in a fresh working directory (`work`, a folder of `temp`) beside a project tree temp/proj, with
// a submit header named by VANTLE_RENDER_PATH and a scripted vantle_submit first on the search path.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/golden.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"

using Names = std::vector<std::string>;
struct RunFixture : ::testing::Test {
  RunFixture() { temp.makeDir(work), submitTool(); }
  // A tool that echoes its command line, then runs `then`: sh, or on Windows a .bat.
  void submitTool(const std::string& then = "") {
#ifdef _WIN32
    chmod(temp.write("bin/vantle_submit.bat", "@echo vantle_submit %*\r\n" + then + "\r\n").c_str(), 0755);
#else
    chmod(temp.write("bin/vantle_submit", "#!/bin/sh\necho \"vantle_submit $*\"\n" + then + "\n").c_str(), 0755);
#endif
  }
  ProgramResult run(const Names& arguments) {  // with the limits, user and environment of `how`
    how.arguments = arguments, how.workingDirectory = temp.at(work);
    return runProgram(how);
  }
  ProgramResult render() { return run({"-s", "1", "-e", "1", at("scenes/shot.ma")}); }
  // proj/scenes/`scene` rendered in a fresh working folder.
  ProgramResult render(const std::string& folder, const std::string& scene) {
    temp.makeDir(work = folder);
    return run({"-s", "1", "-e", "1", at("scenes/" + scene)});
  }
  std::string at(const std::string& relative) const { return temp.at("proj/" + relative); }
  // Writes a project file; returns its path as the program prints a path it resolved, in Windows form.
  std::string proj(std::string p, const std::string& data) { return windowsForm(temp.write("proj/" + p, data)); }
  std::string inWork(const std::string& name) const { return temp.at(work + "/" + name); }
  std::string file(const std::string& name) const { return readFile(inWork(name)); }
  Names left() const { return temp.list(work); }
  static std::string examining(const std::string& path) { return "Examining '" + path + "'.\n"; }
  static std::string copied(const std::string& name) { return "File '" + name + "' copied to current directory.\n"; }
  static std::string unable(const std::string& path, const std::string& name) {
    return "ERROR: Unable to copy '" + path + "' to '" + name + "'\n";
  }
  static std::string malformed(const std::string& path) {
    return "WARNING: '" + path + "' is not a well-formed Maya binary scene; reading it token by token.\n";
  }
  // A texture statement, and the same in the copy naming the staged file.
  static std::string ftn(const std::string& path) { return kFtn + "\"" + path + "\";\n"; }
  static std::string bare(const std::string& name) { return kFtn + "(\"" + name + "\");\n"; }
  static std::string report(const Names& textures, const Names& scenes) {
    return "\nTexture Dependencies: " + list(textures) + "\nFile Dependencies: " + list(scenes);
  }
  static std::string list(const Names& names, std::string text = "") {
    for (const auto& name : names) text += "\t" + name + "\n";
    return (names.empty() ? "(None)\n" : "\n") + text;
  }
  // The header, the files to transfer, a job over the copy `files.back()` per range of frames {first, last, ...}.
  static std::string description(const Names& files, const Names& ranges = {"1", "1"}, std::string text = kHeader) {
    for (const auto& name : files) text += (&name == &files[0] ? "transfer_input_files = " : ", ") + name;
    for (std::size_t i = 0; i + 1 < ranges.size(); i += 2)
      text += "\n\nArguments = -rd . -im Frame -s " + ranges[i] + ".0000 -e " + ranges[i + 1] + ".0000 -b 1.0000 " +
              files.back() + "\nQueue\n";
    return text;
  }
  static constexpr const char* kHeader = "executable = render.bat\noutput = render.out\n";
  static inline const std::string kMa = "//Maya ASCII 2024 scene\n", kFtn = "setAttr \".ftn\" -type \"string\" ";
  static inline const std::string kCalled = "\n\nCalling vantle_submit:\nvantle_submit vantle_render.sub\n",
                                  kSubmitted = kCalled + "\nSubmitted jobs successfully. Have a nice day!\n";
  TempDir temp;
  std::string work = "work";
  ProgramRun how{VANTLE_RENDER_EXE, {}, "", {{"VANTLE_RENDER_PATH", temp.write("header.hdr", kHeader)},
                                             {"PATH", searchPathWith(temp.at("bin"))}}};
};
