// The readers take the scene span by span from the stream's blocks. Where
// the blocks begin and end must never show: statements, tokens, copies and
// lists are the same for every block size, down to one byte. And the
// walk's reader of binary scenes, which writes through every token that
// holds no marker, leaves exactly what reading every token leaves.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "scene/scene_test_support.h"
#include "support/buffer_sizes.h"

namespace {

// Every block size for short scenes; for long ones (a unit at its length
// limit) blocks of a few bytes would only make the test slow.
std::vector<std::size_t> blockSizesFor(const std::string& scene) {
  if (scene.size() < 4096) return {1, 2, 3, 5, 8, 64, 4097};
  return {97, 4097};
}

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }

  std::string asciiScene() {
    static const std::vector<std::string> pieces = {
        ";", ";\n", "\n", "\r\n", " ", "\t", "//", "/*", "*/", "*", "/", "\"", "\\\"", std::string(1, '\0'), "\xe9",
        "file ", "\r\n\tfile ", "file -r ", "-op \"v=0;\" ", "setAttr \".ftn\" -type \"string\" \"a/b.tif\";\n",
        "createNode mesh", " 1.5 -2 3e4", "x"};
    std::string scene = below(2) == 0 ? "//Maya ASCII 2020 scene\n" : "";
    const int count = below(80);
    for (int i = 0; i < count; ++i) {
      const int pick = below(200);
      if (pick == 0) {
        scene += std::string(SceneJob::kMaxStatementBytes - 3 + below(6), below(2) == 0 ? 'y' : ';');
      } else if (pick < 40) {
        scene += static_cast<char>(below(256));
      } else {
        scene += pieces[below(static_cast<int>(pieces.size()))];
      }
    }
    return scene;
  }

  std::string binaryScene() {
    static const std::vector<std::string> pieces = {
        "FREFFREF", "ftn", "FREF", "ft", "n", "softness", "xFREFFREFftn", "C:/proj/scenes/set.mb", "ball.mb",
        "maps\\wood.tif", "./a.tif", "dir/", "ab", " ", "FOR4", std::string(1, '\0'), std::string("\0\0\0\x01", 4)};
    std::string scene;
    const int count = below(60);
    for (int i = 0; i < count; ++i) {
      const int pick = below(150);
      if (pick == 0) {
        // A run at the token limit with a marker somewhere near its cut.
        std::string run(SceneJob::kMaxTokenBytes - 6 + below(12), 'z');
        run.replace(run.size() - 8 - below(8), 3, "ftn");
        scene += run;
      } else if (pick < 60) {
        scene += static_cast<char>(below(256));
      } else {
        scene += pieces[below(static_cast<int>(pieces.size()))];
      }
    }
    return scene;
  }

 private:
  std::mt19937 random_;
};

struct Reading {
  std::vector<std::string> units;
  std::string copy;
  std::string out;
  std::vector<std::string> sceneFiles;
  std::vector<std::string> textureFiles;
  std::vector<std::string> transferFiles;

  bool operator==(const Reading& other) const {
    return units == other.units && copy == other.copy && out == other.out && sceneFiles == other.sceneFiles &&
           textureFiles == other.textureFiles && transferFiles == other.transferFiles;
  }
};

class BlockBoundaries : public SceneTest {
 protected:
  // Every statement, each written to the copy as the walk writes it.
  Reading statements(const std::string& scene) {
    testing::internal::CaptureStdout();
    auto job = openScene("scene.ma", scene);
    Reading r;
    while (job->nextStatement() == 1) {
      r.units.push_back(statementText(*job));
      job->sceneStream->putBytes(job->statement, job->statementLength);
    }
    r.copy = closeAndRead(*job);
    r.out = testing::internal::GetCapturedStdout();
    return r;
  }

  // Every statement, or only those that hold a keyword, each offered to
  // the ASCII recognisers as the walk offers them.
  Reading recognised(const std::string& scene, bool markedOnly) {
    testing::internal::CaptureStdout();
    auto job = openScene("scene.ma", scene);
    Reading r;
    while ((markedOnly ? job->readMarkedStatement() : job->nextStatement()) == 1) {
      r.units.push_back(statementText(*job));
      const int reference = job->rewriteFileReference();
      const int texture = job->rewriteTextureAttribute();
      if (reference == 0 && texture == 0) job->sceneStream->putBytes(job->statement, job->statementLength);
    }
    EXPECT_EQ(job->statement[0], '\0');
    r.copy = closeAndRead(*job);
    r.out = testing::internal::GetCapturedStdout();
    r.sceneFiles = job->sceneFiles;
    r.textureFiles = job->textureFiles;
    r.transferFiles = job->transferFiles;
    return r;
  }

