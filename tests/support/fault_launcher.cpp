// Starts a program under the conditions of a fault test:
//
//   fault_launcher [--other-user] [--file-size BYTES] [--memory BYTES] [--time-limit SECONDS]
//                  -- program [arguments...]
//
// --file-size  no file can grow past BYTES (RLIMIT_FSIZE); SIGXFSZ is
//              ignored, so a write past the limit fails as on a full disk
//              instead of killing the program.
// --memory     the address space is limited to BYTES (RLIMIT_AS), so
//              large allocations fail.
// --time-limit the program is killed (SIGALRM) after SECONDS, so that a
//              program that hangs fails its test instead of stopping it.
// --other-user when started as root, the program runs as the user
//              "nobody", for whom file permissions hold.
// Ends with 125 when a condition cannot be set up.

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fault_launcher: %s: %s\n", what, std::strerror(errno));
  std::_Exit(125);
}

void limit(int resource, const char* value) {
  const rlim_t bytes = static_cast<rlim_t>(std::strtoull(value, nullptr, 10));
  struct rlimit limit = {bytes, bytes};
  if (setrlimit(resource, &limit) != 0) fail("setrlimit");
}

void becomeNobody() {
  if (geteuid() != 0) return;  // permissions already hold
  const struct passwd* nobody = getpwnam("nobody");
  if (nobody == nullptr) fail("no user nobody");
  if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) fail("setuid");
}

}  // namespace

int main(int argc, char** argv) {
  int i = 1;
  bool otherUser = false;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    const std::string option = argv[i];
    if (option == "--other-user") {
      otherUser = true;
    } else if (option == "--file-size" && i + 1 < argc) {
      signal(SIGXFSZ, SIG_IGN);  // stays ignored across exec
      limit(RLIMIT_FSIZE, argv[++i]);
    } else if (option == "--memory" && i + 1 < argc) {
      limit(RLIMIT_AS, argv[++i]);
    } else if (option == "--time-limit" && i + 1 < argc) {
      alarm(static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10)));  // outlives exec
    } else {
      errno = EINVAL;
      fail(argv[i]);
    }
  }
  if (i + 1 >= argc) {
    errno = EINVAL;
    fail("no program after --");
  }
  if (otherUser) becomeNobody();
  execvp(argv[i + 1], argv + i + 1);
  fail(argv[i + 1]);
}
