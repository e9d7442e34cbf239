// Whole runs of the built programs: what they print, how they end and what they leave, byte for byte.
#include <filesystem>
#include <sstream>

#include "e2e/run_fixture.h"

// Each fault of the command line ends the run with status 1 before a file is written; checked in this order.
TEST_F(RunFixture, CommandLineFaults) {
  temp.write("work/a.ma", kMa), temp.write("work/b.ma", kMa);
  const std::string u = golden("usage.txt"), x = "-s 1 -e 10 ";
  const std::string by = "Invalid 'By frame' value: ", size = "Invalid 'Job Size' value: ";
  const std::pair<std::string, std::string> rows[] = {{"-s -5 -e -1 no.ma", "Missing start frame parameter.\n\n" + u},
      {"-start 1 -e 10 a.ma", "Improperly formatted switch -start\n"}, {"-x5 3 a.ma", "Invalid Argument '-x5'\n"},
      {x + "a.ma b.ma", "Invalid Argument 'b.ma'\n"}, {x + "-j", "Can not open file '-j'\n"},  // a last option: a name
      {x, "No Maya file specified.\n"}, {x + "-J -99999999999 a.ma", size + "-2147483648\n\n" + u},
      {"-j 0 -b -1", size + "0\n\n" + u}, {"-b -1", by + "-1.00\n\n" + u}, {x + "-B 0 a.ma", by + "0.00\n\n" + u},
      {x + "-b nan a.ma", by + "nan\n\n" + u}, {"-s 1 -e -0.5 a.ma", "Missing end frame parameter.\n\n" + u}};
  for (const auto& [line, out] : rows) {
    std::istringstream words(line);
    const ProgramResult result = run({std::istream_iterator<std::string>(words), {}});
#ifdef _WIN32
    if (line.find("nan") != std::string::npos) continue;  // the C runtime's atof reads no "nan"
#endif
    EXPECT_TRUE(result.out == out && result.status == 1 && left() == (Names{"a.ma", "b.ma"})) << line << result.out;
  }
}
// UTF-8 names passed through as bytes; each texture copied, found (the user's, or staged earlier), or reported.
TEST_F(RunFixture, WholeRunAndStaging) {
  const std::string shot = "pl\xC3\xA1no-\xE5\x9C\xBA\xE6\x99\xAF.ma", set = "d\xC3\xA9" "cor.ma";
  const std::string wood = "\xC3\xA9rable-\xE6\x9C\xA8.tif";
  temp.makeDir(work = "arbeit-\xC3\xBC" "ber-\xE4\xBD\x9C\xE6\xA5\xAD"), temp.makeDir(work + "/dir.tif");
  temp.write(work + "/stone.tif", "mine"), proj("stone.tif", "granite"), proj("empty.tif", ""), proj("dir.tif", "");
  Names paths;  // the shot's, then the set's
  std::string scene = kMa + "file -r -dr 1 \"" + at("scenes/" + set) + "\";\n";
  std::string copy = kMa + "file -r -dr 1 \"~" + set + "\";\n";
  for (const std::string& name : Names{"sourceimages/" + wood, "stone.tif", "none.tif", "empty.tif", "dir.tif"}) {
    paths.push_back(windowsForm(at(name))), scene += ftn(at(name)), copy += bare(name.substr(name.find('/') + 1));
  }
  paths.push_back(proj("sourceimages/" + wood, "oak"));
  const std::string setPath = proj("scenes/" + set, kMa + "\t" + ftn("sourceimages/" + wood));
  const std::string found = "' found in current directory.\n";
  proj("scenes/" + shot, scene);
  EXPECT_EQ(run({"-s", "1", "-e", "1", at("scenes/" + shot)}).out, examining(at("scenes/" + shot)) + examining(setPath)+
            copied(wood) + "File 'stone.tif" + found + unable(paths[2], "none.tif") + copied("empty.tif") +
            unable(paths[4], "dir.tif") + "File '" + wood + found + report(paths, {setPath}) + kSubmitted);
  EXPECT_EQ(left(), (Names{"dir.tif", "empty.tif", "stone.tif", "vantle_render.sub", "~" + set, "~" + shot, wood}));
  EXPECT_EQ(file(wood) + file("stone.tif") + file("empty.tif"), "oakmine");
  EXPECT_EQ(file("~" + set) + file("~" + shot), kMa + bare(wood) + copy);
  EXPECT_EQ(file("vantle_render.sub"),
            description({"~" + set, wood, "stone.tif", "none.tif", "empty.tif", "dir.tif", wood, "~" + shot}));
}
// Scenes without dependencies, "(None)" reported, copied byte for byte, the copy whole when the submit tool runs.
// The empty scene is read as an empty binary one, after the warning that it is no Maya binary scene.
TEST_F(RunFixture, ScenesWithoutDependencies) {
#ifdef _WIN32
  submitTool("@for %%f in (\"~shot.ma\") do @echo %%~zf");  // the size of the copy
#else
  submitTool("wc -c < '~shot.ma'");
#endif
  for (const std::string scene : {"", "//Maya"}) {
    proj("scenes/shot.ma", scene);
    const std::string path = at("scenes/shot.ma"), size = std::to_string(scene.size()) + "\n";
    EXPECT_EQ(render().out, examining(path) + (scene.empty() ? malformed(path) : "") + report({}, {}) + kCalled + size +
              kSubmitted.substr(kCalled.size())) << scene;
    EXPECT_EQ(left(), (Names{"vantle_render.sub", "~shot.ma"}));
    EXPECT_TRUE(file("~shot.ma") == scene && file("vantle_render.sub") == description({"~shot.ma"}));
  }
}
// The example project as make_example lays it out (a binary prop among ASCII scenes, the prop referencing an Alembic
// cache), run as scripts/demo.sh does, with the stand-in submit tool, which accepts the description: all its files are
// here.
TEST_F(RunFixture, ExampleProject) {
  ASSERT_EQ(runProgram({MAKE_EXAMPLE_EXE, {VANTLE_EXAMPLES_DIR, temp.path()}, temp.path(), {}}).status, 0);
  how.environment["PATH"] = searchPathWith(std::filesystem::path(VANTLE_SUBMIT_EXE).parent_path().string());
  const std::string header = temp.at("vantle_render.hdr");
  how.environment["VANTLE_RENDER_PATH"] = header;
  const std::string out = run({"-s", "1", "-e", "25", "-j", "10", "-b", "1", "../project/scenes/shot.ma"}).out;
  EXPECT_EQ(out.substr(out.find("\n\nCalling")), "\n\nCalling vantle_submit:\nvantle_submit: 3 jobs queued, 9 files "
            "to transfer.\n\nSubmitted jobs successfully. Have a nice day!\n");
  EXPECT_EQ(file("vantle_render.sub"), golden("example_project.sub"));  // the example's header, then what follows
  std::string prop = readFile(temp.at("project/scenes/prop.mb")), metal = "sourceimages/metal.png";
  const std::string cache = "cache/crate_drop.abc";
  // The paths overwritten in place by the new names, padded with spaces; the FRDI group's copy of the path stays.
  prop.replace(prop.find(cache, prop.find(cache) + 1), cache.size(), "~crate_drop.abc" + std::string(5, ' '));
  EXPECT_EQ(file("~prop.mb"), prop.replace(prop.find(metal), metal.size(), "metal.png" + std::string(13, ' ')));
  EXPECT_EQ(file("~crate_drop.abc"), readFile(temp.at("project/" + cache)));
}