  // Every token, each offered to the binary recognisers as the walk did
  // before it had a reader of its own, or only the marked ones.
  Reading tokens(const std::string& scene, bool markedOnly) {
    auto job = openScene("scene.mb", scene);
    Reading r;
    while ((markedOnly ? job->readMarkedToken() : job->readToken()) == 1) {
      r.units.push_back(statementText(*job));
      if (job->rewriteBinaryReference() == 1) continue;
      if (job->rewriteBinaryTexture() == 1) continue;
      job->sceneStream->putString(job->statement);
    }
    EXPECT_EQ(job->statement[0], '\0');
    r.copy = closeAndRead(*job);
    r.sceneFiles = job->sceneFiles;
    r.textureFiles = job->textureFiles;
    r.transferFiles = job->transferFiles;
    return r;
  }
};

TEST_F(BlockBoundaries, StatementsAreTheSameForEveryBlockSize) {
  Generator generate(31);
  for (int round = 0; round < 200; ++round) {
    const std::string scene = generate.asciiScene();
    const Reading whole = statements(scene);
    ASSERT_EQ(whole.copy, scene) << "round " << round;
    for (std::size_t block : blockSizesFor(scene)) {
      ScopedBufferSizes sizes(block, block);
      ASSERT_TRUE(statements(scene) == whole) << "round " << round << ", block " << block;
    }
  }
}

TEST_F(BlockBoundaries, TheWalksAsciiReaderLeavesWhatEveryStatementLeaves) {
  Generator generate(34);
  int marked = 0;
  for (int round = 0; round < 200; ++round) {
    const std::string scene = generate.asciiScene();
    const Reading every = recognised(scene, false);
    std::vector<std::size_t> blocks = blockSizesFor(scene);
    blocks.push_back(0);
    for (std::size_t block : blocks) {
      // Block 0 stands for the default size.
      const FilterStream::BufferSizes size = block == 0 ? FilterStream::kDefaultBufferSizes
                                                        : FilterStream::BufferSizes{block, block};
      ScopedBufferSizes sizes(size.inputBlock, size.outputCapacity);
      Reading onlyMarked = recognised(scene, true);
      ASSERT_EQ(onlyMarked.copy, every.copy) << "round " << round << ", block " << block;
      ASSERT_EQ(onlyMarked.out, every.out) << "round " << round << ", block " << block;
      ASSERT_EQ(onlyMarked.sceneFiles, every.sceneFiles);
      ASSERT_EQ(onlyMarked.textureFiles, every.textureFiles);
      ASSERT_EQ(onlyMarked.transferFiles, every.transferFiles);
      for (const std::string& statement : onlyMarked.units) {
        ASSERT_TRUE(statement.find("file -r ") != std::string::npos ||
                    statement.find("setAttr \".ftn\" -type \"string\"") != std::string::npos)
            << statement;
      }
      marked += static_cast<int>(onlyMarked.units.size());
    }
  }
  EXPECT_GT(marked, 500);
}

TEST_F(BlockBoundaries, TokensAreTheSameForEveryBlockSize) {
  Generator generate(32);
  for (int round = 0; round < 200; ++round) {
    const std::string scene = generate.binaryScene();
    const Reading whole = tokens(scene, false);
    ASSERT_EQ(whole.copy.size(), scene.size()) << "round " << round;
    for (std::size_t block : blockSizesFor(scene)) {
      ScopedBufferSizes sizes(block, block);
      ASSERT_TRUE(tokens(scene, false) == whole) << "round " << round << ", block " << block;
    }
  }
}

TEST_F(BlockBoundaries, TheWalksReaderLeavesWhatEveryTokenLeaves) {
  Generator generate(33);
  int marked = 0;
  for (int round = 0; round < 200; ++round) {
    const std::string scene = generate.binaryScene();
    const Reading every = tokens(scene, false);
    std::vector<std::size_t> blocks = blockSizesFor(scene);
    blocks.push_back(0);
    for (std::size_t block : blocks) {
      // Block 0 stands for the default size.
      const FilterStream::BufferSizes size = block == 0 ? FilterStream::kDefaultBufferSizes
                                                        : FilterStream::BufferSizes{block, block};
      ScopedBufferSizes sizes(size.inputBlock, size.outputCapacity);
      Reading onlyMarked = tokens(scene, true);
      ASSERT_EQ(onlyMarked.copy, every.copy) << "round " << round << ", block " << block;
      ASSERT_EQ(onlyMarked.sceneFiles, every.sceneFiles);
      ASSERT_EQ(onlyMarked.textureFiles, every.textureFiles);
      ASSERT_EQ(onlyMarked.transferFiles, every.transferFiles);
      for (const std::string& token : onlyMarked.units) {
        ASSERT_TRUE(token.find("FREFFREF") != std::string::npos || token.find("ftn") != std::string::npos) << token;
      }
      marked += static_cast<int>(onlyMarked.units.size());
    }
  }
  EXPECT_GT(marked, 1000);
}

