// Scene scanning: readers and recognisers (every scene read at many block sizes), scene paths, the walk.
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <sstream>
#include "outcome/run_stop.h"
#include "job/run_options.h"
#include "job/scene_job.h"
#include "scene/node_tracker.h"
#include "scene/walk_state.h"
#include "names/comparison_key.h"
#include "platform/platform.h"
#include "scene/scene_identity.h"
#include "support/buffer_sizes.h"
#include "support/maya_binary.h"
#include "support/temp_dir.h"
namespace {
using namespace std::string_literals;
using Strings = std::vector<std::string>;
// What a reading leaves: the units read, the scene, texture and transfer lists, the copy, what was printed.
using Pass = std::tuple<Strings, Strings, Strings, Strings, std::string, std::string>;
// A marked scene text (see expectReadings) and the scene, texture and transfer lists it gives.
struct Row { std::string text; Strings scenes = {}, textures = {}, transfers = {}; };
const std::string N(1, '\0'), kTex = "setAttr \".ftn\" -type \"string\"", kHead = "//Maya ASCII 2008 scene\n",
                  kRef = "file -r -ns \"n\" -dr 1 -op \"v=0;\" -typ \"mayaAscii\"\n\t\t";
const std::size_t kLimit = 40958, kTokenLimit = 40957;  // the format's limits, not read from the program
std::string reference(const std::string& path) { return kRef + " \"" + path + "\";\n"; }

// Works in <temp>/work; the walk's scenes live in <temp>/proj.
class SceneTest : public ::testing::Test {
 protected:
  SceneTest() : work(temp.makeDir("work")), cd(work), cwd(platform::currentDirectory()) {}
  // Every statement (token) as the walk reads it and offers it to the recognisers; `marked`: by the walk's readers.
  Pass read(const std::string& scene, bool binary, bool marked) {
    SceneJob job(temp.write("work/s.ma", scene));
    NodeTracker node;
    testing::internal::CaptureStdout();
    EXPECT_EQ(job.openScene(), 1);
    Strings units;
    while ((binary ? (marked ? job.readMarkedToken() : job.readToken())
                   : (marked ? job.readMarkedStatement(node) : job.nextStatement())) == 1) {
      units.emplace_back(job.statement, job.statementLength);
      if (binary ? job.rewriteBinaryReference() == 1 || job.rewriteBinaryTexture() == 1
                 : std::max({job.rewriteFileReference(), job.rewriteTextureAttribute()}) == 1) continue;
      job.sceneStream->putBytes(job.statement, job.statementLength);
    }
    job.sceneStream->commitOutput();
    return {units, job.sceneFiles, job.textureFiles, job.transferFiles, readFile(work + "/~s.ma"),
            testing::internal::GetCapturedStdout()};
  }
  // The reading, once it was the same at every block size (long scenes from 7 bytes up) and by the walk's readers,
  // which hand out fewer units but must leave the same.
  Pass readEverywhere(const std::string& scene, bool binary) {
    const Pass every = read(scene, binary, false);
    for (std::size_t block : {1, 2, 3, 7, 1024, 1025, 2048, 1 << 18}) {
      if (block < 7 && scene.size() > 4096) continue;
      ScopedBufferSizes sizes(block, block);
      Pass marked = read(scene, binary, true);
      std::get<0>(marked) = std::get<0>(every);
      EXPECT_EQ(read(scene, binary, false), every) << "block " << block;
      EXPECT_EQ(marked, every) << "block " << block;
    }
    return every;
  }
  // Each row's text is a scene with marks: '|' between statements, '[' and ']' around the tokens the walk is
  // offered, '^' after a statement that reaches the length limit and warns, "{bytes>new bytes}" where the copy differs.
  void expectReadings(bool binary, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      Strings units(binary ? 0 : 1);
      std::string scene, copy, out;
      bool inUnit = !binary, inScene = true, inCopy = true;
      for (char c : row.text) {
        if (c == '|' || c == '[') units.emplace_back();
        if (c == '|' || c == '[' || c == ']') inUnit = c != ']';
        else if (c == '{' || c == '>' || c == '}') inScene = c != '>', inCopy = c != '{';
        else if (c == '^') out += "\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\n"
                                  "Please send mail to render-support@example.com.\n";
        else if (inCopy) copy += c;
        if (!inScene || std::string_view("|[]{>}^").find(c) != std::string_view::npos) continue;
        scene += c;
        if (inUnit) units.back() += c;
      }
      const Pass expected(units, row.scenes, row.textures, row.transfers, copy, out);
      EXPECT_EQ(readEverywhere(scene, binary), expected) << row.text.substr(0, 80);
    }
  }
  std::string at(const std::string& relative) const { return windowsForm(temp.at(relative)); }
  // proj/scenes/<name>.ma: a `file -rdi` sibling and a reference for each child, then the texture t<name>.tif.
  void chainScene(char name, const std::string& children) {
    std::string bytes = kHead;
    for (char c : children) bytes += "file -rdi 1 \"" + (c + "\";\n"s) + reference("scenes/" + (c + ".ma"s));
    temp.write("proj/scenes/" + std::string(1, name) + ".ma", bytes + "\t" + kTex + " \"maps/t" + name + ".tif\";\n");
  }
  // What the walk prints, and the exit status it stops the run with.
  std::string scan(const std::string& path) {
    job = std::make_unique<SceneJob>();
    job->scenePath = path;
    testing::internal::CaptureStdout();
    std::string stop;
    RunLog log;
    WalkState walk;
    DependencyList found;
    try { job->scanScene(RunOptions{}, log, walk, found); } catch (const RunStop& run) { stop = "status " + std::to_string(run.status()); }
    return testing::internal::GetCapturedStdout() + stop;
  }
  TempDir temp;
  std::string work;
  ScopedCurrentDirectory cd;
  std::string cwd;  // the working folder as the system names it
  std::unique_ptr<SceneJob> job;
};

