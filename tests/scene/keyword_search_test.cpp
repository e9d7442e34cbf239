// The ASCII recognisers look for their keywords by a rarely seen byte of
// each rather than byte by byte. They must still take exactly the
// statements in whose text (up to its first NUL byte) the keyword stands,
// wherever it stands.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "scene/scene_test_support.h"

namespace {

const std::string kReference = "file -r ";
const std::string kTexture = "setAttr \".ftn\" -type \"string\"";

class KeywordSearch : public SceneTest {
 protected:
  int reference(const std::string& text) { return jobWithStatement(text)->rewriteFileReference(); }
  int texture(const std::string& text) { return jobWithStatement(text)->rewriteTextureAttribute(); }
};

// A statement that the keyword, followed by a path, makes the recogniser's.
bool holds(const std::string& text, const std::string& keyword) {
  return std::strstr(text.c_str(), keyword.c_str()) != nullptr;
}

TEST_F(KeywordSearch, AtEveryPlaceAndNowhereElse) {
  const std::string path = " \"a/b.x\";\n";
  for (const std::string& keyword : {kReference, kTexture}) {
    for (std::size_t at = 0; at < 40; ++at) {
      const std::string before(at, 'f');  // the byte searched for, everywhere
      EXPECT_EQ((keyword == kReference ? reference(before + keyword + path) : texture(before + keyword + path)), 1)
          << keyword << " at " << at;
      // Cut short by the end of the text, or by a NUL byte.
      const std::string cut = before + keyword.substr(0, keyword.size() - 1);
      EXPECT_EQ((keyword == kReference ? reference(cut) : texture(cut)), 0) << keyword << " at " << at;
      const std::string hidden = before + std::string(1, '\0') + keyword + path;
      EXPECT_EQ((keyword == kReference ? reference(hidden) : texture(hidden)), 0) << keyword << " at " << at;
    }
  }
}

TEST_F(KeywordSearch, AgreesWithStrstrOnNearMisses) {
  std::mt19937 random(77);
  const std::string path = "x \"p/q.r\";\n";
  // Every piece holds an even number of quotes, so the space before the
  // path at the end is always outside them.
  const std::vector<std::string> pieces = {"f", "fi", "file", "file -", "file -r", "file -r ", " ", "\"\"", "s",
                                           "setAttr", "setAttr \".f\"", "setAttr \".ftn\"", kTexture, ".ftn",
                                           "-type \"string\"", "x", std::string(1, '\0'), "1.5 "};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = std::uniform_int_distribution<int>(0, 12)(random);
    for (int i = 0; i < count; ++i) {
      const std::string& piece = pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
      // The text up to a NUL byte, which is all the recognisers see, ends
      // with a path too.
      if (piece[0] == '\0') text += path;
      text += piece;
    }
    text += path;
    auto job = jobWithStatement(text);
    ASSERT_EQ(job->rewriteFileReference(), holds(text, kReference) ? 1 : 0) << round << " [" << text << "]";
    setStatement(*job, text);
    ASSERT_EQ(job->rewriteTextureAttribute(), holds(text, kTexture) ? 1 : 0) << round;
  }
}

}  // namespace
