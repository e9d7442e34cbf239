// Runs stopped part way (killed, interrupted), leftovers of killed runs, and runs at once in one folder: a file under
// one of the run's names is whole or not there, the next run leaves what an uninterrupted run leaves, and each
// description is submitted once, with its own scene copy in place.
#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

#include "e2e/run_fixture.h"
#include "names/partial_name.h"
#include "platform/platform.h"

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
namespace {
const std::string kLock = "vantle_render.lock";
}  // namespace

struct StoppedRuns : RunFixture {
#ifndef _WIN32
  pid_t start(const std::string& out);
#endif
  Files files() const {  // every regular file in the working directory and what it holds
    Files all;
    for (const auto& name : left()) all[name] = fs::is_regular_file(inWork(name)) ? file(name) : "<folder>";
    return all;
  }
};

// A killed run's partial files (and its lock file) go before the next run writes; near misses of the form stay.
TEST_F(StoppedRuns, LeftoversOfAKilledRunGoAndNothingElse) {
  proj("scenes/shot.ma", kMa);
  const Names kept{"vantle_render.-1.partial", "vantle_render.12a-5.partial", "vantle_render.1234-5.partial.tif",
                   "vantle_render.12345.partial", "x.vantle_render.1-1.partial"};
  for (const auto& name : kept) temp.write(work + "/" + name, "user's");
  for (const std::string name : {"vantle_render.1234-5.partial", "vantle_render.9-10.partial", kLock.c_str()})
    temp.write(work + "/" + name, "cut sh");
  temp.makeDir(work + "/vantle_render.7-7.partial");  // not a file: left alone
  EXPECT_EQ(render().out, examining(at("scenes/shot.ma")) + report({}, {}) + kSubmitted);
  Names all = kept;
  all.insert(all.end(), {"vantle_render.7-7.partial", "vantle_render.sub", "~shot.ma"});
  std::sort(all.begin(), all.end());
  EXPECT_EQ(left(), all);
}

