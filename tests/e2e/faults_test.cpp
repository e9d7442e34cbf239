// Faults end to end, through the built program: files that cannot be
// read, folders where files belong, a working directory that cannot be
// written, a full disk, memory that cannot be had, scenes that vanish,
// tiny scenes and units at their length limits. Each test pins the exact
// messages, the exit status and what is left in the working directory:
// never a half-written file that looks finished.
//
// POSIX only: the conditions are set up with file modes, symbolic links to
// /dev/full and resource limits, through tests/support/fault_launcher.

#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/run_fixture.h"
#include "job/scene_job.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

const std::string kMaya = "//Maya ASCII 2024 scene\n";
const std::string kOverLong =
    "\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\n"
    "Please send mail to render-support@example.com.\n";
constexpr long long kMiB = 1024 * 1024;

struct Conditions {
  bool otherUser = false;     // run as "nobody" when the tests run as root
  long long fileSize = -1;    // RLIMIT_FSIZE, -1 for none
  long long memory = -1;      // RLIMIT_AS, -1 for none
};

// A program that hangs is killed after this long and fails its test.
constexpr int kTimeLimitSeconds = 120;

class Faults : public WholeRun {
 protected:
  Faults() {
    shot = spelled("scenes/shot.ma");
  }

  ProgramResult runUnder(const Conditions& conditions, const std::vector<std::string>& arguments,
                         const std::string& directory = "") {
    ProgramRun run;
    run.program = VANTLE_FAULT_LAUNCHER;
    if (conditions.otherUser) run.arguments.push_back("--other-user");
    if (conditions.fileSize >= 0) {
      run.arguments.push_back("--file-size");
      run.arguments.push_back(std::to_string(conditions.fileSize));
    }
    if (conditions.memory >= 0) {
      run.arguments.push_back("--memory");
      run.arguments.push_back(std::to_string(conditions.memory));
    }
    run.arguments.push_back("--time-limit");
    run.arguments.push_back(std::to_string(kTimeLimitSeconds));
    run.arguments.push_back("--");
    const char* launcher = std::getenv("VANTLE_TEST_LAUNCHER");
    if (launcher != nullptr && *launcher != '\0') run.arguments.push_back(launcher);
    const char* exe = std::getenv("VANTLE_RENDER_EXE");
    run.arguments.push_back(exe != nullptr ? exe : VANTLE_RENDER_EXE);
    run.arguments.insert(run.arguments.end(), arguments.begin(), arguments.end());
    run.workingDirectory = directory.empty() ? work : directory;
    run.environment = environment;
    return runProgram(run);
  }

  ProgramResult render(const Conditions& conditions = {}) { return runUnder(conditions, {"-s", "1", "-e", "1", shot}); }

