// The set-up that every fuzz target shares. libFuzzer calls this once,
// before the first input: the target then works in a fresh folder of its
// own under $TMPDIR (or /dev/shm, else /tmp), which is its current
// directory, and the program's messages go to /dev/null.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

std::string workspacePath;

}  // namespace

const std::string& fuzz::workspace() { return workspacePath; }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("TMPDIR");
  std::string root = base != nullptr && *base != '\0' ? base : (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
  std::string pattern = root + "/vantle-fuzz-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr || chdir(name.data()) != 0) {
    std::perror("fuzz workspace");
    std::abort();
  }
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  char resolved[4096];
  if (getcwd(resolved, sizeof resolved) == nullptr) std::abort();
  workspacePath = resolved;
  return 0;
}
