#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "job/run_stop.h"
#include "job/scene_job.h"
#include "platform/platform.h"
#include "support/temp_dir.h"
#include "support/windows_form.h"

namespace {

using Strings = std::vector<std::string>;

const std::string kHeader = "//Maya ASCII 2008 scene\n//Codeset: 1252\n";
const std::string kBody = "requires maya \"2008\";\ncreateNode transform -n \"box\";\n";
const std::string kReferenceHead = "file -r -ns \"n\" -dr 1 -rfn \"nRN\" -op \"v=0;\" -typ \"mayaAscii\"\n\t\t";
const std::string kTextureKeyword = "setAttr \".ftn\" -type \"string\"";

std::string referenceStatement(const std::string& path) { return kReferenceHead + " \"" + path + "\";\n"; }
std::string siblingStatement(const std::string& path) {
  return "file -rdi 1 -ns \"n\" -rfn \"nRN\" -op \"v=0;\" -typ \"mayaAscii\"\n\t\t \"" + path + "\";\n";
}
std::string textureStatement(const std::string& path) { return "\t" + kTextureKeyword + " \"" + path + "\";\n"; }

const std::string kNul(1, '\0');

class SceneWalk : public ::testing::Test {
 protected:
  SceneWalk() : work(temp.makeDir("work")), cd(work) {}

  // A scene under proj/, and its path as the program stores it.
  std::string scene(const std::string& relative, const std::string& bytes) {
    temp.write("proj/" + relative, bytes);
    return at(relative);
  }
  std::string at(const std::string& relative) const { return windowsForm(temp.at("proj/" + relative)); }

  // An ASCII scene under proj/scenes/ that references the scenes of the
  // given names and uses one texture named after itself, reference first.
  std::string chainScene(const std::string& name, const Strings& children) {
    std::string bytes = kHeader;
    for (const auto& child : children) bytes += siblingStatement("scenes/" + child + ".ma");
    for (const auto& child : children) bytes += referenceStatement("scenes/" + child + ".ma");
    bytes += kBody + textureStatement("sourceimages/t" + name + ".tif");
    return scene("scenes/" + name + ".ma", bytes);
  }

  // Runs the walk on `job` and returns what it printed; `status` is the
  // exit status a RunStop asked for, or -1 when the walk returned.
  std::string scan(SceneJob& job) {
    testing::internal::CaptureStdout();
    status = -1;
    try {
      EXPECT_EQ(job.scanScene(), 1);
    } catch (const RunStop& stop) {
      status = stop.status();
    }
    return testing::internal::GetCapturedStdout();
  }

  std::string scanFrom(const std::string& path) {
    job = std::make_unique<SceneJob>();
    job->scenePath = path;
    return scan(*job);
  }

  std::string copy(const std::string& name) const { return readFile(work + "/" + name); }

  static std::string examining(const Strings& paths) {
    std::string lines;
    for (const auto& path : paths) lines += "Examining '" + path + "'.\n";
    return lines;
  }

