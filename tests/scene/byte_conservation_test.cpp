// Whatever the scene holds, the readers lose no byte and the copies differ
// from the scene only where a dependency was rewritten. Checked over many
// generated scenes; the seeds are fixed, so every run sees the same ones.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "scene/base_name.h"
#include "scene/overwrite_padded.h"
#include "scene/scene_test_support.h"

namespace {

const std::string kReferenceKeyword = "file -r ";
const std::string kTextureKeyword = "setAttr \".ftn\" -type \"string\"";

class SceneGenerator {
 public:
  explicit SceneGenerator(unsigned seed) : random_(seed) {}

  int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  bool chance(int inHowMany) { return below(inHowMany) == 0; }

  // ASCII-like text: statement ends, comments, quotes, escapes, both line
  // end forms, NUL bytes, bytes above 0x7F, the words the reader and the
  // recognisers look for, and now and then a run past the length limit.
  std::string asciiScene() {
    static const std::vector<std::string> pieces = {
        ";", ";\n", "\n", "\r\n", " ", "\t", "//", "/*", "*/", "*", "/", "\"", "\\", "\\\"", std::string(1, '\0'),
        "\x80", "\xe9", "\xff", "file ", "file\t", "\r\n\tfile ", "file -r ", "file -rdi 1 ", "-op \"v=0;\" ",
        "setAttr ", "\".ftn\"", " -type \"string\" ", "createNode transform", "\"C:/proj/scenes/a.ma\"", "abc", "x"};
    std::string scene = chance(2) ? "//Maya ASCII 2008 scene\n" : "";
    const int count = below(60);
    // Long scenes are few: they cost a thousand short ones.
    const int longAt = chance(40) ? below(count + 1) : -1;
    for (int i = 0; i < count; ++i) {
      if (i == longAt) {
        scene += longRun();
      } else if (chance(4)) {
        scene += static_cast<char>(below(256));
      } else {
        scene += pieces[below(static_cast<int>(pieces.size()))];
      }
    }
    return scene;
  }

  // Binary-like bytes with printable runs, both markers, paths with and
  // without directories, and now and then a run past the token limit.
  std::string binaryScene() {
    static const std::vector<std::string> pieces = {
        "FREFFREF", "ftn", "softness", "xFREFFREFftn", "C:/proj/scenes/set.mb", "ball.mb", "maps\\wood.tif",
        "./sourceimages/a.tif", "dir/", "wood.tif ", "ab", "q", " ", "FOR4", "Maya"};
    std::string scene;
    const int count = below(40);
    const int longAt = chance(40) ? below(count + 1) : -1;
    for (int i = 0; i < count; ++i) {
      if (i == longAt) {
        scene += std::string(SceneJob::kMaxTokenBytes - 3 + below(8), 'z');
      } else if (chance(2)) {
        const int bytes = 1 + below(4);
        for (int b = 0; b < bytes; ++b) scene += static_cast<char>(below(256));
      } else {
        scene += pieces[below(static_cast<int>(pieces.size()))];
      }
    }
    return scene;
  }

 private:
  // A run that reaches the statement limit give or take a few bytes.
  std::string longRun() {
    std::string run(SceneJob::kMaxStatementBytes - 4 + below(8), 'y');
    if (chance(2)) run[below(static_cast<int>(run.size()))] = '"';
    if (chance(3)) run = "file -r \"" + run;
    return run;
  }