// A run that finds the folder locked says so once, writes nothing, and goes on when the lock is let go.
TEST_F(StoppedRuns, ASecondRunWaitsForTheFirst) {
  const std::string texture = proj("sourceimages/wood.tif", "oak");
  proj("scenes/shot.ma", kMa + ftn(at("sourceimages/wood.tif")));
  platform::FileLock held;
  ASSERT_EQ(platform::tryLockFile(inWork(kLock), held), platform::LockResult::kTaken);
  how.outputFile = temp.at("out.txt");
  temp.write("out.txt", "");
  ProgramResult result;
  std::atomic<bool> ended = false;
  std::thread second([&] { result = render(), ended = true; });
  const std::string waiting = "Waiting for another vantleRender run in this folder.\n";
  while (!ended && readFile(how.outputFile).find(waiting.substr(0, 20)) == std::string::npos)
    platform::sleepMilliseconds(20);
  EXPECT_EQ(left(), Names{kLock});  // nothing written while waiting
  platform::releaseLockFile(inWork(kLock), held);
  second.join();
  EXPECT_EQ(result.out, waiting + examining(at("scenes/shot.ma")) + copied("wood.tif") +
                            report({texture}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(left(), (Names{"vantle_render.sub", "wood.tif", "~shot.ma"}));
}

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

std::string filler(std::size_t bytes, char seed) {  // ordinary statements, none of them naming a file
  std::string text;
  for (unsigned i = 0; text.size() < bytes; ++i) text += "setAttr \".v" + std::string(1, seed) + std::to_string(i) +
                                                          "\" 1.5 2.25 " + std::to_string(i * 7919u % 10007u) + ";\n";
  return text;
}

// The program on the shot, started in the background as a terminal's foreground job of its own, output to `out`.
pid_t StoppedRuns::start(const std::string& out) {
  const std::string shot = at("scenes/shot.ma");
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    if (chdir(temp.at(work).c_str()) != 0) _exit(127);
    for (const auto& [name, value] : how.environment) setenv(name.c_str(), value->c_str(), 1);
    const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    execl(VANTLE_RENDER_EXE, VANTLE_RENDER_EXE, "-s", "1", "-e", "1", shot.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Ctrl+C while the submit tool runs reaches the tool (here the tool presses it): a tool ended by it is an interrupted
// run; the run's files stay. A tool that succeeds although the run was asked to stop (SIGTERM to the run alone) has
// submitted the jobs.
TEST_F(StoppedRuns, CtrlCWhileTheSubmitToolRuns) {
  proj("scenes/shot.ma", kMa);
  const std::string calling = examining(at("scenes/shot.ma")) + report({}, {}) + kCalled, out = temp.at("out.txt");
  const std::pair<std::string, std::string> rows[] = {{"kill -INT 0; sleep 5", calling + "ERROR: Interrupted.\n"},
      {"kill -TERM $(cut -d' ' -f5 /proc/$$/stat)", calling + "\nSubmitted jobs successfully. Have a nice day!\n"}};
  for (const auto& [then, printed] : rows) {
    submitTool(then);
    int status = 0;
    waitpid(start(out), &status, 0);
    EXPECT_EQ(readFile(out), printed) << then;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == (printed == calling + "ERROR: Interrupted.\n" ? 130 : 0));
    EXPECT_EQ(left(), (Names{"vantle_render.sub", "~shot.ma"})) << then;
  }
}

// Eight runs at once in one folder, each for its own scene: each description reaches the submit tool once, whole,
// with that scene's copy in place; the tool keeps what it was given.
TEST_F(StoppedRuns, RunsAtOnceInOneFolderTakeTurns) {
  const std::string records = temp.makeDir("records");
  submitTool("r=" + records + "/$$; cp vantle_render.sub $r.sub; c=$(grep '^Arguments' vantle_render.sub | tail -1 | "
             "sed 's/.* //'); cp \"$c\" $r.copy; echo \"$c\" > $r.name");
  constexpr int kRuns = 8;
  std::vector<ProgramResult> results(kRuns);
  std::vector<std::thread> runs;
  for (int i = 0; i < kRuns; ++i) {
    const std::string n = std::to_string(i);
    proj("scenes/shot" + n + ".ma", kMa + ftn(proj("t" + n + ".tif", filler(200000, 't' + i))) +
                                        filler(600000, 'a' + i));
  }
  for (int i = 0; i < kRuns; ++i) {
    ProgramRun own = how;  // each thread its own
    own.arguments = {"-s", "1", "-e", "1", at("scenes/shot" + std::to_string(i) + ".ma")};
    own.workingDirectory = inWork("");
    runs.emplace_back([&results, own, i] { results[i] = runProgram(own); });
  }
  for (auto& r : runs) r.join();
  std::map<std::string, int> submitted;
  for (const auto& name : temp.list("records")) {
    if (name.size() < 5 || name.substr(name.size() - 5) != ".name") continue;
    const std::string stem = records + "/" + name.substr(0, name.size() - 5), copy = readFile(stem + ".name");
    const std::string n = copy.substr(5, copy.size() - 9);  // "~shot<n>.ma\n"
    ++submitted[n];
    EXPECT_EQ(readFile(stem + ".sub"), description({"t" + n + ".tif", "~shot" + n + ".ma"})) << n;
    EXPECT_TRUE(readFile(stem + ".copy") == kMa + bare("t" + n + ".tif") +
                                               filler(600000, 'a' + std::stoi(n))) << n;
  }
  for (int i = 0; i < kRuns; ++i) {
    EXPECT_EQ(results[i].status, 0) << i << results[i].out;
    EXPECT_EQ(submitted[std::to_string(i)], 1) << i;
  }
  for (const auto& name : left()) EXPECT_FALSE(isPartialFileName(name) || name == kLock) << name;
}

// A run stopped with SIGKILL or SIGINT at instants spread over it, from the moment it holds the folder to its end, in
// a folder of its own: every file under one of the run's names is whole; SIGINT leaves no partial file or lock and
// ends with status 130 after what an uninterrupted run would have printed so far. The next run then leaves exactly
// what an uninterrupted run leaves.
TEST_F(StoppedRuns, KilledAndInterruptedRunsLeaveOnlyWholeFiles) {
  std::string scene = kMa + "file -r -dr 1 \"" + at("scenes/set.ma") + "\";\n", set = kMa;
  for (int i = 0; i < 2; ++i) {
    std::string texture(8 << 20, '\0');
    for (std::size_t b = 0; b < texture.size(); ++b) texture[b] = static_cast<char>((b * 2654435761u) >> (13 + i));
    (i == 0 ? scene : set) += ftn(proj("sourceimages/tex" + std::to_string(i) + ".tif", texture));
  }
  proj("scenes/shot.ma", scene + filler(6 << 20, 's')), proj("scenes/set.ma", set + filler(6 << 20, 'e'));
  work = "reference", temp.makeDir(work);
  const ProgramResult uninterrupted = render();
  ASSERT_EQ(uninterrupted.status, 0);
  const Files whole = files();
  std::uintmax_t total = 0;
  for (const auto& [name, bytes] : whole) total += bytes.size();

  constexpr int kInstants = 5;
  for (int signal : {SIGKILL, SIGINT}) {
    for (int k = 0; k < kInstants; ++k) {
      const std::string trace = "signal " + std::to_string(signal) + " at " + std::to_string(k);
      work = "w" + std::to_string(signal) + "-" + std::to_string(k), temp.makeDir(work);
      const std::string out = temp.at(work + ".out");
      const pid_t pid = start(out);
      // Stopped once the run holds the folder and has written its share of the bytes, or not at all when it ends first.
      int status = 0;
      bool ended = false;
      for (;;) {
        if ((ended = waitpid(pid, &status, WNOHANG) == pid)) break;
        std::uintmax_t written = 0;
        std::error_code gone;
        for (const auto& entry : fs::directory_iterator(temp.at(work), gone)) written += entry.file_size(gone);
        if (fs::exists(inWork(kLock)) && written >= total * k / kInstants) break;
        std::this_thread::yield();
      }
      if (!ended) kill(pid, signal), waitpid(pid, &status, 0);
      const Files after = files();
      for (const auto& [name, bytes] : after) {
        if (whole.count(name)) {
          EXPECT_TRUE(bytes == whole.at(name)) << trace << name;
        } else {
          EXPECT_TRUE(signal == SIGKILL && (isPartialFileName(name) || name == kLock)) << trace << name;
        }
      }
      const std::string printed = readFile(out), stop = "ERROR: Interrupted.\n";
      if (signal == SIGINT && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << trace;
        ASSERT_GE(printed.size(), stop.size()) << trace;
        EXPECT_EQ(printed.substr(printed.size() - stop.size()), stop) << trace;
        EXPECT_EQ(uninterrupted.out.rfind(printed.substr(0, printed.size() - stop.size()), 0), 0u) << trace << printed;
      }
      EXPECT_EQ(render().status, 0) << trace;
      EXPECT_TRUE(files() == whole) << trace << " left " << testing::PrintToString(left());
    }
  }
}
#endif
