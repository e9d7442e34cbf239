// Opening a scene and cutting an ASCII scene into statements. The reader
// knows only the semicolon that ends a statement, the two comment forms at
// the start of a statement and, in `file` statements, double-quoted
// strings. Whatever it returns, joined in order, is the scene byte for
// byte.

#include <cstdio>
#include <cstring>

#include "job/scene_job.h"
#include "platform/platform.h"

namespace {

const char kAsciiMagic[] = "//Maya";
const int kMagicLength = 6;

enum class CommentMode { kNone, kLine, kBlock };

// Decides, byte by byte, whether a statement is a `file` statement: its
// first word, after any leading blanks and line ends, is `file` followed by
// a space or a tab. Reference statements carry quoted option strings that
// hold semicolons ("v=0;"), so only there quotes are tracked.
class FileStatementTest {
 public:
  enum class Verdict { kUndecided, kFile, kOther };

  Verdict feed(char c) {
    if (verdict_ != Verdict::kUndecided) return verdict_;
    static const char kWord[] = "file";
    if (matched_ == 0 && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) return verdict_;
    if (matched_ < 4) {
      if (c == kWord[matched_]) {
        ++matched_;
      } else {
        verdict_ = Verdict::kOther;
      }
      return verdict_;
    }
    verdict_ = (c == ' ' || c == '\t') ? Verdict::kFile : Verdict::kOther;
    return verdict_;
  }

 private:
  Verdict verdict_ = Verdict::kUndecided;
  int matched_ = 0;
};

// Double-quoted strings of a file statement; a backslash inside one makes
// the next byte ordinary.
class QuoteTracker {
 public:
  void feed(char c) {
    if (!inString_) {
      if (c == '"') inString_ = true;
      return;
    }
    if (escaped_) {
      escaped_ = false;
    } else if (c == '\\') {
      escaped_ = true;
    } else if (c == '"') {
      inString_ = false;
    }
  }
  bool inString() const { return inString_; }

 private:
  bool inString_ = false;
  bool escaped_ = false;
};

void printOverLongStatement() {
  std::printf("\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\n");
  std::printf("Please send mail to render-support@example.com.\n");
}

}  // namespace

int SceneJob::openScene() {
  if (!scenePath) return 0;
  if (!platform::fileOpens(*scenePath, "r")) return 0;
  sceneStream = FilterStream::openSceneCopy(*scenePath);

  // Peek at the first bytes and put them back where they came from.
  char head[kMagicLength];
  int got = 0;
  while (got < kMagicLength && sceneStream->getChar(head[got])) ++got;
  for (int i = got - 1; i >= 0; --i) sceneStream->ungetChar(head[i]);

  isBinary = (got == kMagicLength && std::memcmp(head, kAsciiMagic, kMagicLength) == 0) ? 0 : 1;
  return 1;
}

int SceneJob::nextStatement() {
  if (!sceneStream) openScene();
  if (!sceneStream) return 0;
  return readStatement();
}

int SceneJob::readStatement() {
  statement[0] = '\0';
  statementLength = 0;
  if (!sceneStream) return 0;
  FilterStream& in = *sceneStream;

  char c;
  if (!in.getChar(c)) return 0;
  statement[0] = c;
  if (c == '\n' || !in.getChar(c)) {
    statement[1] = '\0';
    statementLength = 1;
    return 1;
  }
  statement[1] = c;

  // The first two bytes fix the comment mode and never end the statement.
  CommentMode mode = CommentMode::kNone;
  if (statement[0] == '/' && statement[1] == '*') mode = CommentMode::kBlock;
  if (statement[0] == '/' && statement[1] == '/') mode = CommentMode::kLine;

  FileStatementTest fileTest;
  QuoteTracker quotes;
  bool isFileStatement = false;
  fileTest.feed(statement[0]);
  fileTest.feed(statement[1]);

  std::size_t n = 2;
  bool haveLookAhead = false;
  char lookAhead = 0;
  while (in.getChar(c)) {
    if (n == static_cast<std::size_t>(kMaxStatementBytes)) {
      haveLookAhead = true;
      lookAhead = c;
      break;
    }

    if (!isFileStatement && fileTest.feed(c) == FileStatementTest::Verdict::kFile) {
      isFileStatement = true;
    }

    bool ends = false;
    switch (mode) {
      case CommentMode::kBlock:
        ends = c == '/' && statement[n - 1] == '*';
        break;
      case CommentMode::kLine:
        ends = c == '\n';
        break;
      case CommentMode::kNone:
        if (isFileStatement) {
          ends = c == ';' && !quotes.inString();
          quotes.feed(c);
        } else {
          ends = c == ';';
        }
        break;
    }

    statement[n++] = c;
    if (ends) {
      haveLookAhead = in.getChar(lookAhead) != 0;
      break;
    }
  }

  if (n == static_cast<std::size_t>(kMaxStatementBytes)) printOverLongStatement();

  // A statement keeps the line end that follows it; anything else begins
  // the next statement.
  if (haveLookAhead) {
    if (lookAhead == '\n') {
      statement[n++] = '\n';
    } else {
      in.ungetChar(lookAhead);
    }
  }
  statement[n] = '\0';
  statementLength = n;
  return 1;
}