  std::mt19937 random_;
};

// The walk's own lines are kept off the console; a failure's report is
// captured with them and shown again.
class ByteConservation : public SceneTest {
 protected:
  void SetUp() override { testing::internal::CaptureStdout(); }
  void TearDown() override {
    const std::string out = testing::internal::GetCapturedStdout();
    if (HasFailure()) std::fputs(out.c_str(), stderr);
  }
};

TEST_F(ByteConservation, StatementsJoinedAreTheScene) {
  SceneGenerator generate(20240601);
  for (int round = 0; round < 2000; ++round) {
    const std::string scene = generate.asciiScene();
    auto job = openScene("scene.ma", scene);
    std::vector<std::string> statements = readAllStatements(*job);
    ASSERT_EQ(joined(statements), scene) << "round " << round;
    for (const auto& statement : statements) {
      ASSERT_FALSE(statement.empty());
      ASSERT_LE(statement.size(), static_cast<std::size_t>(SceneJob::kMaxStatementBytes) + 1);
      if (statement.size() > static_cast<std::size_t>(SceneJob::kMaxStatementBytes)) {
        ASSERT_EQ(statement.back(), '\n');
      }
    }
  }
}

TEST_F(ByteConservation, AsciiCopyWithoutKeywordsIsTheScene) {
  SceneGenerator generate(7);
  int checked = 0;
  for (int round = 0; round < 2000; ++round) {
    const std::string scene = "//Maya" + generate.asciiScene();
    if (scene.find(kReferenceKeyword) != std::string::npos) continue;
    if (scene.find(kTextureKeyword) != std::string::npos) continue;
    temp.write("scene.ma", scene);
    SceneJob job("scene.ma", nullptr);
    ASSERT_EQ(job.scanScene(), 1);
    ASSERT_EQ(job.isBinary, 0);
    ASSERT_EQ(job.sceneFileCount() + job.textureCount() + job.transferCount(), 0);
    ASSERT_EQ(readFile(temp.at("~scene.ma")), scene) << "round " << round;
    ++checked;
  }
  EXPECT_GT(checked, 800);
}

// The spans of the path tokens that the binary recognisers rewrite, found
// from the scene's bytes alone, with the name each one is overwritten by.
struct PathSpan {
  std::size_t start;
  std::size_t length;
  std::string newName;
  bool isReference;
};

std::vector<PathSpan> expectedPathSpans(const std::string& scene) {
  auto isLetter = [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  auto isPrintable = [](unsigned char c) { return c >= 0x20 && c <= 0x7E; };
  struct Run {
    std::size_t start;
    std::string text;
  };
  std::vector<Run> tokens;
  std::size_t i = 0;
  while (i < scene.size()) {
    if (!isLetter(static_cast<unsigned char>(scene[i]))) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < scene.size() && end - i < static_cast<std::size_t>(SceneJob::kMaxTokenBytes) &&
           isPrintable(static_cast<unsigned char>(scene[end]))) {
      ++end;
    }
    if (end - i >= 3) tokens.push_back({i, scene.substr(i, end - i)});
    i = end;
  }

  std::vector<PathSpan> spans;
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    const bool reference = tokens[t].text.find("FREFFREF") != std::string::npos;
    const bool texture = tokens[t].text.find("ftn") != std::string::npos;
    if ((!reference && !texture) || t + 1 == tokens.size()) continue;
    const Run& path = tokens[++t];
    spans.push_back({path.start, path.text.size(), (reference ? "~" : "") + std::string(baseName(path.text)), reference});
  }
  return spans;
}

TEST_F(ByteConservation, BinaryCopyDiffersOnlyInsidePathTokens) {
  SceneGenerator generate(99);
  for (int round = 0; round < 2000; ++round) {
    const std::string scene = generate.binaryScene();
    auto job = openScene("scene.mb", scene);
    ASSERT_EQ(job->isBinary, scene.compare(0, 6, "//Maya") == 0 ? 0 : 1);
    while (job->readToken() == 1) {
      if (job->rewriteBinaryReference() == 1) continue;
      if (job->rewriteBinaryTexture() == 1) continue;
      job->sceneStream->putString(job->statement);
    }
    const std::string copy = closeAndRead(*job);
    ASSERT_EQ(copy.size(), scene.size()) << "round " << round;

    std::string expected = scene;
    int references = 0;
    int textures = 0;
    for (const PathSpan& span : expectedPathSpans(scene)) {
      std::string token = expected.substr(span.start, span.length);
      overwritePadded(token.data(), span.newName.c_str());
      expected.replace(span.start, span.length, token);
      (span.isReference ? references : textures) += 1;
    }
    ASSERT_EQ(copy, expected) << "round " << round;
    ASSERT_EQ(job->sceneFileCount(), references);
    ASSERT_EQ(job->textureCount(), textures);
  }
}

}  // namespace
