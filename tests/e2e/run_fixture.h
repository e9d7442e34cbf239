#pragma once
// A whole run: a project tree beside the working directory, a submit
// header named by VANTLE_RENDER_PATH and a scripted submit tool first on
// the search path.

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "e2e/e2e_fixture.h"
#include "support/environment.h"
#include "support/windows_form.h"

class WholeRun : public EndToEnd {
 protected:
  static constexpr const char* kHeader = "universe = vanilla\nexecutable = render.bat\n";

  WholeRun() {
    temp.write("header.hdr", kHeader);
    environment["VANTLE_RENDER_PATH"] = temp.at("header.hdr");
    setSubmitTool(0);
  }

  // A submit tool that prints its arguments and ends with `status`: a
  // shell script, or on Windows a batch file, which cmd.exe finds on the
  // search path as it finds vantle_submit.exe.
  void setSubmitTool(int status) {
#ifdef _WIN32
    setSubmitScript("@echo vantle_submit %*\r\n@exit /b " + std::to_string(status) + "\r\n");
#else
    setSubmitScript("#!/bin/sh\necho \"vantle_submit $*\"\nexit " + std::to_string(status) + "\n");
#endif
  }
  void setSubmitScript(const std::string& script) {
#ifdef _WIN32
    temp.write("bin/vantle_submit.bat", script);
#else
    const std::string tool = temp.write("bin/vantle_submit", script);
    chmod(tool.c_str(), 0755);
#endif
    usePath(temp.at("bin"));
  }
  void removeSubmitTool() { usePath(temp.makeDir("empty-bin")); }
  void usePath(const std::string& first) { environment["PATH"] = searchPathWith(first); }

  // A file of the project, written; returns its path as the program
  // stores it (backslashes).
  std::string project(const std::string& relative, const std::string& bytes) {
    return windowsForm(temp.write("proj/" + relative, bytes));
  }
  // A path of the project written the way a scene on this machine would
  // spell it.
  std::string spelled(const std::string& relative) const { return temp.at("proj/" + relative); }

  static std::string report(const std::vector<std::string>& textures,
                            const std::vector<std::string>& scenes) {
    std::string text = std::string("\nTexture Dependencies: ") + (textures.empty() ? "(None)" : "") + "\n";
    for (const auto& t : textures) text += "\t" + t + "\n";
    text += std::string("\nFile Dependencies: ") + (scenes.empty() ? "(None)" : "") + "\n";
    for (const auto& s : scenes) text += "\t" + s + "\n";
    return text;
  }

  static std::string jobs(const std::string& copy, const std::vector<std::pair<std::string, std::string>>& ranges,
                          const std::string& step = "1.0000") {
    std::string text;
    for (const auto& [first, last] : ranges) {
      text += "\n\nArguments = -rd . -im Frame -s " + first + " -e " + last + " -b " + step + " " + copy +
              "\nQueue\n";
    }
    return text;
  }

  static constexpr const char* kSubmitted =
      "\n\nCalling vantle_submit:\nvantle_submit vantle_render.sub\n"
      "\nSubmitted jobs successfully. Have a nice day!\n";
};
