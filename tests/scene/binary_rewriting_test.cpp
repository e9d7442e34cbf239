#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/overwrite_padded.h"
#include "scene/scene_test_support.h"

namespace {

using Strings = std::vector<std::string>;

std::string overwritten(std::string target, const char* name) {
  overwritePadded(target.data(), name);
  return target;
}

TEST(OverwritePadded, KeepsTheTargetsLength) {
  EXPECT_EQ(overwritten("abcdef", "xy"), "xy    ");
  EXPECT_EQ(overwritten("abcdef", "uvwxyz12"), "uvwxyz");
  EXPECT_EQ(overwritten("abcdef", ""), "      ");
  EXPECT_EQ(overwritten("abcdef", "123456"), "123456");
  EXPECT_EQ(overwritten("", "xy"), "");
}

TEST(OverwritePadded, StopsAtTheTargetsNul) {
  char target[] = "abc\0zz";
  overwritePadded(target, "1");
  EXPECT_EQ(std::string(target, 6), std::string("1  \0zz", 6));
}

// ---------------------------------------------------------------------------

class BinaryRewriting : public SceneTest {
 protected:
  // Passes a binary scene through both recognisers as the walk does and
  // returns the copy.
  std::string pass(const std::string& scene) {
    job = openScene("scene.mb", scene);
    EXPECT_EQ(job->isBinary, 1);
    while (job->readToken() == 1) {
      if (job->rewriteBinaryReference() == 1) continue;
      if (job->rewriteBinaryTexture() == 1) continue;
      job->sceneStream->putString(job->statement);
    }
    return closeAndRead(*job);
  }
  std::unique_ptr<SceneJob> job;
};

const std::string kNul(1, '\0');

TEST_F(BinaryRewriting, ReferencePathIsPaddedWithSpaces) {
  const std::string before = kNul + "\x03\x10" "FREFFREF" + kNul + "\x11";
  const std::string after = kNul + "\x7f" "more";
  std::string copy = pass(before + "C:/scenes/ball.mb" + after);
  EXPECT_EQ(job->sceneFiles, Strings{"C:\\scenes\\ball.mb"});
  EXPECT_EQ(job->transferFiles, Strings{"~ball.mb"});
  EXPECT_EQ(job->textureCount(), 0);
  EXPECT_EQ(copy, before + "~ball.mb" + std::string(9, ' ') + after);
}

TEST_F(BinaryRewriting, ReferenceWithoutDirectoryLosesItsLastByte) {
  std::string copy = pass("FREFFREF" + kNul + "ball.mb" + kNul);
  EXPECT_EQ(job->sceneFiles, Strings{"ball.mb"});
  EXPECT_EQ(job->transferFiles, Strings{"~ball.mb"});
  EXPECT_EQ(copy, "FREFFREF" + kNul + "~ball.m" + kNul);
}

TEST_F(BinaryRewriting, TexturePathBecomesItsBareName) {
  const std::string before = "\x05" "ftn" + kNul + kNul;
  std::string copy = pass(before + "C:/tex/wood.tif" + kNul);
  EXPECT_EQ(job->textureFiles, Strings{"C:\\tex\\wood.tif"});
  EXPECT_EQ(job->transferFiles, Strings{"wood.tif"});
  EXPECT_EQ(job->sceneFileCount(), 0);
  EXPECT_EQ(copy, before + "wood.tif" + std::string(7, ' ') + kNul);
}

TEST_F(BinaryRewriting, FtnInsideALongerWordIsAMarker) {
  std::string copy = pass("softness" + kNul + "maps\\grain.tif" + kNul + "word" + kNul);
  EXPECT_EQ(job->textureFiles, Strings{"maps\\grain.tif"});
  EXPECT_EQ(copy, "softness" + kNul + "grain.tif     " + kNul + "word" + kNul);
}

TEST_F(BinaryRewriting, AnyNextTokenIsTakenAsThePath) {
  std::string copy = pass("ftn" + kNul + "plainword" + kNul);
  EXPECT_EQ(job->textureFiles, Strings{"plainword"});
  EXPECT_EQ(copy, "ftn" + kNul + "plainword" + kNul);
}

TEST_F(BinaryRewriting, BothMarkersInOneTokenMakeAReference) {
  std::string copy = pass("xFREFFREFftn" + kNul + "s/a.mb" + kNul + "t/w.tif" + kNul);
  EXPECT_EQ(job->sceneFiles, Strings{"s\\a.mb"});
  EXPECT_EQ(job->textureCount(), 0);
  EXPECT_EQ(job->transferFiles, Strings{"~a.mb"});
  EXPECT_EQ(copy, "xFREFFREFftn" + kNul + "~a.mb " + kNul + "t/w.tif" + kNul);
}

TEST_F(BinaryRewriting, LeadingNonLettersStayOutOfThePath) {
  std::string copy = pass("FREFFREF" + kNul + "./scenes/b.mb" + kNul);
  EXPECT_EQ(job->sceneFiles, Strings{"scenes\\b.mb"});
  EXPECT_EQ(copy, "FREFFREF" + kNul + "./~b.mb      " + kNul);
}

TEST_F(BinaryRewriting, LetterBeforeThePathJoinsIt) {
  std::string copy = pass("FREFFREF" + kNul + "K/proj/b.mb" + kNul);
  EXPECT_EQ(job->sceneFiles, Strings{"K\\proj\\b.mb"});
  EXPECT_EQ(copy, "FREFFREF" + kNul + "~b.mb      " + kNul);
}

TEST_F(BinaryRewriting, MarkerAtTheEndOfTheScene) {
  const std::string scene = "\x02xy" + kNul + "FREFFREF" + kNul + "\x01";
  std::string copy = pass(scene);
  EXPECT_EQ(copy, scene);
  EXPECT_EQ(job->sceneFileCount() + job->transferCount(), 0);

  const std::string texture = "abc" + kNul + "ftn";
  EXPECT_EQ(pass(texture), texture);
  EXPECT_EQ(job->textureCount() + job->transferCount(), 0);
}

TEST_F(BinaryRewriting, TrailingSpaceStaysInTheNewName) {
  std::string copy = pass("ftn" + kNul + "C:/t/wood.tif " + kNul);
  EXPECT_EQ(job->textureFiles, Strings{"C:\\t\\wood.tif"});
  EXPECT_EQ(job->transferFiles, Strings{"wood.tif "});
  EXPECT_EQ(copy, "ftn" + kNul + "wood.tif      " + kNul);
}

TEST_F(BinaryRewriting, PathEndingInASeparator) {
  std::string copy = pass("FREFFREF" + kNul + "C:/dir/" + kNul + "ftn" + kNul + "C:/maps/" + kNul);
  EXPECT_EQ(job->sceneFiles, Strings{"C:\\dir\\"});
  EXPECT_EQ(job->textureFiles, Strings{"C:\\maps\\"});
  EXPECT_EQ(job->transferFiles, (Strings{"~", ""}));
  EXPECT_EQ(copy, "FREFFREF" + kNul + "~      " + kNul + "ftn" + kNul + "        " + kNul);
}

TEST_F(BinaryRewriting, NoMarkerTouchesNothing) {
  auto plain = jobWithStatement("FREFFRE ft n");
  EXPECT_EQ(plain->rewriteBinaryReference(), 0);
  EXPECT_EQ(plain->rewriteBinaryTexture(), 0);
  EXPECT_STREQ(plain->statement, "FREFFRE ft n");
  EXPECT_EQ(closeAndRead(*plain), "");
}

}  // namespace
