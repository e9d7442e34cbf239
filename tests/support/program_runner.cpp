#include "support/program_runner.h"

#include <stdexcept>

#include "support/temp_dir.h"

#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// One argument as the C runtime's command-line parser reads it back:
// quoted when it is empty or holds blanks or quotes; backslashes are
// doubled only where a quote follows them.
std::string quoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') quoted.append(2 * backslashes + 1, '\\');
    else quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  quoted += '"';
  return quoted;
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The environment block of the child: ours, with the run's changes.
// Variable names compare without regard to case, as Windows compares them.
std::string environmentBlock(const std::map<std::string, std::optional<std::string>>& changes) {
  auto changed = [&changes](const std::string& name) {
    for (const auto& change : changes) {
      if (upper(change.first) == upper(name)) return true;
    }
    return false;
  };
  std::vector<std::pair<std::string, std::string>> variables;  // name, "name=value"
  char* inherited = GetEnvironmentStringsA();
  for (const char* entry = inherited; entry != nullptr && *entry != '\0'; entry += std::strlen(entry) + 1) {
    const std::string text(entry);
    // Entries such as "=C:=C:\work" (the current folder of each drive)
    // begin with '='.
    const std::string name = text.substr(0, text.find('=', 1));
    if (!changed(name)) variables.emplace_back(upper(name), text);
  }
  if (inherited != nullptr) FreeEnvironmentStringsA(inherited);
  for (const auto& [name, value] : changes) {
    if (value) variables.emplace_back(upper(name), name + "=" + *value);
  }
  std::stable_sort(variables.begin(), variables.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string block;
  for (const auto& variable : variables) {
    block += variable.second;
    block += '\0';
  }
  block += '\0';
  return block;
}

HANDLE inheritableFile(const std::string& path, bool forWriting) {
  SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
  return CreateFileA(path.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &security, forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ProgramResult runProgram(const ProgramRun& run) {
  TempDir capture;  // outside the working directory, whose files the tests check
  const std::string outPath = capture.at("stdout");
  const std::string errPath = capture.at("stderr");
  const std::string inPath = capture.write("stdin", run.input);

  std::string commandLine = quoteArgument(run.program);
  for (const auto& argument : run.arguments) commandLine += " " + quoteArgument(argument);
  std::string environment = environmentBlock(run.environment);

  HANDLE in = inheritableFile(inPath, false);
  HANDLE out = inheritableFile(outPath, true);
  HANDLE err = inheritableFile(errPath, true);
  if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot open the files of a program's standard streams");
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process = {};
  BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, environment.data(),
                                run.workingDirectory.empty() ? nullptr : run.workingDirectory.c_str(), &startup,
                                &process);
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);

  ProgramResult result;
  if (started) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) result.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    result.status = 127;  // as a POSIX shell reports a program it cannot start
  }
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

#else

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

ProgramResult runProgram(const ProgramRun& run) {
  TempDir capture;  // outside the working directory, whose files the tests check
  const std::string outPath = capture.at("stdout");
  const std::string errPath = capture.at("stderr");
  const std::string inPath = capture.write("stdin", run.input);

  std::vector<std::string> argv_storage;
  argv_storage.push_back(run.program);
  for (const auto& argument : run.arguments) argv_storage.push_back(argument);
  std::vector<char*> argv;
  for (auto& argument : argv_storage) argv.push_back(argument.data());
  argv.push_back(nullptr);

  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    if (!run.workingDirectory.empty() && chdir(run.workingDirectory.c_str()) != 0) _exit(126);
    for (const auto& [name, value] : run.environment) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
    int in = open(inPath.c_str(), O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) < 0) throw std::runtime_error("waitpid failed");

  ProgramResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

#endif