TEST_F(SceneTest, AsciiScenes) {
  const std::string x(kLimit, 'x');
  const std::string rdi = "file -rdi 1 -ns \"s\" -op \"v=0;\" -typ \"mayaAscii\"\n\t\t \"C:/p/set.ma\";\n";
  expectReadings(false, {{"ab;\n|\n|cd;| ef;"}, {"a;b;|c"}, {"/* a; */| b;|/*/|x;"}, {"ab;|\r\n//c;|\r\nb;|\r\n"},
      {"ab" + N + "cd;\n|x;"}, {"xy;|\r\n\t file\t-r -op \"v=0;\" \"a.ma\";|\r\n"},  // quotes count in `file` only
      {"fileInfo \"a;|b\";|file\n-r \"a;|b\";"}, {x + "\n^|w;"}, {x.substr(1) + ";^|w;"}, {x + "^|//a;b\n|c;"},
      {"file -r x.ma;|\"" + kTex + "\"a\";"},  // no space outside quotes after the keyword: not taken
      {rdi + "|" + kRef + "{ \"C:/p/set.ma\";\n> \"~set.ma\";\n}|file -r -op \"v=0;\"{ \"C:/p/prop.ma\";> \"~prop.ma\";"
       "\n}", {"C:\\p\\set.ma", "C:\\p\\prop.ma"}, {}, {"~set.ma", "~prop.ma"}},
      {"//file -r -ns \"x\"{ \"old/x.ma\"\n> \"~x.ma\";\n}|file -r \"ball.ma\"{ ;> \"~\";\n}|file -r -ns \"n\"{ "
       "\"a/b.ma\"" + N + " \"c/d\";> \"~b.ma\";\n}", {"old\\x.ma", "", "a\\b.ma"}, {}, {"~x.ma", "~", "~b.ma"}},
      {"{\t>}" + kTex + "{ (\"C:/tex/wood.tif\");\n> (\"wood.tif\");\n}|ab;|{\r\n\t>}" + kTex + "{ \"m/a b.tif\";"
       "> (\"a b.tif\");\n}", {}, {"C:\\tex\\wood.tif", "m\\a b.tif"}, {"wood.tif", "a b.tif"}}});
  std::string text = " '(wood.tif)' \r(a ;b)\n'\"();\t ";  // a carriage return is no delimiter
  SceneJob::trimDelimiters(text);
  // Only spaces outside quotes count, and every quote flips, also one after a backslash.
  EXPECT_EQ(text + SceneJob::findLastUnquoted("a b \"c\\\" d\" e", ' '), "wood.tif)' \r(a ;b d\" e");
  EXPECT_EQ(SceneJob::findLastUnquoted("x\"y z\"", ' '), nullptr);
  EXPECT_EQ(SceneJob().nextStatement() + SceneJob("missing.ma").nextStatement(), 0);
}

