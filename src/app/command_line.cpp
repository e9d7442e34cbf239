// The command line: options -s, -e, -j, -b, one scene file, and --dry-run,
// --report FILE, --help, --version.

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "io/copy_progress.h"
#include "outcome/run_stop.h"
#include "job/run_options.h"
#include "job/scene_job.h"
#include "platform/platform.h"

namespace {

// atoi's reading of a decimal integer, but clamped to the int range
// instead of overflowing.
int toInteger(const char* text) {
  errno = 0;
  long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// The usage text, then every option beyond it and every environment
// variable the program reads, a line each.
void printHelp() {
  SceneJob::printUsage();
  std::printf("\nOptions:\n");
  std::printf("  --dry-run                 read every scene and print what would be copied; "
              "write and submit nothing\n");
  std::printf("  --report FILE             also write FILE, a JSON description of the run\n");
  std::printf("  --help                    print this help and exit\n");
  std::printf("  --version                 print the version and exit\n");
  std::printf("\nEnvironment:\n");
  std::printf("  %-24s  the submit header (default %s)\n", SceneJob::kHeaderPathVariable, SceneJob::kDefaultHeaderPath);
  std::printf("  %-24s  milliseconds a copy runs before a terminal shows its progress (default %lld)\n",
              kProgressDelayVariable, static_cast<long long>(kDefaultProgressDelayMs));
}

[[noreturn]] void stopWithUsage() {
  SceneJob::printUsage();
  throw RunStop(exit_status::kCommandLine);
}

}  // namespace

void SceneJob::printUsage() {
  std::printf("Usage: vantleRender -s <float>  -e <float> [-j <int>] [-b <float>]  mayafile\n");
  std::printf("Where:\n-s\t\tStart frame in rendered sequence\n");
  std::printf("-e\t\tEnd frame in rendered sequence\n");
  std::printf("-j\t\tNumber of frames per vantle job\n");
  std::printf("-b\t\tBy frame for rendered sequence\n");
  std::printf("mayafile\tMaya Scene file to be rendered\n");
}

int SceneJob::parseArguments(int argc, char** argv, RunOptions& options) {
  // The long options stand anywhere and take no value; the rest is read
  // as it always was, without them.
  std::vector<const char*> arguments;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help") {
      printHelp();
      throw RunStop(exit_status::kSuccess);
    }
    if (argument == "--version") {
      std::printf("vantleRender %s\n", VANTLE_VERSION);
      throw RunStop(exit_status::kSuccess);
    }
    if (argument == "--dry-run") {
      options.dryRun = true;
    } else if (argument == "--report") {
      if (i + 1 >= argc) {
        std::printf("Invalid Argument '%s'\n", argv[i]);
        return 0;
      }
      // Made absolute now, as the working folder names it.
      std::string path = argv[++i];
      if (isRelativePath(path)) joinDirectory(platform::currentDirectory(), path);
      options.reportPath = path;
    } else {
      arguments.push_back(argv[i]);
    }
  }
  const std::size_t count = arguments.size();
  std::size_t i = 0;
  while (i < count) {
    const char* argument = arguments[i];
    bool isOption = argument[0] == '-' && std::strlen(argument) > 1 && i + 1 < count;
    if (!isOption) {
      if (scenePath) {
        std::printf("Invalid Argument '%s'\n", argument);
        return 0;
      }
      scenePath = std::string(argument);
      i += 1;
      continue;
    }
    char letter = argument[1];
    if (std::strchr("sSeEjJbB", letter) == nullptr) {
      std::printf("Invalid Argument '%s'\n", argument);
      return 0;
    }
    if (argument[2] != '\0') {
      std::printf("Improperly formatted switch %s\n", argument);
      return 0;
    }
    const char* value = arguments[i + 1];
    switch (letter) {
      case 's': case 'S': startFrame = std::atof(value); break;
      case 'e': case 'E': endFrame = std::atof(value); break;
      case 'j': case 'J': framesPerJob = toInteger(value); break;
      default: byFrame = std::atof(value); break;
    }
    i += 2;
  }
  return 1;
}

void SceneJob::validateArguments() {
  if (framesPerJob <= 0) {
    std::printf("Invalid 'Job Size' value: %d\n\n", framesPerJob);
    stopWithUsage();
  }
  // A step of 0 (or NaN) could never walk through the frame range.
  if (!(byFrame > 0.0)) {
    std::printf("Invalid 'By frame' value: %.2f\n\n", byFrame);
    stopWithUsage();
  }
  if (!(startFrame >= 0.0)) {
    std::printf("Missing start frame parameter.\n\n");
    stopWithUsage();
  }
  if (!(endFrame >= 0.0)) {
    std::printf("Missing end frame parameter.\n\n");
    stopWithUsage();
  }
  if (!scenePath) {
    std::printf("No Maya file specified.\n");
    throw RunStop(exit_status::kCommandLine);
  }
  if (!platform::fileOpens(*scenePath, "r")) {
    std::printf("Can not open file '%s'\n", scenePath->c_str());
    throw RunStop(exit_status::kCommandLine);
  }
}
