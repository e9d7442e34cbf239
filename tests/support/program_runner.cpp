#include "support/program_runner.h"

#include <cstdlib>

#include "support/temp_dir.h"

#ifdef _WIN32
static std::string quoted(const std::string& word) { return "\"" + word + "\""; }
std::string searchPathWith(const std::string& folder) { return windowsForm(folder) + ";" + std::getenv("PATH"); }
#else
#include <sys/wait.h>
#include <unistd.h>
static std::string quoted(const std::string& word) {
  std::string text = "'";
  for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return text + "'";
}
std::string searchPathWith(const std::string& folder) { return folder + ":" + std::getenv("PATH"); }
#endif

ProgramResult runProgram(const ProgramRun& run) {
  TempDir capture;  // outside the working directory, whose files the tests check
#ifdef _WIN32
  // cmd.exe: the environment set inside the command line, so the test's own
  // COMSPEC starts it whatever the run gives the program.
  std::string line = "cd /d " + quoted(run.workingDirectory);
  for (const auto& [name, value] : run.environment) line += " && set " + quoted(name + "=" + value.value_or(""));
  line += " && " + quoted(run.program);
#else
  std::string line = "cd " + quoted(run.workingDirectory) + " && trap '' XFSZ";  // a write past the limit fails
  for (const auto& [name, value] : run.environment) {
    line += value ? " && export " + name + "=" + quoted(*value) : " && unset " + name;
  }
  if (run.fileSizeKiB >= 0) line += " && ulimit -f " + std::to_string(run.fileSizeKiB * 2);  // 512-byte blocks
  if (run.memoryKiB >= 0) line += " && ulimit -v " + std::to_string(run.memoryKiB);
  // A program that hangs fails its test instead of stopping the suite.
  line += " && exec timeout 120 ";
  if (run.asOtherUser && geteuid() == 0) line += "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
  line += quoted(run.program);
#endif
  for (const std::string& word : run.arguments) line += " " + quoted(word);
  const std::string out = run.outputFile.empty() ? capture.at("out") : run.outputFile;
  line += " <" + quoted(capture.at("in")) + " >" + quoted(out) + " 2>" + quoted(capture.at("err"));
  capture.write("in", "");
  ProgramResult result;
  const int status = std::system(line.c_str());
#ifdef _WIN32
  result.status = status;
  // The C runtime writes each line feed of console text as CR LF.
  for (auto [file, text] : {std::pair{out, &result.out}, std::pair{capture.at("err"), &result.err}}) {
    for (char c : readFile(file)) {
      if (c == '\n' && !text->empty() && text->back() == '\r') text->pop_back();
      *text += c;
    }
  }
#else
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = readFile(out);
  result.err = readFile(capture.at("err"));
#endif
  return result;
}