TEST_F(SceneTest, BinaryScenes) {
  const std::string q(kTokenLimit, 'q'), rest(50000 - kTokenLimit, 'q'), z(kTokenLimit - 1, 'z');
  expectReadings(true, {{"[abc]" + N + "ab" + N + "12[abc]" + N + "[a b;]\x01. [abc]"},
      {"[abc]\x80[def]\x01" "ab\x7f[cde]\xc3\xa9[bar]\t[def]\n[ghi]\rjk"s}, {"[" + q + "][" + rest + "]"},
      {"[abc]" + N + "[FREFFRE ft n]" + N + "[ftn]"}, {"[" + z + "f]tn" + N + "[path/a.tif]"},  // a marker cut short
      {N + "\x03\x10[FREFFREF]" + N + "\x11{C:/scenes/ball.mb>~ball.mb         }" + N + "\x7f[more]" + N +
       "[FREFFREF]" + N + "{ball.mb>~ball.m}", {"C:\\scenes\\ball.mb", "ball.mb"}, {}, {"~ball.mb", "~ball.mb"}},
      {"\x05[ftn]" + N + N + "{C:/tex/wood.tif >wood.tif        }" + N + "[softness]" + N +  // ftn in a word
       "{maps\\grain.tif>grain.tif     }", {}, {"C:\\tex\\wood.tif", "maps\\grain.tif"}, {"wood.tif ", "grain.tif"}},
      {"[xFREFFREFftn]" + N + "{s/a.mb>~a.mb }" + N + "[t/w.tif]" + N + "[FREFFREF]" + N + "./{sc/b.mb>~b.mb  }",
       {"s\\a.mb", "sc\\b.mb"}, {}, {"~a.mb", "~b.mb"}}});  // both markers in one token: a reference
}

// The structured copy is the same at every block size, a grown reference and the sizes around it included.
TEST_F(SceneTest, StructuredBinaryCopyAtEveryBlockSize) {
  const MayaBinary m{8};
  const auto scene = [&](const std::string& ref, const std::string& tex) {
    return m.scene({m.head({m.chunk("VERS", "2024")}), m.reference(ref, "n", 3, "ball.mb"),
                    m.node("RTFT", "f", "", {m.text("ftn", tex)})});
  };
  for (std::size_t block : {1, 3, 7, 1024}) {
    ScopedBufferSizes sizes(block, block);
    SceneJob job(temp.write("work/s.mb", scene("ball.mb", "maps/wood.tif")));
    RunLog log;
    EXPECT_EQ(job.openScene(), 1);
    EXPECT_EQ(job.passStructuredBinary(false, true, log), SceneReading::kStructure);
    job.sceneStream->commitOutput();
    EXPECT_EQ(readFile(work + "/~s.mb"), scene("~ball.mb", "wood.tif     ")) << block;
    EXPECT_EQ(job.transferFiles, (Strings{"~ball.mb", "wood.tif"}));
  }
}

