#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "scene/scene_test_support.h"

namespace {

using Tokens = std::vector<std::string>;

class TokenReading : public SceneTest {
 protected:
  // Reads every token, writing each as the walk does when no recogniser
  // takes it; `copy` receives the rewritten copy.
  Tokens readAll(const std::string& scene, std::string& copy) {
    auto job = openScene("scene.mb", scene);
    EXPECT_EQ(job->isBinary, 1);
    Tokens tokens;
    while (job->readToken() == 1) {
      tokens.push_back(job->statement);
      EXPECT_EQ(job->statementLength, tokens.back().size());
      job->sceneStream->putString(job->statement);
    }
    EXPECT_EQ(job->statement[0], '\0');
    EXPECT_EQ(job->readToken(), 0);
    copy = closeAndRead(*job);
    return tokens;
  }
  Tokens readAll(const std::string& scene) {
    std::string copy;
    Tokens tokens = readAll(scene, copy);
    EXPECT_EQ(copy, scene);
    return tokens;
  }
};

TEST_F(TokenReading, RunsOfThreeOrMoreBeginningWithALetter) {
  EXPECT_EQ(readAll(std::string("abc\0", 4)), Tokens{"abc"});
  EXPECT_EQ(readAll(std::string("ab\0", 3)), Tokens{});
  EXPECT_EQ(readAll(std::string("12abc\0", 6)), Tokens{"abc"});
  EXPECT_EQ(readAll("a bc"), Tokens{"a bc"});
  EXPECT_EQ(readAll("x1.; y"), Tokens{"x1.; y"});
  EXPECT_EQ(readAll(". abc"), Tokens{"abc"});
}

TEST_F(TokenReading, BreakingBytesEndARun) {
  EXPECT_EQ(readAll("abc\x80" "def"), (Tokens{"abc", "def"}));
  EXPECT_EQ(readAll("ab\x7f" "cde"), Tokens{"cde"});
  EXPECT_EQ(readAll("abc\tdef\nghi\rjk"), (Tokens{"abc", "def", "ghi"}));
  EXPECT_EQ(readAll("caf\xc3\xa9" "bar"), (Tokens{"caf", "bar"}));
  EXPECT_EQ(readAll("\xc3\xa9t\xc3\xa9"), Tokens{});
}

TEST_F(TokenReading, BytesBeforeATokenAreWrittenFirst) {
  auto job = openScene("scene.mb", std::string("12abc\0", 6));
  ASSERT_EQ(job->readToken(), 1);
  EXPECT_STREQ(job->statement, "abc");
  job->sceneStream->flush();
  EXPECT_EQ(readFile(temp.at("~scene.mb")), "12");
  // The NUL that ended the token is written by the next call.
  EXPECT_EQ(job->readToken(), 0);
  EXPECT_EQ(closeAndRead(*job), std::string("12\0", 3));
}

TEST_F(TokenReading, RunAtTheEndOfTheScene) {
  EXPECT_EQ(readAll("\x01xyz"), Tokens{"xyz"});
  EXPECT_EQ(readAll("\x01xy"), Tokens{});
  EXPECT_EQ(readAll("x"), Tokens{});
  EXPECT_EQ(readAll(""), Tokens{});
}

TEST_F(TokenReading, LongRunsComeInPieces) {
  const std::string letters(50000, 'q');
  Tokens tokens = readAll(letters);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].size(), static_cast<std::size_t>(SceneJob::kMaxTokenBytes));
  EXPECT_EQ(tokens[1].size(), 9043u);

  // The byte at the limit opens the next run: a digit cannot.
  const std::string cut = std::string(SceneJob::kMaxTokenBytes, 'q') + "12abc";
  EXPECT_EQ(readAll(cut), (Tokens{std::string(SceneJob::kMaxTokenBytes, 'q'), "abc"}));
}

TEST_F(TokenReading, EmptySceneWritesNothing) {
  auto job = openScene("scene.mb", "");
  EXPECT_EQ(job->readToken(), 0);
  EXPECT_EQ(closeAndRead(*job), "");
}

TEST_F(TokenReading, EveryByteValuePassesThrough) {
  std::string all;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  }
  std::string copy;
  Tokens tokens = readAll(all, copy);
  EXPECT_EQ(copy, all);
  // The printable range holds one token per round, from 'A' to '~'.
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[0].front(), 'A');
  EXPECT_EQ(tokens[0].back(), '~');
}

}  // namespace