  // Why file permissions cannot be tested here, or "" when they can: as
  // root the program is run as "nobody", who must be able to reach it and
  // the test's files.
  std::string permissionsUntestable() {
    if (geteuid() != 0) return "";
    for (auto& entry : fs::recursive_directory_iterator(temp.path())) {
      fs::permissions(entry.path(), fs::perms::others_read | (entry.is_directory() ? fs::perms::others_exec : fs::perms::none),
                      fs::perm_options::add);
    }
    fs::permissions(temp.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(work, fs::perms::all);
    Conditions asOther;
    asOther.otherUser = true;
    ProgramResult probe = runUnder(asOther, {});
    if (probe.status == 1 && probe.out.rfind("Missing start frame parameter.", 0) == 0) return "";
    return "running as root, and the program cannot be run as \"nobody\" here (" + probe.err + ")";
  }

  std::string examining(const std::string& path) const { return "Examining '" + path + "'.\n"; }
  std::string textureStatement(const std::string& relative) const {
    return "\tsetAttr \".ftn\" -type \"string\" \"" + spelled(relative) + "\";\n";
  }
  std::string referenceStatement(const std::string& relative) const {
    return "file -r -ns \"set\" -rfn \"setRN\" \"" + spelled(relative) + "\";\n";
  }
  static std::string rewrittenTexture(const std::string& name) {
    return "setAttr \".ftn\" -type \"string\" (\"" + name + "\");\n";
  }
  // A file of `size` bytes that takes no room on disk.
  std::string sparse(const std::string& relative, std::uintmax_t size, const std::string& head) {
    const std::string path = temp.write(relative, head);
    fs::resize_file(path, size);
    return path;
  }
  std::string description(const Names& transfers) const {
    std::string list;
    for (const auto& name : transfers) list += (list.empty() ? "" : ", ") + name;
    return std::string(kHeader) + "transfer_input_files = " + list + jobs("~shot.ma", {{"1.0000", "1.0000"}});
  }

  std::string shot;
};

// ---- Files that exist but cannot be read -------------------------------

TEST_F(Faults, AnUnreadableSceneIsAFaultOfTheCommandLine) {
  project("scenes/shot.ma", kMaya);
  const std::string why = permissionsUntestable();
  if (!why.empty()) GTEST_SKIP() << why;
  fs::permissions(shot, fs::perms::none);
  ProgramResult result = render({true});
  EXPECT_EQ(result.out, "Can not open file '" + shot + "'\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(workFiles(), Names{});
}

TEST_F(Faults, AnUnreadableReferencedSceneEndsTheRun) {
  const std::string set = project("scenes/set.ma", kMaya);
  project("scenes/shot.ma", kMaya + referenceStatement("scenes/set.ma"));
  const std::string why = permissionsUntestable();
  if (!why.empty()) GTEST_SKIP() << why;
  fs::permissions(spelled("scenes/set.ma"), fs::perms::none);
  ProgramResult result = render({true});
  EXPECT_EQ(result.out, examining(shot) + "Unable to open '" + set + "'\n");
  EXPECT_EQ(result.status, 2);
  // The copy of the scene that was read is whole; there is no description.
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  EXPECT_EQ(workFile("~shot.ma"), kMaya + "file -r -ns \"set\" -rfn \"setRN\" \"~set.ma\";\n");
}

TEST_F(Faults, AnUnreadableTextureIsReportedAndTheRunGoesOn) {
  const std::string wood = project("sourceimages/wood.tif", "wood");
  project("scenes/shot.ma", kMaya + textureStatement("sourceimages/wood.tif"));
  const std::string why = permissionsUntestable();
  if (!why.empty()) GTEST_SKIP() << why;
  fs::permissions(spelled("sourceimages/wood.tif"), fs::perms::none);
  ProgramResult result = render({true});
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Unable to copy '" + wood + "' to 'wood.tif'\n" +
                            report({wood}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_EQ(workFile("vantle_render.sub"), description({"wood.tif", "~shot.ma"}));
}

TEST_F(Faults, AnUnreadableHeaderEndsTheRunWithAnEmptyDescription) {
  project("scenes/shot.ma", kMaya);
  const std::string why = permissionsUntestable();
  if (!why.empty()) GTEST_SKIP() << why;
  fs::permissions(temp.at("header.hdr"), fs::perms::none);
  ProgramResult result = render({true});
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Can not open file for reading: '" + temp.at("header.hdr") +
                            "'\nERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_EQ(workFile("vantle_render.sub"), "");
}

TEST_F(Faults, AReadOnlyWorkingDirectoryEndsTheRun) {
  project("scenes/shot.ma", kMaya);
  const std::string why = permissionsUntestable();
  if (!why.empty()) GTEST_SKIP() << why;
  fs::permissions(work, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  ProgramResult result = render({true});
  EXPECT_EQ(result.out, "ERROR: Can not open file for writing: '~shot.ma'\n" + examining(shot) +
                            "ERROR: Can not write file: '~shot.ma'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{});
}

// ---- A folder where a file is expected ----------------------------------

TEST_F(Faults, ASceneThatIsAFolder) {
  temp.makeDir("proj/scenes/shot.ma");
  ProgramResult result = render();
  EXPECT_EQ(result.out, "Can not open file '" + shot + "'\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(workFiles(), Names{});
}

TEST_F(Faults, AReferencedSceneThatIsAFolder) {
  temp.makeDir("proj/scenes/set.ma");
  project("scenes/shot.ma", kMaya + referenceStatement("scenes/set.ma"));
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "Unable to open '" + windowsForm(spelled("scenes/set.ma")) + "'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
}

TEST_F(Faults, ATextureThatIsAFolderIsNotCopied) {
  temp.makeDir("proj/sourceimages/wood.tif");
  const std::string wood = windowsForm(spelled("sourceimages/wood.tif"));
  project("scenes/shot.ma", kMaya + textureStatement("sourceimages/wood.tif"));
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Unable to copy '" + wood + "' to 'wood.tif'\n" +
                            report({wood}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
}

TEST_F(Faults, AFolderInThePlaceOfATextureCopy) {
  const std::string wood = project("sourceimages/wood.tif", "wood");
  project("scenes/shot.ma", kMaya + textureStatement("sourceimages/wood.tif"));
  temp.makeDir("work/wood.tif");
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Unable to copy '" + wood + "' to 'wood.tif'\n" +
                            report({wood}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "wood.tif", "~shot.ma"}));
  EXPECT_TRUE(fs::is_directory(temp.at("work/wood.tif")));
}

TEST_F(Faults, AHeaderThatIsAFolder) {
  project("scenes/shot.ma", kMaya);
  environment["VANTLE_RENDER_PATH"] = temp.makeDir("headers");
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Can not open file for reading: '" + temp.at("headers") +
                            "'\nERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_EQ(workFile("vantle_render.sub"), "");
}

TEST_F(Faults, AFolderInThePlaceOfTheSceneCopy) {
  project("scenes/shot.ma", kMaya);
  temp.makeDir("work/~shot.ma");
  ProgramResult result = render();
  EXPECT_EQ(result.out, "ERROR: Can not open file for writing: '~shot.ma'\n" + examining(shot) +
                            "ERROR: Can not write file: '~shot.ma'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  EXPECT_TRUE(fs::is_directory(temp.at("work/~shot.ma")));
}

TEST_F(Faults, AFolderInThePlaceOfTheDescription) {
  project("scenes/shot.ma", kMaya);
  temp.makeDir("work/vantle_render.sub");
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Can not open file for writing: 'vantle_render.sub'\n"
                                          "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_TRUE(fs::is_directory(temp.at("work/vantle_render.sub")));
}

// ---- Inputs that are the program's own outputs -----------------------
// Opening an output empties it: when it is the input itself, not a byte
// of the input may be lost.

TEST_F(Faults, ASceneThatIsItsOwnCopyIsLeftAlone) {
  const std::string scene = kMaya + "createNode transform -n \"a\";\n";
  project("scenes/shot.ma", scene);
  fs::create_symlink(shot, temp.at("work/~shot.ma"));
  ProgramResult result = render();
  EXPECT_EQ(result.out, "ERROR: Can not open file for writing: '~shot.ma'\n" + examining(shot) +
                            "ERROR: Can not write file: '~shot.ma'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  EXPECT_EQ(readFile(shot), scene);
}

TEST_F(Faults, AHeaderThatIsTheDescriptionIsLeftAlone) {
  project("scenes/shot.ma", kMaya);
  const std::string header = temp.write("work/vantle_render.sub", kHeader);
  environment["VANTLE_RENDER_PATH"] = header;
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Can not open file for writing: 'vantle_render.sub'\n"
                                          "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_EQ(workFile("vantle_render.sub"), kHeader);
}

// ---- A named pipe where a file is expected ----------------------------
// Opening a pipe waits for its other end; the program must not.

TEST_F(Faults, ASceneThatIsANamedPipe) {
  temp.makeDir("proj/scenes");
  ASSERT_EQ(mkfifo(shot.c_str(), 0644), 0);
  ProgramResult result = render();
  EXPECT_EQ(result.out, "Can not open file '" + shot + "'\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(workFiles(), Names{});
}

TEST_F(Faults, AReferencedSceneThatIsANamedPipe) {
  project("scenes/shot.ma", kMaya + referenceStatement("scenes/set.ma"));
  ASSERT_EQ(mkfifo(spelled("scenes/set.ma").c_str(), 0644), 0);
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "Unable to open '" + windowsForm(spelled("scenes/set.ma")) + "'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
}

TEST_F(Faults, ATextureThatIsANamedPipeIsNotCopied) {
  project("scenes/shot.ma", kMaya + textureStatement("sourceimages/wood.tif"));
  temp.makeDir("proj/sourceimages");
  ASSERT_EQ(mkfifo(spelled("sourceimages/wood.tif").c_str(), 0644), 0);
  const std::string wood = windowsForm(spelled("sourceimages/wood.tif"));
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Unable to copy '" + wood + "' to 'wood.tif'\n" +
                            report({wood}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
}

TEST_F(Faults, AHeaderThatIsANamedPipe) {
  project("scenes/shot.ma", kMaya);
  fs::remove(temp.at("header.hdr"));
  ASSERT_EQ(mkfifo(temp.at("header.hdr").c_str(), 0644), 0);
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Can not open file for reading: '" + temp.at("header.hdr") +
                            "'\nERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_EQ(workFile("vantle_render.sub"), "");
}

TEST_F(Faults, ANamedPipeInThePlaceOfTheSceneCopy) {
  project("scenes/shot.ma", kMaya);
  ASSERT_EQ(mkfifo(temp.at("work/~shot.ma").c_str(), 0644), 0);
  ProgramResult result = render();
  EXPECT_EQ(result.out, "ERROR: Can not open file for writing: '~shot.ma'\n" + examining(shot) +
                            "ERROR: Can not write file: '~shot.ma'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  EXPECT_TRUE(fs::is_fifo(temp.at("work/~shot.ma")));
}

TEST_F(Faults, ANamedPipeInThePlaceOfTheDescription) {
  project("scenes/shot.ma", kMaya);
  ASSERT_EQ(mkfifo(temp.at("work/vantle_render.sub").c_str(), 0644), 0);
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Can not open file for writing: 'vantle_render.sub'\n"
                                          "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_TRUE(fs::is_fifo(temp.at("work/vantle_render.sub")));
}

// ---- A full disk -------------------------------------------------------

TEST_F(Faults, ASceneCopyOnAFullDisk) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  project("scenes/shot.ma", kMaya);
  fs::create_symlink("/dev/full", temp.at("work/~shot.ma"));
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Can not write file: '~shot.ma'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{});
}

TEST_F(Faults, ASceneCopyThatOutgrowsTheDisk) {
  std::string scene = kMaya;
  while (scene.size() < 256 * 1024) scene += "createNode transform -n \"node\";\n";
  project("scenes/shot.ma", scene);
  Conditions full;
  full.fileSize = 64 * 1024;
  ProgramResult result = render(full);
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Can not write file: '~shot.ma'\n");
  EXPECT_EQ(result.status, 2);
  // The first 64 KiB were written; they are not left to pass for the copy.
  EXPECT_EQ(workFiles(), Names{});
}

TEST_F(Faults, AReferencedSceneCopyOnAFullDisk) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const std::string set = project("scenes/set.ma", kMaya);
  project("scenes/shot.ma", kMaya + referenceStatement("scenes/set.ma"));
  fs::create_symlink("/dev/full", temp.at("work/~set.ma"));
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + examining(set) + "ERROR: Can not write file: '~set.ma'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  EXPECT_EQ(workFile("~shot.ma"), kMaya + "file -r -ns \"set\" -rfn \"setRN\" \"~set.ma\";\n");
}

TEST_F(Faults, ATextureCopyThatOutgrowsTheDiskIsRemovedAndStagingGoesOn) {
  const std::string wood = project("sourceimages/wood.tif", std::string(256 * 1024, 'w'));
  project("scenes/shot.ma", kMaya + textureStatement("sourceimages/wood.tif"));
  Conditions full;
  full.fileSize = 64 * 1024;
  ProgramResult result = render(full);
  EXPECT_EQ(result.out.rfind(examining(shot) + "ERROR: Unable to copy '" + wood + "' to 'wood.tif'\n", 0), 0u)
      << result.out;
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_EQ(workFile("~shot.ma"), kMaya + rewrittenTexture("wood.tif"));
}

TEST_F(Faults, ADescriptionThatOutgrowsTheDisk) {
  temp.write("header.hdr", std::string(128 * 1024, '#') + "\n");
  project("scenes/shot.ma", kMaya);
  Conditions full;
  full.fileSize = 64 * 1024;
  ProgramResult result = render(full);
  EXPECT_EQ(result.out, examining(shot) + "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
}

// ---- Memory that cannot be had -----------------------------------------

class OutOfMemory : public Faults {
 protected:
  void SetUp() override {
    if (kAddressSanitizer) GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
  }
  static Conditions limitedTo(long long bytes) {
    Conditions c;
    c.memory = bytes;
    return c;
  }
  // A file far larger than the memory limit, made of zeros but for its
  // first bytes: whether the program needs it in memory whole is its own
  // affair, but it must either get through or stop cleanly.
  static constexpr std::uintmax_t kLargerThanMemory = 320 * kMiB;
  static constexpr long long kMemory = 256 * kMiB;
  static constexpr const char* kOutOfMemory = "ERROR: Out of memory.\n";
};

// Every texture path is held in the run's lists, however the scene is
// read: enough of them exhaust any memory.
TEST_F(OutOfMemory, MoreDependenciesThanMemoryHolds) {
  std::string entry = "ftn" + std::string(1, '\0') + std::string(SceneJob::kMaxTokenBytes, 'p') + std::string(1, '\0');
  std::string scene = "FOR4";
  // An 80 MiB scene that fits in the limit, with 160 MiB of paths to hold.
  for (int i = 0; i < 2000; ++i) scene += entry;
  project("scenes/shot.mb", scene);
  shot = spelled("scenes/shot.mb");
  ProgramResult result = render(limitedTo(128 * kMiB));
  EXPECT_EQ(result.out, examining(shot) + kOutOfMemory);
  EXPECT_EQ(result.status, 2);
  // The copy was cut off half way; it is not left behind.
  EXPECT_EQ(workFiles(), Names{});
}

TEST_F(OutOfMemory, ASceneLargerThanMemory) {
  sparse("proj/scenes/shot.mb", kLargerThanMemory, "FOR4");
  shot = spelled("scenes/shot.mb");
  ProgramResult result = render(limitedTo(kMemory));
  if (result.status == 0) {
    EXPECT_EQ(result.out, examining(shot) + report({}, {}) + kSubmitted);
    EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.mb"}));
    EXPECT_EQ(fs::file_size(temp.at("work/~shot.mb")), kLargerThanMemory);
  } else {
    EXPECT_EQ(result.out, kOutOfMemory);
    EXPECT_EQ(result.status, 2);
    // The copy is opened before the scene is read; it is not left empty.
    EXPECT_EQ(workFiles(), Names{});
  }
}

TEST_F(OutOfMemory, AReferencedSceneLargerThanMemory) {
  const std::string set = windowsForm(sparse("proj/scenes/set.mb", kLargerThanMemory, "FOR4"));
  project("scenes/shot.ma", kMaya + referenceStatement("scenes/set.mb"));
  ProgramResult result = render(limitedTo(kMemory));
  if (result.status == 0) {
    EXPECT_EQ(result.out, examining(shot) + examining(set) + report({}, {set}) + kSubmitted);
    EXPECT_EQ(fs::file_size(temp.at("work/~set.mb")), kLargerThanMemory);
  } else {
    EXPECT_EQ(result.out, examining(shot) + kOutOfMemory);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  }
}

TEST_F(OutOfMemory, ATextureLargerThanMemory) {
  const std::string wood = windowsForm(sparse("proj/sourceimages/wood.tif", kLargerThanMemory, "II*"));
  project("scenes/shot.ma", kMaya + textureStatement("sourceimages/wood.tif"));
  ProgramResult result = render(limitedTo(kMemory));
  if (result.status == 0) {
    EXPECT_EQ(result.out, examining(shot) + "File 'wood.tif' copied to current directory.\n" + report({wood}, {}) +
                              kSubmitted);
    EXPECT_EQ(fs::file_size(temp.at("work/wood.tif")), kLargerThanMemory);
  } else {
    EXPECT_EQ(result.out, examining(shot) + kOutOfMemory);
    EXPECT_EQ(result.status, 2);
    // An empty wood.tif would be "found" and kept by the next run.
    EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  }
}

TEST_F(OutOfMemory, AHeaderLargerThanMemory) {
  sparse("header.hdr", kLargerThanMemory, "universe = vanilla\n");
  project("scenes/shot.ma", kMaya);
  ProgramResult result = render(limitedTo(kMemory));
  if (result.status == 0) {
    EXPECT_EQ(result.out, examining(shot) + report({}, {}) + kSubmitted);
    EXPECT_GT(fs::file_size(temp.at("work/vantle_render.sub")), kLargerThanMemory);
  } else {
    EXPECT_EQ(result.out, examining(shot) + kOutOfMemory);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  }
}

// ---- A scene that vanishes between runs --------------------------------

TEST_F(Faults, AReferencedSceneThatVanishesBetweenRuns) {
  const std::string set = project("scenes/set.ma", kMaya);
  project("scenes/shot.ma", kMaya + referenceStatement("scenes/set.ma"));
  ASSERT_EQ(render().status, 0);
  const std::string firstDescription = workFile("vantle_render.sub");
  EXPECT_EQ(firstDescription, description({"~set.ma", "~shot.ma"}));

  fs::remove(spelled("scenes/set.ma"));
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + "Unable to open '" + set + "'\n");
  EXPECT_EQ(result.status, 2);
  // What the first run left stays as it was; nothing of the second run is
  // left half-written.
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~set.ma", "~shot.ma"}));
  EXPECT_EQ(workFile("vantle_render.sub"), firstDescription);
  EXPECT_EQ(workFile("~set.ma"), kMaya);
  EXPECT_EQ(workFile("~shot.ma"), kMaya + "file -r -ns \"set\" -rfn \"setRN\" \"~set.ma\";\n");
}

// ---- Tiny scenes ---------------------------------------------------------

TEST_F(Faults, AnEmptySceneIsAnEmptyBinaryScene) {
  project("scenes/shot.ma", "");
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + report({}, {}) + kSubmitted);
  EXPECT_EQ(result.err.rfind("Error loading file", 0), 0u) << result.err;
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~shot.ma"}));
  EXPECT_EQ(workFile("~shot.ma"), "");
}

TEST_F(Faults, ScenesOfOneToSixBytesAreCopiedAsTheyAre) {
  const std::vector<std::string> kinds = {"//Maya", std::string("ftn\0\xff;", 6), "/*/;\n;", "abc;de"};
  for (const std::string& kind : kinds) {
    for (std::size_t size = 1; size <= 6; ++size) {
      const std::string scene = kind.substr(0, size);
      const std::string name = "w" + std::to_string(size) + "-" + std::to_string(&kind - kinds.data());
      const std::string directory = temp.makeDir(name);
      project("scenes/shot.ma", scene);
      ProgramResult result = runUnder({}, {"-s", "1", "-e", "1", shot}, directory);
      SCOPED_TRACE(name);
      EXPECT_EQ(result.out, examining(shot) + report({}, {}) + kSubmitted);
      EXPECT_EQ(result.status, 0);
      EXPECT_EQ(temp.list(name), (Names{"vantle_render.sub", "~shot.ma"}));
      EXPECT_EQ(readFile(temp.at(name + "/~shot.ma")), scene);
    }
  }
}

// ---- Statements and tokens at their length limits ---------------------

// A scene whose second statement is `length` bytes long, ended by a
// semicolon and a line end.
std::string sceneWithStatementOf(std::size_t length) {
  std::string statement = "createNode transform -n \"";
  statement += std::string(length - statement.size() - 2, 'n');
  return kMaya + statement + "\";\n";
}

TEST_F(Faults, AStatementJustBelowTheLimit) {
  const std::string scene = sceneWithStatementOf(SceneJob::kMaxStatementBytes - 1);
  project("scenes/shot.ma", scene);
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + report({}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFile("~shot.ma"), scene);
}

TEST_F(Faults, AStatementAtTheLimitIsWarnedAboutAndCopiedWhole) {
  const std::string scene = sceneWithStatementOf(SceneJob::kMaxStatementBytes);
  project("scenes/shot.ma", scene);
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + kOverLong + report({}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFile("~shot.ma"), scene);
}

TEST_F(Faults, AStatementPastTheLimitIsReadInPiecesAndCopiedWhole) {
  const std::string scene = kMaya + "createNode transform -n \"" + std::string(100000, 'n') + "\";\n";
  project("scenes/shot.ma", scene);
  ProgramResult result = render();
  // Pieces of 40958 bytes: two full ones, then the rest.
  EXPECT_EQ(result.out, examining(shot) + kOverLong + kOverLong + report({}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFile("~shot.ma"), scene);
}

TEST_F(Faults, TokensAtAndPastTheLimitAreCopiedWhole) {
  const std::string kNul(1, '\0');
  const std::string scene = "FOR4" + kNul + std::string(SceneJob::kMaxTokenBytes, 'a') + kNul +
                            std::string(SceneJob::kMaxTokenBytes + 1, 'b') + kNul +
                            std::string(3 * SceneJob::kMaxTokenBytes + 7, 'c') + "\xff";
  project("scenes/shot.mb", scene);
  shot = spelled("scenes/shot.mb");
  ProgramResult result = render();
  EXPECT_EQ(result.out, examining(shot) + report({}, {}) + std::string(kSubmitted));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFile("~shot.mb"), scene);
}

// A texture path that runs past the statement limit is cut with the
// statement: the warning says so, and the run records the cut path, which
// names no file. Every byte still reaches the copy.
TEST_F(Faults, ATexturePathPastTheLimit) {
  const std::string path = std::string(SceneJob::kMaxStatementBytes, 'p') + ".tif";
  const std::string head = "setAttr \".ftn\" -type \"string\" \"";
  project("scenes/shot.ma", kMaya + head + path + "\";\n");
  ProgramResult result = render();
  const std::size_t kept = SceneJob::kMaxStatementBytes - head.size();
  const std::string cut = path.substr(0, kept);
  const std::string resolved = windowsForm(temp.path() + "/proj/" + cut);
  EXPECT_EQ(result.out, examining(shot) + kOverLong + "ERROR: Unable to copy '" + resolved + "' to '" + cut +
                            "'\n" + report({resolved}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFile("~shot.ma"), kMaya + rewrittenTexture(cut) + path.substr(kept) + "\";\n");
}

}  // namespace

#endif  // _WIN32