TEST_F(BlockBoundaries, AKeywordAtEveryPlace) {
  const std::string texture = "setAttr \".ftn\" -type \"string\" \"maps/a.tif\";\n";
  const std::string reference = "file -r -ns \"s\" \"scenes/s.ma\";\n";
  for (const std::string& keyword : {texture, reference}) {
    for (std::size_t at = 0; at < 100; ++at) {
      // Numbers, and now and then an 'f' that begins no keyword.
      std::string before;
      for (std::size_t i = 0; i < at; ++i) before += i % 37 == 5 ? 'f' : "0123456789 .-\te"[i % 15];
      const std::string scene = "//Maya\n" + before + ";\n" + before + keyword + before + ";\n";
      const Reading every = recognised(scene, false);
      const Reading onlyMarked = recognised(scene, true);
      ASSERT_EQ(onlyMarked.copy, every.copy) << at;
      ASSERT_EQ(onlyMarked.units.size(), 1u) << at;
      ASSERT_EQ(onlyMarked.sceneFiles.size() + onlyMarked.textureFiles.size(), 1u) << at;
    }
  }
}

TEST_F(BlockBoundaries, AMarkerAtEveryPlace) {
  // Near-misses around it: single letters of the markers, "ft" and "FR"
  // without the rest.
  const std::string noise = std::string("\x01" "f\x02" "ft\x03" "FR\x04" "F\x05", 12);
  for (const std::string& marker : {std::string("ftn"), std::string("FREFFREF")}) {
    for (std::size_t at = 0; at < 140; ++at) {
      std::string scene;
      while (scene.size() < at) scene += noise;
      scene.resize(at);
      scene += marker + std::string(1, '\0') + "maps/a.tif" + std::string(1, '\0');
      for (int i = 0; i < 10; ++i) scene += noise;
      const Reading every = tokens(scene, false);
      const Reading onlyMarked = tokens(scene, true);
      ASSERT_EQ(onlyMarked.copy, every.copy) << marker << " at " << at;
      ASSERT_EQ(onlyMarked.units.size(), 1u) << marker << " at " << at;
      ASSERT_EQ(onlyMarked.sceneFiles.size() + onlyMarked.textureFiles.size(), 1u) << marker << " at " << at;
    }
  }
}

TEST_F(BlockBoundaries, AMarkerCutByTheTokenLimitMarksNothing) {
  // "ftn" across the cut of a run at the limit: neither piece holds it.
  std::string run(SceneJob::kMaxTokenBytes - 1, 'z');
  run += "ftn";
  const std::string scene = run + std::string(1, '\0') + "path/a.tif" + std::string(1, '\0');
  for (std::size_t block : {std::size_t{2}, std::size_t{100}, std::size_t{1} << 20}) {
    ScopedBufferSizes sizes(block, block);
    Reading r = tokens(scene, true);
    EXPECT_EQ(r.copy, scene);
    EXPECT_TRUE(r.units.empty());
    EXPECT_TRUE(r.textureFiles.empty());
  }
}

TEST_F(BlockBoundaries, AMarkerAcrossABlockBoundary) {
  for (std::size_t at = 0; at < 12; ++at) {
    const std::string scene = std::string(at, '\x01') + "xftn" + std::string(1, '\0') + "maps/wood.tif" +
                              std::string(1, '\0') + "tail";
    ScopedBufferSizes sizes(6, 5);
    Reading r = tokens(scene, true);
    EXPECT_EQ(r.units, (std::vector<std::string>{"xftn"})) << at;
    EXPECT_EQ(r.textureFiles, (std::vector<std::string>{"maps\\wood.tif"})) << at;
    EXPECT_EQ(r.copy, std::string(at, '\x01') + "xftn" + std::string(1, '\0') + "wood.tif     " +
                          std::string(1, '\0') + "tail");
  }
}

}  // namespace
