// Faults made with file modes, named pipes, resource limits and submit tools (POSIX), one row per line of the README's
// fault table: the messages, the status, and every file left is whole.
#ifndef _WIN32
#include <filesystem>
#include <functional>
#include <map>

#include "e2e/run_fixture.h"
#include "job/scene_job.h"

namespace fs = std::filesystem;
TEST_F(RunFixture, Faults) {
  const std::string shot = at("scenes/shot.ma"), hdr = temp.at("header.hdr");
  const std::string setFile = at("scenes/set.ma"), woodFile = at("sourceimages/wood.tif"), set = windowsForm(setFile);
  const std::string scene = kMa + "file -r -dr 1 \"" + setFile + "\";\n" + ftn(woodFile), wood = windowsForm(woodFile);
  const std::string both = examining(shot) + examining(set), staged = both + copied("wood.tif");
  const std::string noSub = "ERROR: Unable to create Vantle Submit File.\n", calling = staged + report({wood}, {set}) +
      "\n\nCalling vantle_submit:\n", badHeader = staged + "ERROR: Can not open file for reading: '";
  const std::string notCopied = both + unable(wood, "wood.tif") + report({wood}, {set}) + kSubmitted;
  const std::string badSub = staged + "ERROR: Can not open file for writing: 'vantle_render.sub'\n" + noSub;
  const std::string badCopy = "ERROR: Can not open file for writing: '~shot.ma'\n" + examining(shot) + "ERROR: Can not "
      "write file: '~shot.ma'\n", failed = "\nVantle_submit failed. Make sure vantle_submit is in your search path.\n";
  const Names all{"vantle_render.sub", "wood.tif", "~set.ma", "~shot.ma"}, files(all.begin() + 1, all.end()), none;
  const Names noWood{"vantle_render.sub", "~set.ma", "~shot.ma"}, copy{"~shot.ma"};
  std::string paths = "FOR4";  // more than 128 MiB of texture paths to hold
  for (int i = 0; i < 2000; ++i) paths += std::string("ftn\0", 4) + std::string(SceneJob::kMaxTokenBytes, 'p') + '\0';
  using Make = std::function<void(const std::string&)>;
  const Make unreadable = [&](auto& p) { fs::permissions(p, fs::perms::none), how.asOtherUser = true; };
  const Make folder = [](auto& p) { fs::remove(p), fs::create_directory(p); };
  const Make pipe = [](auto& p) { fs::remove(p), mkfifo(p.c_str(), 0644); };
  const Make fills = [&](auto& p) { writeFile(p, std::string(300000, 'x')), how.fileSizeKiB = 64; };  // a 64 KiB disk
  // Made on a path, or on a name in the working directory; `sub` is the description left, when not the whole one.
  struct Row { std::string on; Make make; std::string out; int status; Names left; const char* sub = nullptr; };
  const Row rows[] = {{shot, unreadable, "Can not open file '" + shot + "'\n", 1, none},
      {setFile, [&](auto& p) { EXPECT_EQ(render().status, 0); fs::remove(p); }, examining(shot) + "Unable to open '" +
       set + "'\n", 2, all},  // vanished since the last run, whose files stay
      {woodFile, unreadable, notCopied, 0, noWood}, {hdr, unreadable, badHeader + hdr + "'\n" + noSub, 2, all, ""},
      {hdr, [&](auto&) { how.environment["VANTLE_RENDER_PATH"] = std::nullopt; },
       badHeader + "C:\\vantle_render\\vantle_render.hdr'\n" + noSub, 2, all, ""},
      {"", [&](auto& p) { fs::permissions(p, fs::perms(0555)), how.asOtherUser = true; }, badCopy, 2, none},
      {"~shot.ma", pipe, badCopy, 2, copy}, {"wood.tif", folder, notCopied, 0, all},
      {"vantle_render.sub", pipe, badSub, 2, all},
      {"~shot.ma", [&](auto& p) { fs::create_symlink(shot, p); }, badCopy, 2, copy},  // the scene itself
      {"vantle_render.sub", [&](auto& p) { writeFile(p, kHeader), how.environment["VANTLE_RENDER_PATH"] = p; },
       badSub, 2, all, kHeader},
      {setFile, fills, both + "ERROR: Can not write file: '~set.ma'\n", 2, copy},
      {woodFile, fills, notCopied, 0, noWood}, {hdr, fills, staged + noSub, 2, files},
      {"", [&](auto&) { submitTool("exit 3"); }, calling + "vantle_submit vantle_render.sub\n" + failed, 2, all},
      {"", [&](auto&) { how.environment["PATH"] = searchPathWith(temp.makeDir("none")); }, calling + failed, 2, all},
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer needs more address space than the limit leaves
      {shot, [&](auto& p) { writeFile(p, paths), how.memoryKiB = 128 << 10; }, examining(shot) + malformed(shot) +
       "ERROR: Out of memory.\n", 2, none},
#endif
  };
  const ProgramRun base = how;
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    how = base, submitTool(), work = "w" + std::to_string(i), fs::remove_all(temp.at("proj")), fs::remove_all(hdr);
    proj("scenes/shot.ma", scene), proj("scenes/set.ma", kMa), proj("sourceimages/wood.tif", "wood");
    writeFile(hdr, kHeader), fs::permissions(temp.makeDir(work), fs::perms::all);
    row.make(row.on[0] == '/' ? row.on : inWork(row.on));
    const ProgramResult result = render();
    EXPECT_EQ(result.out, row.out) << "row " << i << " on " << row.on;
    EXPECT_EQ(result.status, row.status) << "row " << i;
    ASSERT_EQ(left(), row.left) << "row " << i;
    const std::map<std::string, std::string> whole{{"wood.tif", "wood"}, {"~set.ma", kMa}, {"~shot.ma", kMa +
        "file -r -dr 1 \"~set.ma\";\n" + bare("wood.tif")},
        {"vantle_render.sub", row.sub ? row.sub : description({"~set.ma", "wood.tif", "~shot.ma"})}};
    for (const std::string& name : row.left)  // a folder, pipe or link put there is left alone
      EXPECT_TRUE(!fs::is_regular_file(fs::symlink_status(inWork(name))) || file(name) == whole.at(name)) << i << name;
    EXPECT_TRUE(!fs::is_symlink(inWork("~shot.ma")) || readFile(shot) == scene);
  }
}