  TempDir temp;
  std::string work;
  ScopedCurrentDirectory cd;
  std::unique_ptr<SceneJob> job;
  int status = -1;
};

// ---------------------------------------------------------------------------

using SceneWalkChains = SceneWalk;

TEST_F(SceneWalkChains, SceneWithoutDependencies) {
  const std::string bytes = kHeader + kBody + "// no file -r here\n";
  const std::string path = scene("scenes/w.ma", bytes);
  EXPECT_EQ(scanFrom(path), examining({path}));
  EXPECT_EQ(status, -1);
  EXPECT_EQ(copy("~w.ma"), bytes);
  EXPECT_EQ(job->textureCount() + job->sceneFileCount() + job->transferCount(), 0);
}

TEST_F(SceneWalkChains, OneReference) {
  const std::string w = chainScene("w", {"x"});
  chainScene("x", {});
  EXPECT_EQ(scanFrom(w), examining({w, at("scenes/x.ma")}));
}

TEST_F(SceneWalkChains, TwoReferences) {
  const std::string w = chainScene("w", {"x", "y"});
  chainScene("x", {});
  chainScene("y", {});
  EXPECT_EQ(scanFrom(w), examining({w, at("scenes/x.ma"), at("scenes/y.ma")}));
}

TEST_F(SceneWalkChains, DeeperScenesAreExaminedAgain) {
  const std::string w = chainScene("w", {"x"});
  chainScene("x", {"y"});
  chainScene("y", {});
  const std::string x = at("scenes/x.ma");
  const std::string y = at("scenes/y.ma");
  EXPECT_EQ(scanFrom(w), examining({w, x, y, y}));
}

TEST_F(SceneWalkChains, SharedSceneBelowAndBeside) {
  const std::string w = chainScene("w", {"x", "y"});
  chainScene("x", {"y"});
  chainScene("y", {});
  const std::string x = at("scenes/x.ma");
  const std::string y = at("scenes/y.ma");
  EXPECT_EQ(scanFrom(w), examining({w, x, y, y, y}));
}

TEST_F(SceneWalkChains, ChainOfFour) {
  const std::string w = chainScene("w", {"x"});
  chainScene("x", {"y"});
  chainScene("y", {"z"});
  chainScene("z", {});
  const std::string x = at("scenes/x.ma");
  const std::string y = at("scenes/y.ma");
  const std::string z = at("scenes/z.ma");
  EXPECT_EQ(scanFrom(w), examining({w, x, y, z, z, y, z, z, z}));
}

TEST_F(SceneWalkChains, ChainOfFiveExaminesTheLastFourteenTimes) {
  const std::string a = chainScene("a", {"b"});
  chainScene("b", {"c"});
  chainScene("c", {"d"});
  chainScene("d", {"e"});
  chainScene("e", {});
  const std::string out = scanFrom(a);
  const std::string line = "Examining '" + at("scenes/e.ma") + "'.\n";
  int count = 0;
  for (std::size_t pos = out.find(line); pos != std::string::npos; pos = out.find(line, pos + 1)) ++count;
  EXPECT_EQ(count, 14);
  EXPECT_EQ(status, -1);
}

TEST_F(SceneWalkChains, ListsAfterAChainOfThree) {
  const std::string w = chainScene("w", {"x"});
  chainScene("x", {"y"});
  chainScene("y", {});
  scanFrom(w);
  const std::string tW = at("sourceimages/tw.tif");
  const std::string tX = at("sourceimages/tx.tif");
  const std::string tY = at("sourceimages/ty.tif");
  EXPECT_EQ(job->textureFiles, (Strings{tW, tX, tY, tY}));
  EXPECT_EQ(job->sceneFiles, (Strings{at("scenes/x.ma"), at("scenes/y.ma")}));
  // The scene two levels down is transferred too.
  EXPECT_EQ(job->transferFiles, (Strings{"~x.ma", "tw.tif", "tx.tif", "ty.tif", "~y.ma", "ty.tif"}));
}

TEST_F(SceneWalkChains, CopiesNameTheCopiesAndBareTextures) {
  const std::string w = chainScene("w", {"x"});
  chainScene("x", {});
  scanFrom(w);
  EXPECT_EQ(copy("~w.ma"), kHeader + siblingStatement("scenes/x.ma") + kReferenceHead + " \"~x.ma\";\n" + kBody +
                               kTextureKeyword + " (\"tw.tif\");\n");
  EXPECT_EQ(copy("~x.ma"), kHeader + kBody + kTextureKeyword + " (\"tx.tif\");\n");
  EXPECT_EQ(windowsForm(platform::currentDirectory()), windowsForm(work));
}

TEST_F(SceneWalkChains, SceneReferencedTwiceIsScannedTwice) {
  // Two spellings of one scene: relative and absolute.
  const std::string x = chainScene("x", {});
  const std::string w = scene("scenes/w.ma", kHeader + referenceStatement("scenes/x.ma") + referenceStatement(x));
  EXPECT_EQ(scanFrom(w), examining({w, x, x}));
  EXPECT_EQ(status, -1);
  EXPECT_EQ(job->textureFiles, (Strings{at("sourceimages/tx.tif"), at("sourceimages/tx.tif")}));
}

// ---------------------------------------------------------------------------

using SceneWalkFormats = SceneWalk;

TEST_F(SceneWalkFormats, AsciiToBinaryToAscii) {
  const std::string w = scene("scenes/w.ma", kHeader + referenceStatement("scenes/x.mb") + kBody);
  const std::string before = "FOR4" + kNul + kNul + "\x01\x20" "FREFFREF" + kNul + "\x0b";
  const std::string between = kNul + "\x04" "ftn" + kNul + "\x10";
  const std::string after = kNul + "\xff\xfe";
  const std::string x = scene("scenes/x.mb", before + "scenes/y.ma" + between + "maps/wood.tif" + after);
  const std::string y = scene("scenes/y.ma", kHeader + textureStatement("C:/tex/stone.tif"));

  EXPECT_EQ(scanFrom(w), examining({w, x, y, y}));
  EXPECT_EQ(copy("~x.mb"), before + "~y.ma      " + between + "wood.tif     " + after);
  EXPECT_EQ(copy("~y.ma"), kHeader + kTextureKeyword + " (\"stone.tif\");\n");
  EXPECT_EQ(job->sceneFiles, (Strings{x, y}));
  EXPECT_EQ(job->textureFiles, (Strings{at("maps/wood.tif"), "C:\\tex\\stone.tif", "C:\\tex\\stone.tif"}));
  EXPECT_EQ(job->transferFiles, (Strings{"~x.mb", "wood.tif", "stone.tif", "~y.ma", "stone.tif"}));
}

TEST_F(SceneWalkFormats, BinaryReferenceNamedWithFtnIsRewrittenOnce) {
  const std::string tail = kNul + "wood.tif" + kNul;
  const std::string w = scene("scenes/w.mb", "FREFFREF" + kNul + "scenes/softness.mb" + tail);
  scene("scenes/softness.mb", "\x01");
  scanFrom(w);
  EXPECT_EQ(copy("~w.mb"), "FREFFREF" + kNul + "~softness.mb      " + tail);
  EXPECT_EQ(job->textureCount(), 0);
  EXPECT_EQ(job->sceneFiles, Strings{at("scenes/softness.mb")});
}

TEST_F(SceneWalkFormats, AsciiCopyKeepsNulBytesAndLineEnds) {
  const std::string head = kHeader + "select -ne \"a" + kNul + "b\";\r\nx" + kNul + kNul + ";";
  const std::string tail = "\r\n\xe9t\xe9;\r\n";
  const std::string w = scene("scenes/w.ma", head + "\r\n\t" + kTextureKeyword + " \"maps/wood.tif\";" + tail);
  scanFrom(w);
  // The texture statement is replaced from its leading line end on, and
  // the carriage return after it begins the next statement.
  EXPECT_EQ(copy("~w.ma"), head + kTextureKeyword + " (\"wood.tif\");\n" + tail);
}

TEST_F(SceneWalkFormats, EmptySceneIsAnEmptyBinaryScene) {
  const std::string w = scene("scenes/w.mb", "");
  testing::internal::CaptureStderr();
  EXPECT_EQ(scanFrom(w), examining({w}));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(copy("~w.mb"), "");
}

// ---------------------------------------------------------------------------

using SceneWalkFailures = SceneWalk;

TEST_F(SceneWalkFailures, MissingReferencedSceneEndsTheRun) {
  const std::string w = chainScene("w", {"x", "gone"});
  chainScene("x", {});
  EXPECT_EQ(scanFrom(w), examining({w, at("scenes/x.ma")}) + "Unable to open '" + at("scenes/gone.ma") + "'\n");
  EXPECT_EQ(status, exit_status::kFailure);
  EXPECT_EQ(temp.list("work"), (Strings{"~w.ma", "~x.ma"}));
}

TEST_F(SceneWalkFailures, MissingCommandLineScene) {
  EXPECT_EQ(scanFrom("nowhere.ma"), "Unable to open 'nowhere.ma'\n");
  EXPECT_EQ(status, exit_status::kFailure);
  EXPECT_TRUE(temp.list("work").empty());
}

TEST_F(SceneWalkFailures, SelfReferenceIsSkipped) {
  const std::string w = chainScene("w", {"w"});
  EXPECT_EQ(scanFrom(w), examining({w}) + "Skipping '" + w + "': circular reference.\n");
  EXPECT_EQ(status, -1);
  EXPECT_EQ(job->sceneFiles, Strings{w});
  EXPECT_EQ(job->textureFiles, Strings{at("sourceimages/tw.tif")});
}

TEST_F(SceneWalkFailures, CycleThroughAChildIsSkippedAndTheRestGoesOn) {
  const std::string w = chainScene("w", {"x", "y"});
  chainScene("x", {"w"});
  chainScene("y", {});
  // The command-line scene is named relative to the working directory.
  const std::string out = scanFrom("../proj/scenes/w.ma");
  const std::string x = at("scenes/x.ma");
  const std::string y = at("scenes/y.ma");
  const std::string skip = "Skipping '" + w + "': circular reference.\n";
  EXPECT_EQ(out, examining({"../proj/scenes/w.ma", x}) + skip + examining({y}) + skip);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(job->sceneFiles, (Strings{x, y, w}));
  EXPECT_EQ(job->transferFiles, (Strings{"~x.ma", "~y.ma", "tw.tif", "tx.tif", "~w.ma", "ty.tif"}));
}

TEST_F(SceneWalkFailures, CycleBelowTheCommandLineScene) {
  const std::string w = chainScene("w", {"x"});
  chainScene("x", {"y"});
  chainScene("y", {"x"});
  const std::string x = at("scenes/x.ma");
  const std::string y = at("scenes/y.ma");
  const std::string skipX = "Skipping '" + x + "': circular reference.\n";
  // The x that y names is handed up with the chain it was found on, so w
  // does not scan it again when it scans y's findings.
  EXPECT_EQ(scanFrom(w), examining({w, x, y}) + skipX + skipX + examining({y}) + skipX + skipX + skipX);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(job->sceneFiles, (Strings{x, y, x, x}));
  EXPECT_EQ(job->transferFiles, (Strings{"~x.ma", "tw.tif", "tx.tif", "ty.tif", "~y.ma", "~x.ma", "ty.tif", "~x.ma"}));
}

TEST_F(SceneWalkFailures, EveryoneReferencesEveryone) {
  const Strings names = {"a", "b", "c", "d"};
  for (const auto& name : names) chainScene(name, names);
  const std::string out = scanFrom(at("scenes/a.ma"));
  EXPECT_EQ(status, -1);
  for (const auto& name : names) {
    EXPECT_NE(out.find("Examining '" + at("scenes/" + name + ".ma") + "'.\n"), std::string::npos) << name;
  }
  EXPECT_EQ(temp.list("work"), (Strings{"~a.ma", "~b.ma", "~c.ma", "~d.ma"}));
}

TEST_F(SceneWalkFailures, TwoScenesWithOneCopyName) {
  const std::string w = scene("scenes/w.ma", kHeader + referenceStatement("scenes/x.ma") +
                                                 referenceStatement("other/x.ma") + kBody);
  const std::string first = chainScene("x", {});
  const std::string firstCopy = kHeader + kBody + kTextureKeyword + " (\"tx.tif\");\n";
  const std::string second = scene("other/x.ma", kHeader + "// a different scene\n");
  EXPECT_EQ(scanFrom(w), examining({w, first}) + "ERROR: '" + first + "' and '" + second +
                             "' would both be copied to '~x.ma'.\n");
  EXPECT_EQ(status, exit_status::kFailure);
  EXPECT_EQ(copy("~x.ma"), firstCopy);
}

TEST_F(SceneWalkFailures, ReferencedSceneWithTheCommandLineScenesCopyName) {
  const std::string wBytes = kHeader + referenceStatement("other/w.ma");
  const std::string w = scene("scenes/w.ma", wBytes);
  const std::string other = scene("other/w.ma", kHeader);
  EXPECT_EQ(scanFrom("../proj/scenes/w.ma"), examining({"../proj/scenes/w.ma"}) +
                                                 "ERROR: '../proj/scenes/w.ma' and '" + other +
                                                 "' would both be copied to '~w.ma'.\n");
  EXPECT_EQ(status, exit_status::kFailure);
  EXPECT_EQ(copy("~w.ma"), kHeader + kReferenceHead + " \"~w.ma\";\n");
}

TEST_F(SceneWalkFailures, CopyThatCannotBeCreated) {
  const std::string w = chainScene("w", {"x"});
  const std::string x = chainScene("x", {});
  temp.makeDir("work/~x.ma");
  EXPECT_EQ(scanFrom(w), examining({w}) + "ERROR: Can not open file for writing: '~x.ma'\n" + examining({x}) +
                             "ERROR: Can not write file: '~x.ma'\n");
  EXPECT_EQ(status, exit_status::kFailure);
}

TEST_F(SceneWalkFailures, CommandLineCopyThatCannotBeCreated) {
  const std::string w = chainScene("w", {"x"});
  chainScene("x", {});
  temp.makeDir("work/~w.ma");
  EXPECT_EQ(scanFrom(w), "ERROR: Can not open file for writing: '~w.ma'\n" + examining({w}) +
                             "ERROR: Can not write file: '~w.ma'\n");
  EXPECT_EQ(status, exit_status::kFailure);
}

#ifndef _WIN32
TEST_F(SceneWalkFailures, CopyThatCannotBeWrittenWhole) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no full device";
  const std::string w = chainScene("w", {"x"});
  const std::string x = chainScene("x", {});
  std::filesystem::create_symlink("/dev/full", work + "/~x.ma");
  EXPECT_EQ(scanFrom(w), examining({w, x}) + "ERROR: Can not write file: '~x.ma'\n");
  EXPECT_EQ(status, exit_status::kFailure);
}
#endif

}  // namespace
