#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "scene/scene_test_support.h"

namespace {

using Statements = std::vector<std::string>;

const char kOverLongMessage[] =
    "\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\n"
    "Please send mail to render-support@example.com.\n";

std::string drainScene(SceneJob& job) {
  std::string bytes;
  char c;
  while (job.sceneStream->getChar(c)) bytes += c;
  return bytes;
}

// ---------------------------------------------------------------------------

using SceneOpening = SceneTest;

TEST_F(SceneOpening, MayaHeaderMakesAnAsciiScene) {
  EXPECT_EQ(openScene("a.ma", "//Maya ASCII 2008 scene\n")->isBinary, 0);
  EXPECT_EQ(openScene("b.ma", "//Maya")->isBinary, 0);
  EXPECT_EQ(openScene("c.ma", "//Mayan carvings;")->isBinary, 0);
}

TEST_F(SceneOpening, AnythingElseIsBinary) {
  EXPECT_EQ(openScene("a.mb", "//maya ASCII\n")->isBinary, 1);
  EXPECT_EQ(openScene("b.mb", "// Maya ASCII\n")->isBinary, 1);
  EXPECT_EQ(openScene("c.mb", "FOR4\0\0\0\x10Maya")->isBinary, 1);
  EXPECT_EQ(openScene("d.mb", "")->isBinary, 1);
}

TEST_F(SceneOpening, ShortScenesAreBinaryAndUnchanged) {
  for (std::string scene : {"/", "//", "//M", "//Ma", "//May"}) {
    auto job = openScene("short.mb", scene);
    EXPECT_EQ(job->isBinary, 1) << scene;
    EXPECT_EQ(drainScene(*job), scene);
  }
}

TEST_F(SceneOpening, CursorIsBackAtTheFirstByte) {
  auto job = openScene("a.ma", "//Maya ASCII\nx;");
  EXPECT_EQ(drainScene(*job), "//Maya ASCII\nx;");
}

TEST_F(SceneOpening, RefusesWithoutAPathOrAReadableScene) {
  SceneJob noPath;
  EXPECT_EQ(noPath.openScene(), 0);
  EXPECT_EQ(noPath.sceneStream, nullptr);

  SceneJob missing("missing.ma", nullptr);
  missing.isBinary = 7;
  EXPECT_EQ(missing.openScene(), 0);
  EXPECT_EQ(missing.sceneStream, nullptr);
  EXPECT_EQ(missing.isBinary, 7);
  EXPECT_FALSE(temp.exists("~missing.ma"));
}

TEST_F(SceneOpening, CreatesTheCopyNamedAfterTheScene) {
  temp.write("scenes/shot.ma", "//Maya\n");
  SceneJob job(temp.path() + "/scenes/shot.ma", nullptr);
  ASSERT_EQ(job.openScene(), 1);
  EXPECT_EQ(job.sceneStream->outputPath(), "~shot.ma");
  EXPECT_TRUE(temp.exists("~shot.ma"));
}

TEST_F(SceneOpening, NextStatementWithoutASceneGivesNothing) {
  SceneJob noPath;
  EXPECT_EQ(noPath.nextStatement(), 0);
  SceneJob missing("missing.ma", nullptr);
  EXPECT_EQ(missing.nextStatement(), 0);
  EXPECT_EQ(missing.nextStatement(), 0);
}

TEST_F(SceneOpening, NextStatementOpensTheSceneItself) {
  temp.write("a.ma", "//Maya\nx;");
  SceneJob job("a.ma", nullptr);
  ASSERT_EQ(job.nextStatement(), 1);
  EXPECT_EQ(statementText(job), "//Maya\n");
  EXPECT_EQ(job.isBinary, 0);
}

// ---------------------------------------------------------------------------

using StatementCutting = SceneTest;

TEST_F(StatementCutting, HeaderCommentIsTheFirstStatement) {
  auto job = openScene("a.ma", "//Maya ASCII 2008 scene\n//Name: a.ma\nrequires maya \"2008\";\n");
  EXPECT_EQ(readAllStatements(*job),
            (Statements{"//Maya ASCII 2008 scene\n", "//Name: a.ma\n", "requires maya \"2008\";\n"}));
}

TEST_F(StatementCutting, EmptyLineAfterAStatementStandsAlone) {
  auto job = openScene("a.ma", "ab;\n\ncd;\n");
  EXPECT_EQ(readAllStatements(*job), (Statements{"ab;\n", "\n", "cd;\n"}));
}

TEST_F(StatementCutting, LineCommentTakesOneMoreNewline) {
  auto job = openScene("a.ma", "//c\n\n\nx;");
  EXPECT_EQ(readAllStatements(*job), (Statements{"//c\n\n", "\n", "x;"}));
}

TEST_F(StatementCutting, SpaceAfterTheSemicolonBeginsTheNext) {
  auto job = openScene("a.ma", "ab; cd;");
  EXPECT_EQ(readAllStatements(*job), (Statements{"ab;", " cd;"}));
}

TEST_F(StatementCutting, FirstTwoBytesNeverEndAStatement) {
  auto job = openScene("a.ma", "a;b;c");
  EXPECT_EQ(readAllStatements(*job), (Statements{"a;b;", "c"}));
  auto second = openScene("b.ma", ";;x;");
  EXPECT_EQ(readAllStatements(*second), (Statements{";;x;"}));
  auto third = openScene("c.ma", "a\nb;");
  EXPECT_EQ(readAllStatements(*third), (Statements{"a\nb;"}));
}

TEST_F(StatementCutting, SemicolonInsideALineCommentIsOrdinary) {
  auto job = openScene("a.ma", "// x; y\nz;");
  EXPECT_EQ(readAllStatements(*job), (Statements{"// x; y\n", "z;"}));
}

TEST_F(StatementCutting, IndentedCommentIsNoComment) {
  auto job = openScene("a.ma", " // c; d\n\t// e;");
  EXPECT_EQ(readAllStatements(*job), (Statements{" // c;", " d\n\t// e;"}));
}

TEST_F(StatementCutting, BlockComments) {
  auto job = openScene("a.ma", "/*/x;");
  EXPECT_EQ(readAllStatements(*job), (Statements{"/*/", "x;"}));
  auto second = openScene("b.ma", "/* a; */ b; */");
  EXPECT_EQ(readAllStatements(*second), (Statements{"/* a; */", " b;", " */"}));
  auto third = openScene("c.ma", "/* a\n*/\nb;");
  EXPECT_EQ(readAllStatements(*third), (Statements{"/* a\n*/\n", "b;"}));
}

TEST_F(StatementCutting, QuotesAreNotTrackedOutsideFileStatements) {
  auto job = openScene("a.ma", "print \"a;b\";\n");
  EXPECT_EQ(readAllStatements(*job), (Statements{"print \"a;", "b\";\n"}));
}

TEST_F(StatementCutting, TwoByteLineEnds) {
  auto job = openScene("a.ma", "ab;\r\n//c;\r\nb;\r\n");
  // The carriage return is pushed back, so the comment is not at the start.
  EXPECT_EQ(readAllStatements(*job), (Statements{"ab;", "\r\n//c;", "\r\nb;", "\r\n"}));
}

TEST_F(StatementCutting, TheEndOfTheScene) {
  auto job = openScene("a.ma", "ab;cd");
  EXPECT_EQ(readAllStatements(*job), (Statements{"ab;", "cd"}));
  EXPECT_EQ(job->nextStatement(), 0);
  EXPECT_EQ(job->nextStatement(), 0);
  EXPECT_EQ(job->statementLength, 0u);

  auto comment = openScene("b.ma", "xy;//c\n");
  EXPECT_EQ(readAllStatements(*comment), (Statements{"xy;", "//c\n"}));

  auto single = openScene("c.ma", "ab;c");
  EXPECT_EQ(readAllStatements(*single), (Statements{"ab;", "c"}));

  auto newline = openScene("d.ma", "\n");
  EXPECT_EQ(readAllStatements(*newline), (Statements{"\n"}));
}

TEST_F(StatementCutting, NulBytesAreStoredAndCounted) {
  auto job = openScene("a.ma", std::string("ab\0cd;\nx;", 9));
  ASSERT_EQ(job->nextStatement(), 1);
  EXPECT_EQ(job->statementLength, 7u);
  EXPECT_EQ(std::strlen(job->statement), 2u);
  EXPECT_EQ(statementText(*job), std::string("ab\0cd;\n", 7));
}

// ---------------------------------------------------------------------------

using FileStatements = SceneTest;

const char kRdiStatement[] =
    "file -rdi 1 -ns \"set\" -rfn \"setRN\" -op \"v=0;\" -typ \"mayaAscii\"\n"
    "\t\t \"C:/proj/scenes/set.ma\";\n";
const char kReferenceOverTwoLines[] =
    "file -r -ns \"set\" -dr 1 -rfn \"setRN\" -op \"v=0;\" -typ \"mayaAscii\"\n"
    "\t\t \"C:/proj/scenes/set.ma\";\n";
const char kReferenceOnOneLine[] =
    "file -r -ns \"prop\" -dr 1 -rfn \"propRN\" -op \"v=0;\" -typ \"mayaAscii\" \"C:/proj/scenes/prop.ma\";\n";

TEST_F(FileStatements, QuotedSemicolonsDoNotEndReferenceStatements) {
  auto job = openScene("a.ma", std::string("//Maya ASCII 2008 scene\n") + kRdiStatement +
                                   kReferenceOverTwoLines + kReferenceOnOneLine + "requires maya \"2008\";\n");
  EXPECT_EQ(readAllStatements(*job),
            (Statements{"//Maya ASCII 2008 scene\n", kRdiStatement, kReferenceOverTwoLines, kReferenceOnOneLine,
                        "requires maya \"2008\";\n"}));
}

TEST_F(FileStatements, LeadingLineEndsAndBlanksBeforeTheWord) {
  std::string crlfReference = "\r\n\t file\t-r -op \"v=0;\" \"C:/a.ma\";";
  auto job = openScene("a.ma", "xy;" + crlfReference + "\r\n");
  EXPECT_EQ(readAllStatements(*job), (Statements{"xy;", crlfReference, "\r\n"}));
}

TEST_F(FileStatements, BackslashInsideAStringEscapesAQuote) {
  std::string statement = "file -r -op \"a\\\";b\" \"x.ma\";";
  auto job = openScene("a.ma", statement + "y;");
  EXPECT_EQ(readAllStatements(*job), (Statements{statement, "y;"}));

  // An escaped backslash does not escape the closing quote.
  std::string escapedBackslash = "file -r \"C:\\\\\";";
  auto second = openScene("b.ma", escapedBackslash + "y;");
  EXPECT_EQ(readAllStatements(*second), (Statements{escapedBackslash, "y;"}));
}

TEST_F(FileStatements, OnlyTheWordFileFollowedByABlankCounts) {
  auto longerWord = openScene("a.ma", "fileInfo \"a;b\";");
  EXPECT_EQ(readAllStatements(*longerWord), (Statements{"fileInfo \"a;", "b\";"}));
  auto lineEndAfterWord = openScene("b.ma", "file\n-r \"a;b\";");
  EXPECT_EQ(readAllStatements(*lineEndAfterWord), (Statements{"file\n-r \"a;", "b\";"}));
  auto laterWord = openScene("c.ma", "print file \"a;b\";");
  EXPECT_EQ(readAllStatements(*laterWord), (Statements{"print file \"a;", "b\";"}));
  auto commented = openScene("d.ma", "//file \"a;b\"\nx;");
  EXPECT_EQ(readAllStatements(*commented), (Statements{"//file \"a;b\"\n", "x;"}));
}

TEST_F(FileStatements, UnclosedStringRunsToTheEnd) {
  std::string scene = "file -r \"a.ma;\nb;\nc;";
  auto job = openScene("a.ma", scene);
  EXPECT_EQ(readAllStatements(*job), (Statements{scene}));
}

// ---------------------------------------------------------------------------

class OverLongStatements : public SceneTest {
 protected:
  Statements readCapturing(SceneJob& job, std::string& out) {
    testing::internal::CaptureStdout();
    Statements statements = readAllStatements(job);
    out = testing::internal::GetCapturedStdout();
    return statements;
  }
  const std::size_t limit = SceneJob::kMaxStatementBytes;
};

TEST_F(OverLongStatements, CutAtTheLimitWithTheMessage) {
  std::string head(limit, 'x');
  auto job = openScene("a.ma", head + "yz;w;");
  std::string out;
  EXPECT_EQ(readCapturing(*job, out), (Statements{head, "yz;", "w;"}));
  EXPECT_EQ(out, kOverLongMessage);
}

TEST_F(OverLongStatements, NewlineAtTheLimitIsKept) {
  std::string head(limit, 'x');
  auto job = openScene("a.ma", head + "\nw;");
  std::string out;
  EXPECT_EQ(readCapturing(*job, out), (Statements{head + "\n", "w;"}));
  EXPECT_EQ(out, kOverLongMessage);
}

TEST_F(OverLongStatements, EndingExactlyAtTheLimitStillWarns) {
  std::string complete = std::string(limit - 1, 'x') + ";";
  auto job = openScene("a.ma", complete + "w;");
  std::string out;
  EXPECT_EQ(readCapturing(*job, out), (Statements{complete, "w;"}));
  EXPECT_EQ(out, kOverLongMessage);

  auto atEnd = openScene("b.ma", std::string(limit, 'x'));
  EXPECT_EQ(readCapturing(*atEnd, out), (Statements{std::string(limit, 'x')}));
  EXPECT_EQ(out, kOverLongMessage);
}

TEST_F(OverLongStatements, OneByteShortIsQuiet) {
  std::string complete = std::string(limit - 2, 'x') + ";";
  auto job = openScene("a.ma", complete + "\nw;");
  std::string out;
  EXPECT_EQ(readCapturing(*job, out), (Statements{complete + "\n", "w;"}));
  EXPECT_EQ(out, "");
}

TEST_F(OverLongStatements, EachPieceIsReadAfresh) {
  // The cut piece begins with "//", so it is read as a line comment.
  std::string scene = std::string(limit, 'x') + "//a;b\nc;";
  auto job = openScene("a.ma", scene);
  std::string out;
  EXPECT_EQ(readCapturing(*job, out), (Statements{std::string(limit, 'x'), "//a;b\n", "c;"}));

  std::string longFile = "file -r \"" + std::string(limit, 'p') + ";\";x;";
  auto file = openScene("b.ma", longFile);
  Statements statements = readCapturing(*file, out);
  EXPECT_EQ(joined(statements), longFile);
  ASSERT_EQ(statements.size(), 3u);
  EXPECT_EQ(statements[0].size(), limit);
  EXPECT_EQ(statements[1], std::string(9, 'p') + ";");  // quotes are not known in the piece
  EXPECT_EQ(statements[2], "\";x;");
  EXPECT_EQ(out, kOverLongMessage);
}

}  // namespace