// Relative entries resolve against the folder above the scene's folder, as the system names it.
TEST_F(SceneTest, PathResolutionAndSceneIdentity) {
  const std::string deep = "proj/" + std::string(200, 'd') + "/" + std::string(120, 'e');  // over 300 bytes
  for (const std::string& folder : Strings{deep + "/scenes", "proj/scenes", "work/scenes"}) temp.makeDir(folder);
  const std::string shot = at("proj/scenes/shot.ma"), tif = "maps/" + std::string(200, 't') + ".tif";
  const std::string root = windowsForm(cwd.substr(0, cwd.find_first_of("\\/") + 1));  // the root is its own parent
  const struct { std::string scene, before, after; int result; } rows[] = {
#ifdef _WIN32  // drive letters: separators mixed, the root of drive C:, another drive, a drive the system lacks
      {temp.path() + "/proj\\scenes/shot.ma", "sourceimages/a.tif", at("proj/sourceimages/a.tif"), 1},
      {"C:\\shot.ma", "maps/wood.tif", "C:\\maps\\wood.tif", 1}, {shot, "D:/maps/wood.tif", "D:\\maps\\wood.tif", 0},
      {"Q:\\scenes\\shot.ma", "a.tif", at("work/a.tif"), 1},
#endif
      {shot, "sourceimages/a.tif", at("proj/sourceimages/a.tif"), 1}, {shot, "C:a.tif", at("proj") + "\\C:a.tif", 1},
      {shot, "/maps/wood.tif", "\\maps\\wood.tif", 0}, {shot, " C:\\maps\\wood.tif", " C:\\maps\\wood.tif", 0},
      {"/shot.ma", "maps/wood.tif", root + "maps\\wood.tif", 1}, {"shot.ma", "maps\\a.tif", at("maps/a.tif"), 1},
      {"scenes/shot.ma", "maps\\a.tif", at("work/maps/a.tif"), 1}, {"no\\where\\shot.ma", "a.tif", at("work/a.tif"), 1},
      {at(deep + "/scenes/shot.ma"), tif, at(deep + "/" + tif), 1}};
  for (const auto& row : rows) {
    std::string entry = row.before;
    EXPECT_EQ(SceneJob(row.scene).resolveDependencyPath(entry), row.result) << row.scene << row.before;
    EXPECT_EQ(entry, row.after) << row.scene << " | " << row.before;
    EXPECT_EQ(platform::currentDirectory(), cwd);
  }
  EXPECT_EQ(makeAbsoluteScenePath("..\\work//scenes\\.\\..\\shot.ma"), windowsForm(cwd) + "\\shot.ma");
  EXPECT_EQ(makeAbsoluteScenePath("C:/p/../..//shot.ma"), "C:\\shot.ma");
  // Names differ in case only where the system keeps paths as given, on Windows.
  EXPECT_EQ(comparisonKey("C:\\P\\SHOT.ma") == comparisonKey("c:\\p\\shot.MA"), platform::systemPath("\\") == "\\");
}

// "w:xy": scene w references x and y. The walk prints "x" examined, "!x" skipped as circular, "?x" unable to open.
TEST_F(SceneTest, WalkChains) {
  // Each scene is examined once however many scenes name it; a reference
  // back up its own chain is skipped once, where it is named.
  const std::pair<const char*, std::string> rows[] = {{"w:xy x: y:", "wxy"}, {"w:xy x:y y:", "wxy"},
      {"w:x x:y y:z z:v v:", "wxyzv"}, {"w:xx x:", "wx"}, {"w:xy x:w y:", "wx!wy"},
      {"w:x x:y y:x", "wxy!x"}, {"w:xg x:", "wx?g"}, {"", "?w"}};
  auto path = [&](char name) { return at("proj/scenes/" + std::string(1, name) + ".ma"); };
  for (const auto& [tree, printed] : rows) {
    std::filesystem::remove_all(temp.at("proj"));
    std::istringstream scenes(tree);
    for (std::string scene; scenes >> scene;) chainScene(scene[0], scene.substr(2));
    std::string out;
    for (std::size_t i = 0; i < printed.size(); ++i) {
      out += printed[i] == '!' ? "Skipping '" + path(printed[++i]) + "': circular reference.\n"
             : printed[i] == '?' ? "Unable to open '" + path(printed[++i]) + "'\nstatus 2"
                                 : "Examining '" + path(printed[i]) + "'.\n";
    }
    EXPECT_EQ(scan(path('w')), out) << tree;
  }
}

TEST_F(SceneTest, WalkStopsAtTwoScenesForOneCopyNameBeforeOpeningTheSecond) {
  temp.write("proj/scenes/w.ma", kHead + reference("scenes/x.ma") + reference("other/x.ma"));
  temp.write("proj/other/x.ma", kHead + "// another scene\n");
  chainScene('x', "");
  const std::string w = at("proj/scenes/w.ma"), x = at("proj/scenes/x.ma");
  EXPECT_EQ(scan(w), "Examining '" + w + "'.\nExamining '" + x + "'.\nERROR: '" + x + "' and '" +
                         at("proj/other/x.ma") + "' would both be copied to '~x.ma'.\nstatus 2");
  EXPECT_EQ(readFile(work + "/~x.ma"), kHead + kTex + " (\"tx.tif\");\n");
}

}  // namespace
