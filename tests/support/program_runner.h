#pragma once
// Runs a built program in a folder of the test's choosing and captures
// what it prints and how it ends.

#include <map>
#include <optional>
#include <string>
#include <vector>

struct ProgramResult {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

struct ProgramRun {
  std::string program;
  std::vector<std::string> arguments;
  std::string workingDirectory;
  // Environment changes: a value sets the variable, nullopt removes it.
  std::map<std::string, std::optional<std::string>> environment;
  std::string input;  // fed to standard input
};

ProgramResult runProgram(const ProgramRun& run);
