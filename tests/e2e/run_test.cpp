// Whole runs of the built programs: what they print, how they end and what they leave, byte for byte.
#include <filesystem>
#include <sstream>

#include "e2e/run_fixture.h"
#include "job/scene_job.h"

const std::string kMaya = "//Maya ASCII 2024 scene\n", kTexture = "setAttr \".ftn\" -type \"string\" ";
// Each fault of the command line ends the run with status 1 before a file is written; checked in this order.
TEST_F(RunFixture, CommandLineFaults) {
  temp.write("work/a.ma", kMaya), temp.write("work/b.ma", kMaya);
  const std::string u = "Usage: vantleRender -s <float>  -e <float> [-j <int>] [-b <float>]  mayafile\nWhere:\n-s\t\t"
      "Start frame in rendered sequence\n-e\t\tEnd frame in rendered sequence\n-j\t\tNumber of frames per vantle job\n"
      "-b\t\tBy frame for rendered sequence\nmayafile\tMaya Scene file to be rendered\n", x = "-s 1 -e 10 ";
  const std::string start = "Missing start frame parameter.\n\n" + u, by = "Invalid 'By frame' value: ",
      size = "Invalid 'Job Size' value: ";
  const std::pair<std::string, std::string> rows[] = {{"", start}, {"-s -5 -e 10 a.ma", start}, {"-e -1 no.ma", start},
      {"-start 1 -e 10 a.ma", "Improperly formatted switch -start\n"}, {"-s5 3", "Improperly formatted switch -s5\n"},
      {"-x5 3 " + x + "a.ma", "Invalid Argument '-x5'\n"}, {x + "a.ma b.ma", "Invalid Argument 'b.ma'\n"},
      {"a.ma " + x + "-j", "Invalid Argument '-j'\n"}, {x + "-j", "Can not open file '-j'\n"},
      {x + "no.ma", "Can not open file 'no.ma'\n"}, {x, "No Maya file specified.\n"}, {x + "-j x", size + "0\n\n" + u},
      {x + "-J -99999999999 a.ma", size + "-2147483648\n\n" + u}, {"-j 0 -b -1", size + "0\n\n" + u},
      {"-b -1", by + "-1.00\n\n" + u}, {x + "-B 0 a.ma", by + "0.00\n\n" + u}, {x + "-b nan a.ma", by + "nan\n\n" + u},
      {"-s 1 -e -0.5 a.ma", "Missing end frame parameter.\n\n" + u}};
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
  const std::string shot = "pl\xC3\xA1no-\xE5\x9C\xBA\xE6\x99\xAF.ma", set = "d\xC3\xA9" "cor.ma", failed = "ERROR: Una"
      "ble to copy '", wood = "\xC3\xA9rable-\xE6\x9C\xA8.tif", copied = "' copied to current directory.\n";
  temp.makeDir(work = "arbeit-\xC3\xBC" "ber-\xE4\xBD\x9C\xE6\xA5\xAD"), temp.makeDir(work + "/dir.tif");
  temp.write(work + "/stone.tif", "mine"), proj("stone.tif", "granite"), proj("empty.tif", ""), proj("dir.tif", "");
  Names paths;  // the shot's, then the set's
  std::string scene = kMaya + "file -r -dr 1 \"" + at("scenes/" + set) + "\";\n";
  std::string copy = kMaya + "file -r -dr 1 \"~" + set + "\";\n";
  for (const std::string& name : Names{"sourceimages/" + wood, "stone.tif", "none.tif", "empty.tif", "dir.tif"}) {
    paths.push_back(windowsForm(at(name))), scene += kTexture + "\"" + at(name) + "\";\n";
    copy += kTexture + "(\"" + name.substr(name.find('/') + 1) + "\");\n";
  }
  paths.push_back(proj("sourceimages/" + wood, "oak"));
  const std::string setPath = proj("scenes/" + set, kMaya + "\t" + kTexture + "\"sourceimages/" + wood + "\";\n");
  const std::string found = "' found in current directory.\n";
  proj("scenes/" + shot, scene);
  EXPECT_EQ(run({"-s", "1", "-e", "1", at("scenes/" + shot)}).out, examining(at("scenes/" + shot)) + examining(setPath)+
            "File '" + wood + copied + "File 'stone.tif" + found + failed + paths[2] + "' to 'none.tif'\nFile 'emp"
            "ty.tif" + copied + failed + paths[4] + "' to 'dir.tif'\nFile '" + wood + found + report(paths, {setPath}) +
            kSubmitted);
  EXPECT_EQ(left(), (Names{"dir.tif", "empty.tif", "stone.tif", "vantle_render.sub", "~" + set, "~" + shot, wood}));
  EXPECT_EQ(file(wood) + file("stone.tif") + file("empty.tif"), "oakmine");
  EXPECT_EQ(file("~" + set) + file("~" + shot), kMaya + kTexture + "(\"" + wood + "\");\n" + copy);
  EXPECT_EQ(file("vantle_render.sub"),
            description({"~" + set, wood, "stone.tif", "none.tif", "empty.tif", "dir.tif", wood, "~" + shot}));
}
// Scenes without dependencies, "(None)" reported: empty, 1 to 6 bytes, statements and binary tokens at and past their
// limits, all copied byte for byte; whatever the submit tool does, it sees the whole copy.
TEST_F(RunFixture, ScenesWithoutDependencies) {
  const std::string ok = "vantle_submit vantle_render.sub\n\nSubmitted jobs successfully. Have a nice day!\n";
  const std::string failed = "\nVantle_submit failed. Make sure vantle_submit is in your search path.\n";
  const std::string warn = "\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\nPlease send mail to "
                           "render-support@example.com.\n", statement = kMaya + "createNode \"";
  const std::size_t limit = SceneJob::kMaxStatementBytes, token = SceneJob::kMaxTokenBytes;
#ifdef _WIN32
  const std::string size = "@for %%f in (\"~shot.ma\") do @echo %%~zf";
#else
  const std::string size = "wc -c < '~shot.ma'";
#endif
  std::string big = kMaya;
  while (big.size() < 100000) big += "createNode transform -n \"node\";\n";
  struct Row { std::string scene, warnings = ""; int tool = 0; std::string script = "", after = ""; };  // -1: no tool
  std::vector<Row> rows{{big, "", 3, "", ok.substr(0, 32) + failed}, {big, "", -1, "", failed},
      {big, "", 0, size, std::to_string(big.size()) + ok.substr(31)}, {"FOR4" + std::string(1, '\0') +
      std::string(token, 'a') + '\0' + std::string(3 * token + 7, 'c')}, {""},
      {statement + std::string(limit - 15, 'n') + "\";\n"}, {statement + std::string(limit - 14, 'n') + "\";\n", warn},
      {statement + std::string(100000, 'n') + "\";\n", warn + warn}};  // one byte short, at the limit, two past it
  for (const std::string& kind : Names{"//Maya", std::string("ftn\0\xff;", 6)})
    for (std::size_t size = 1; size <= 6; ++size) rows.push_back({kind.substr(0, size)});
  for (const Row& row : rows) {
    proj("scenes/shot.ma", row.scene), submitTool(row.tool, row.script);
    if (row.tool < 0) how.environment["PATH"] = searchPathWith(temp.makeDir("nowhere"));
    const ProgramResult result = render();
    EXPECT_EQ(result.out, examining(at("scenes/shot.ma")) + row.warnings + report({}, {}) +
              "\n\nCalling vantle_submit:\n" + (row.after.empty() ? ok : row.after)) << row.scene.substr(0, 10);
    EXPECT_EQ(result.status, row.tool != 0 ? 2 : 0);
    EXPECT_EQ(left(), (Names{"vantle_render.sub", "~shot.ma"}));
    EXPECT_TRUE(file("~shot.ma") == row.scene && file("vantle_render.sub") == description({"~shot.ma"}));
  }
}
// The stand-in submit tool accepts a description whose files are all here and says what is wrong with others.
TEST_F(RunFixture, StandInSubmitTool) {
  temp.write("work/~shot.ma", "scene"), temp.write("work/wood.tif", "wood"), temp.makeDir("work/dir.tif");
  const std::string t = "transfer_input_files = ", job = "\n\nArguments = -rd . ~shot.ma\nQueue\n", s = t + "~shot.ma";
  const std::pair<std::string, std::string> rows[] = {{s + job, "1 job queued, 1 file to transfer.\n"},
      {kHeader + t + "wood.tif, ~shot.ma, wood.tif" + job + job, "2 jobs queued, 2 files to transfer.\n"},
      {s + ", a.tif" + job, "'a.tif' is not in the current directory."}, {s + "\n", "the description queues no job."},
      {t + "dir.tif, ~shot.ma" + job, "'dir.tif' is a directory, not a file."},
      {t + "wood.tif" + job, "the scene '~shot.ma' is not among the files to transfer."},
      {s + job + "Queue\n", "line 5: Queue without an Arguments line before it."}};
  for (const auto& [description, says] : rows) {
    writeFile(inWork("d.sub"), description);
    const ProgramResult result = runProgram({VANTLE_SUBMIT_EXE, {"d.sub"}, inWork(""), {}});
    if (says.find("queued") != std::string::npos) {
      EXPECT_TRUE(result.status == 0 && result.out == "vantle_submit: " + says) << says << result.err;
    } else {
      EXPECT_TRUE(result.status == 2 && result.err.find(says) != std::string::npos && result.err.find("vantle_submit: "
                  "'d.sub' was not submitted.\n") != std::string::npos) << says << result.err;
    }
  }
}
// The example project as make_example lays it out (the binary prop and the images made), run as scripts/demo.sh does.
TEST_F(RunFixture, ExampleProject) {
  ASSERT_EQ(runProgram({MAKE_EXAMPLE_EXE, {VANTLE_EXAMPLES_DIR, temp.path()}, temp.path(), {}}).status, 0);
  const std::string prop = readFile(temp.at("project/scenes/prop.mb")), metal = "sourceimages/metal.png";
  EXPECT_EQ(prop.substr(0, 4) + prop.substr(8, 4) + readFile(temp.at("library/textures/concrete.png")).substr(1, 3) +
            readFile(temp.at("project/sourceimages/brick.tif")).substr(0, 3), "FOR4MayaPNGII*");
  how.environment["PATH"] = searchPathWith(std::filesystem::path(VANTLE_SUBMIT_EXE).parent_path().string());
  how.environment["VANTLE_RENDER_PATH"] = temp.at("vantle_render.hdr");
  const std::string out = run({"-s", "1", "-e", "25", "-j", "10", "-b", "1", "../project/scenes/shot.ma"}).out;
  EXPECT_EQ(out.substr(out.find("\n\nCalling")), "\n\nCalling vantle_submit:\nvantle_submit: 3 jobs queued, 8 files to "
            "transfer.\n\nSubmitted jobs successfully. Have a nice day!\n");
  const Names files{"~set.ma", "~prop.mb", "wood.tif", "sky.png", "concrete.png", "wood.tif", "brick.tif", "metal.png",
                    "~shot.ma"};
  EXPECT_EQ(left(), (Names{"brick.tif", "concrete.png", "metal.png", "sky.png", "vantle_render.sub", "wood.tif",
                           "~prop.mb", "~set.ma", "~shot.ma"}));
  EXPECT_EQ(file("vantle_render.sub"), description(files, {"1", "10", "11", "20", "21", "25"},
                                                   readFile(temp.at("vantle_render.hdr"))));
  EXPECT_EQ(file("concrete.png"), readFile(temp.at("library/textures/concrete.png")));
  std::string propCopy = prop;  // the path overwritten by the bare name, padded with spaces
  EXPECT_EQ(file("~prop.mb"), propCopy.replace(prop.find(metal), metal.size(), "metal.png" + std::string(13, ' ')));
  for (const char* cut : {"\n\t\t \"~set.ma\";\n", "\n\t\t \"~prop.mb\";\n", "(\"concrete.png\");\n"})
    EXPECT_NE(file("~shot.ma").find(cut), std::string::npos) << cut;
}
