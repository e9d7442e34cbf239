#pragma once
// Runs a built program through the system's command interpreter in a folder
// of the test's choosing; captures what it prints (Windows console line ends
// made line feeds) and how it ends.

#include <map>
#include <optional>
#include <string>
#include <vector>

struct ProgramResult {
  int status = -1;  // -1 when the program did not exit normally
  std::string out, err;
};

struct ProgramRun {
  std::string program;
  std::vector<std::string> arguments;
  std::string workingDirectory;
  std::map<std::string, std::optional<std::string>> environment;  // nullopt removes
  // POSIX only: a file size limit in KiB (a write past it fails as on a full
  // disk), an address space limit in KiB, and running as "nobody" when root.
  long long fileSizeKiB = -1, memoryKiB = -1;
  bool asOtherUser = false;
  std::string outputFile = "";  // where standard output goes, when it is to be watched while the program runs
};

ProgramResult runProgram(const ProgramRun& run);
// This process's search path with `folder` put first.
std::string searchPathWith(const std::string& folder);