// A cache's folder is named once on the transfer line, so the submit tool cannot see a frame missing from it: a frame
// that cannot be read, or a folder that cannot be made here, ends the run before anything is submitted.
TEST_F(RunFixture, CacheFramesThatCannotBeStaged) {
  const std::string description = "<?xml version=\"1.0\"?>\n<cacheDescription>\n  <cacheType Type=\"OneFilePerFrame\" "
      "Format=\"mcx\"/>\n  <time Range=\"6000-18000\"/>\n  <cacheTimePerFrame TimePerFrame=\"6000\"/>\n</cacheDescription>\n";
  const std::string frame2 = at("cache/sim/shapeFrame2.mcx");
  const auto prepare = [&](const std::string& folder) {
    fs::remove_all(temp.at("proj")), temp.makeDir(work = folder);
    proj("cache/sim/shape.xml", description);
    for (const char* frame : {"1", "2", "3"}) proj("cache/sim/shapeFrame" + std::string(frame) + ".mcx", frame);
    proj("scenes/shot.ma", kMa + "createNode cacheFile -n \"c\";\n\tsetAttr \".cp\" -type \"string\" \"cache/sim\";\n"
                                 "\tsetAttr \".cn\" -type \"string\" \"shape\";\n");
  };
  prepare("frame");  // a folder where a frame the jobs read should be
  fs::remove(frame2), fs::create_directory(frame2);
  ProgramResult result = run({"-s", "2", "-e", "2", at("scenes/shot.ma")});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.out.find(unable(windowsForm(frame2), "sim\\shapeFrame2.mcx")), std::string::npos) << result.out;
  EXPECT_EQ(left(), (Names{"sim", "~shot.ma"}));  // no description, so nothing submitted

  prepare("plain");  // a plain file where the cache's folder would be made
  writeFile(inWork("sim"), "mine");
  result = run({"-s", "2", "-e", "2", at("scenes/shot.ma")});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(left(), (Names{"sim", "~shot.ma"}));
  EXPECT_EQ(file("sim"), "mine");

  prepare("again");  // frames an earlier run left, of a simulation since run again
  EXPECT_EQ(run({"-s", "2", "-e", "2", at("scenes/shot.ma")}).status, 0);
  proj("cache/sim/shapeFrame2.mcx", "two");
  result = run({"-s", "2", "-e", "2", at("scenes/shot.ma")});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.out.find("ERROR: 'sim\\shapeFrame2.mcx' in current directory is not '" + windowsForm(frame2) +
                            "'; it is left as it is.\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("Calling"), std::string::npos);
  EXPECT_EQ(file("sim/shapeFrame2.mcx"), "2");
}
#endif
