#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "scene/scene_test_support.h"

namespace {

using Strings = std::vector<std::string>;

const std::string kTextureKeyword = "setAttr \".ftn\" -type \"string\"";

// ---------------------------------------------------------------------------

TEST(FindLastUnquoted, LastOccurrenceOutsideQuotes) {
  const char text[] = "a b \"c d\" e";
  EXPECT_EQ(SceneJob::findLastUnquoted(text, ' '), text + 9);
  const char inside[] = "x\"y z\"";
  EXPECT_EQ(SceneJob::findLastUnquoted(inside, ' '), nullptr);
  EXPECT_EQ(SceneJob::findLastUnquoted("", ' '), nullptr);
  EXPECT_EQ(SceneJob::findLastUnquoted("abc", ' '), nullptr);
}

TEST(FindLastUnquoted, EveryQuoteFlipsEvenAfterABackslash) {
  const char text[] = "a \"b\\\" c\" d";
  // The quote after the backslash closes the string, so " c" is outside
  // and the last space is inside again.
  EXPECT_EQ(SceneJob::findLastUnquoted(text, ' '), text + 6);
}

TEST(TrimDelimiters, BothEnds) {
  std::string text = " '(wood.tif)' ";
  SceneJob::trimDelimiters(text);
  EXPECT_EQ(text, "wood.tif");

  std::string lineEnd = "\"C:/a b/c.ma\";\n";
  SceneJob::trimDelimiters(lineEnd);
  EXPECT_EQ(lineEnd, "C:/a b/c.ma");

  std::string onlyDelimiters = "\n'\"();\t ";
  SceneJob::trimDelimiters(onlyDelimiters);
  EXPECT_EQ(onlyDelimiters, "");

  std::string empty;
  SceneJob::trimDelimiters(empty);
  EXPECT_EQ(empty, "");

  std::string carriageReturns = "\rx;\r";
  SceneJob::trimDelimiters(carriageReturns);
  EXPECT_EQ(carriageReturns, "\rx;\r");

  std::string inner = "(a ;b)";
  SceneJob::trimDelimiters(inner);
  EXPECT_EQ(inner, "a ;b");
}

// ---------------------------------------------------------------------------

using FileReferenceRewriting = SceneTest;

TEST_F(FileReferenceRewriting, NamesTheRewrittenCopy) {
  auto job = jobWithStatement("file -r -ns \"ball\" \"C:/scenes/ball.ma\";\n");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(job->sceneFiles, Strings{"C:\\scenes\\ball.ma"});
  EXPECT_EQ(job->transferFiles, Strings{"~ball.ma"});
  EXPECT_EQ(job->textureCount(), 0);
  EXPECT_EQ(statementText(*job), "file -r -ns \"ball\"");
  EXPECT_EQ(std::strlen(job->statement), job->statementLength);
  EXPECT_EQ(closeAndRead(*job), "file -r -ns \"ball\" \"~ball.ma\";\n");
}

TEST_F(FileReferenceRewriting, ReferenceOverTwoLinesWithQuotedSemicolon) {
  const std::string head = "file -r -ns \"set\" -dr 1 -rfn \"setRN\" -op \"v=0;\" -typ \"mayaAscii\"\n\t\t";
  auto job = jobWithStatement(head + " \"C:/proj/scenes/set.ma\";\n");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(job->sceneFiles, Strings{"C:\\proj\\scenes\\set.ma"});
  EXPECT_EQ(closeAndRead(*job), head + " \"~set.ma\";\n");
}

TEST_F(FileReferenceRewriting, KeywordNeedsSingleSpacesAroundTheFlag) {
  for (std::string text : {"file -rx 1 \"a/b.ma\";", "file  -r \"a/b.ma\";", "File -r \"a/b.ma\";",
                           "file -rdi 1 -ns \"s\" \"a/b.ma\";", "file -r\t\"a/b.ma\";"}) {
    auto job = jobWithStatement(text);
    EXPECT_EQ(job->rewriteFileReference(), 0) << text;
    EXPECT_EQ(statementText(*job), text);
    EXPECT_EQ(job->sceneFileCount() + job->transferCount(), 0);
    EXPECT_EQ(closeAndRead(*job), "");
  }
}

TEST_F(FileReferenceRewriting, QuotedPathWithSpacesIsTakenWhole) {
  auto job = jobWithStatement("file -r -ns \"a\" \"C:/my scenes/a b.ma\";");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(job->sceneFiles, Strings{"C:\\my scenes\\a b.ma"});
  EXPECT_EQ(job->transferFiles, Strings{"~a b.ma"});
}

TEST_F(FileReferenceRewriting, UnquotedPathIsCutAtItsLastSpace) {
  auto job = jobWithStatement("file -r C:/my scenes/ab.ma;");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(job->sceneFiles, Strings{"scenes\\ab.ma"});
  EXPECT_EQ(closeAndRead(*job), "file -r C:/my \"~ab.ma\";\n");
}

TEST_F(FileReferenceRewriting, EscapedQuoteStillFlips) {
  auto job = jobWithStatement("file -r -op \"a\\\" b\" \"c.ma\";");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(statementText(*job), "file -r -op \"a\\\"");
  EXPECT_EQ(job->sceneFiles, Strings{"b\" \"c.ma"});
}

TEST_F(FileReferenceRewriting, KeywordInACommentCounts) {
  auto job = jobWithStatement("//file -r -ns \"x\" \"old/x.ma\"\n");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(closeAndRead(*job), "//file -r -ns \"x\" \"~x.ma\";\n");
}

TEST_F(FileReferenceRewriting, PathWithoutDirectoryAndEmptyPath) {
  auto bare = jobWithStatement("file -r \"ball.ma\" ;");
  EXPECT_EQ(bare->rewriteFileReference(), 1);
  EXPECT_EQ(bare->sceneFiles, Strings{""});  // the last space separates
  EXPECT_EQ(bare->transferFiles, Strings{"~"});

  auto plain = jobWithStatement("file -r -ns \"n\" ball.ma;", "plain.ma");
  EXPECT_EQ(plain->rewriteFileReference(), 1);
  EXPECT_EQ(plain->sceneFiles, Strings{"ball.ma"});
  EXPECT_EQ(plain->transferFiles, Strings{"~ball.ma"});
}

TEST_F(FileReferenceRewriting, NoSeparatingSpaceIsNotTaken) {
  for (std::string text : {"file -r \"a b.ma\";\n", "file -r x.ma;", "xfile -r "}) {
    auto job = jobWithStatement(text);
    EXPECT_EQ(job->rewriteFileReference(), 0) << text;
    EXPECT_EQ(statementText(*job), text);
    EXPECT_EQ(job->sceneFileCount() + job->transferCount(), 0);
    EXPECT_EQ(closeAndRead(*job), "");
  }
}

TEST_F(FileReferenceRewriting, SeesOnlyTheTextBeforeANul) {
  auto job = jobWithStatement(std::string("file -r -ns \"n\" \"a/b.ma\"") + '\0' + " \"c/d.ma\";");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(job->sceneFiles, Strings{"a\\b.ma"});
}

// ---------------------------------------------------------------------------

using TextureRewriting = SceneTest;

TEST_F(TextureRewriting, ReplacesTheWholeStatement) {
  auto job = jobWithStatement("\t" + kTextureKeyword + " \"C:/tex/wood.tif\";\n");
  EXPECT_EQ(job->rewriteTextureAttribute(), 1);
  EXPECT_EQ(job->textureFiles, Strings{"C:\\tex\\wood.tif"});
  EXPECT_EQ(job->transferFiles, Strings{"wood.tif"});
  EXPECT_EQ(job->sceneFileCount(), 0);
  EXPECT_EQ(closeAndRead(*job), kTextureKeyword + " (\"wood.tif\");\n");
}

TEST_F(TextureRewriting, LeadingLineEndsAreDropped) {
  auto job = jobWithStatement("\r\n\t" + kTextureKeyword + " \"sourceimages/a b.tif\";");
  EXPECT_EQ(job->rewriteTextureAttribute(), 1);
  EXPECT_EQ(job->textureFiles, Strings{"sourceimages\\a b.tif"});
  EXPECT_EQ(closeAndRead(*job), kTextureKeyword + " (\"a b.tif\");\n");
}

TEST_F(TextureRewriting, OtherSpellingsAreNotTextures) {
  for (std::string text : {"setAttr  \".ftn\" -type \"string\" \"a.tif\";", "setAttr -k 1 \".ftn\" -type \"string\" \"a.tif\";",
                           "setAttr \".fileTextureName\" -type \"string\" \"a.tif\";",
                           "setattr \".ftn\" -type \"string\" \"a.tif\";"}) {
    auto job = jobWithStatement(text);
    EXPECT_EQ(job->rewriteTextureAttribute(), 0) << text;
    EXPECT_EQ(statementText(*job), text);
    EXPECT_EQ(job->textureCount() + job->transferCount(), 0);
    EXPECT_EQ(closeAndRead(*job), "");
  }
}

TEST_F(TextureRewriting, BareNameIsThePathWithoutDirectory) {
  auto job = jobWithStatement(kTextureKeyword + " \"wood.tif\";");
  EXPECT_EQ(job->rewriteTextureAttribute(), 1);
  EXPECT_EQ(job->textureFiles, Strings{"wood.tif"});
  EXPECT_EQ(job->transferFiles, Strings{"wood.tif"});
}

TEST_F(TextureRewriting, EmptyPathGivesEmptyEntries) {
  auto job = jobWithStatement(kTextureKeyword + " \"\";\n");
  EXPECT_EQ(job->rewriteTextureAttribute(), 1);
  EXPECT_EQ(job->textureFiles, Strings{""});
  EXPECT_EQ(job->transferFiles, Strings{""});
  EXPECT_EQ(closeAndRead(*job), kTextureKeyword + " (\"\");\n");
}

TEST_F(TextureRewriting, UnbalancedQuotesLeaveNoSeparatingSpace) {
  const std::string text = "\"" + kTextureKeyword + "\"a\";";
  auto job = jobWithStatement(text);
  EXPECT_EQ(job->rewriteTextureAttribute(), 0);
  EXPECT_EQ(statementText(*job), text);
  EXPECT_EQ(closeAndRead(*job), "");
}

TEST_F(TextureRewriting, RewrittenStatementLongerThanTheBufferIsWrittenWhole) {
  const std::string name(40924, 'w');
  const std::string text = kTextureKeyword + " \"" + name + "\";";
  ASSERT_LE(text.size(), static_cast<std::size_t>(SceneJob::kMaxStatementBytes));
  auto job = jobWithStatement(text);
  EXPECT_EQ(job->rewriteTextureAttribute(), 1);
  const std::string expected = kTextureKeyword + " (\"" + name + "\");\n";
  ASSERT_GE(expected.size(), sizeof(job->statement));
  EXPECT_EQ(closeAndRead(*job), expected);
}

// ---------------------------------------------------------------------------

using BothRecognisers = SceneTest;

TEST_F(BothRecognisers, TextureKeywordBeforeTheSeparatingSpace) {
  auto job = jobWithStatement("file -r -x " + kTextureKeyword + " \"t/w.tif\" \"s/b.ma\";\n");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(job->rewriteTextureAttribute(), 1);
  EXPECT_EQ(job->sceneFiles, Strings{"s\\b.ma"});
  EXPECT_EQ(job->textureFiles, Strings{"t\\w.tif"});
  EXPECT_EQ(job->transferFiles, (Strings{"~b.ma", "w.tif"}));
  EXPECT_EQ(closeAndRead(*job), "file -r -x " + kTextureKeyword + " \"t/w.tif\" \"~b.ma\";\n" + kTextureKeyword +
                                    " (\"w.tif\");\n");
}

TEST_F(BothRecognisers, TextureKeywordCutByTheReference) {
  auto job = jobWithStatement("file -r x " + kTextureKeyword + "Z.ma;");
  EXPECT_EQ(job->rewriteFileReference(), 1);
  EXPECT_EQ(job->rewriteTextureAttribute(), 0);
  EXPECT_EQ(job->sceneFiles, Strings{"string\"Z.ma"});
  EXPECT_EQ(job->textureCount(), 0);
  EXPECT_EQ(closeAndRead(*job), "file -r x setAttr \".ftn\" -type \"~string\"Z.ma\";\n");
}

}  // namespace
