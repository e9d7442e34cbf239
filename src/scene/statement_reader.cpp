// Opening a scene and cutting an ASCII scene into statements. The reader
// knows only the semicolon that ends a statement, the two comment forms at
// the start of a statement and, in `file` statements, double-quoted
// strings. Whatever it returns, joined in order, is the scene byte for
// byte.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "job/scene_job.h"
#include "platform/platform.h"
#include "scene/ascii_keywords.h"
#include "scene/byte_search.h"
#include "scene/node_tracker.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

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


// A slash right after an asterisk; `before` is the byte stored just
// before these.
std::size_t findBlockCommentEnd(const char* bytes, std::size_t size, char before) {
  for (std::size_t from = 0; from < size;) {
    const std::size_t slash = findByte(bytes + from, size - from, '/');
    if (slash == kNowhere) return kNowhere;
    const std::size_t at = from + slash;
    if ((at == 0 ? before : bytes[at - 1]) == '*') return at;
    from = at + 1;
  }
  return kNowhere;
}

// A semicolon outside double-quoted strings; `quotes` goes on from where
// the bytes before these left it.
std::size_t findUnquotedSemicolon(const char* bytes, std::size_t size, QuoteTracker& quotes) {
  for (std::size_t i = 0; i < size; ++i) {
    if (bytes[i] == ';' && !quotes.inString()) return i;
    quotes.feed(bytes[i]);
  }
  return kNowhere;
}

// The place of the lowest bit set in a mask that is not 0.
inline std::uint32_t lowestBit(std::uint32_t mask) {
#if defined(__GNUC__) || defined(__clang__)
  return static_cast<std::uint32_t>(__builtin_ctz(mask));
#else
  std::uint32_t at = 0;
  while ((mask & 1u) == 0) {
    mask >>= 1;
    ++at;
  }
  return at;
#endif
}

// The first semicolon in bytes[0, size), or kNowhere; `sawF` is set when
// an 'f' comes before it. One pass where two memchr would take two.
std::size_t findSemicolonNotingF(const char* bytes, std::size_t size, bool& sawF) {
  std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i semicolon = _mm_set1_epi8(';');
  const __m128i f = _mm_set1_epi8('f');
  for (; i + 32 <= size; i += 32) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 16));
    const std::uint32_t semicolons =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, semicolon))) |
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, semicolon))) << 16;
    const std::uint32_t fs = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, f))) |
                             static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, f))) << 16;
    if (semicolons == 0) {
      if (fs != 0) sawF = true;
      continue;
    }
    const std::uint32_t end = lowestBit(semicolons);
    if ((fs & ((std::uint32_t{1} << end) - 1)) != 0) sawF = true;
    return i + end;
  }
#endif
  for (; i < size; ++i) {
    if (bytes[i] == ';') return i;
    if (bytes[i] == 'f') sawF = true;
  }
  return kNowhere;
}

// The length of the statement that readStatement would read from
// bytes[0, size), when that can be told from these bytes alone: its ending
// byte and the byte after it are among them, and it stays below the
// length limit. 0 when it cannot. `mayHoldKeyword` is left false only for
// a statement without an 'f', which no keyword can stand in.
std::size_t wholeStatementLength(const char* bytes, std::size_t size, bool& mayHoldKeyword) {
  const std::size_t limit = static_cast<std::size_t>(SceneJob::kMaxStatementBytes);
  if (size == 0) return 0;
  if (bytes[0] == '\n') return 1;
  if (size < 2) return 0;

  CommentMode mode = CommentMode::kNone;
  if (bytes[0] == '/' && bytes[1] == '*') mode = CommentMode::kBlock;
  if (bytes[0] == '/' && bytes[1] == '/') mode = CommentMode::kLine;
  FileStatementTest fileTest;
  QuoteTracker quotes;
  fileTest.feed(bytes[0]);
  FileStatementTest::Verdict verdict = fileTest.feed(bytes[1]);
  bool isFileStatement = false;

  const std::size_t bound = std::min(size, limit);
  std::size_t end = kNowhere;
  std::size_t n = 2;
  for (; mode == CommentMode::kNone && verdict == FileStatementTest::Verdict::kUndecided; ++n) {
    if (n >= bound) return 0;
    const char c = bytes[n];
    verdict = fileTest.feed(c);
    if (verdict == FileStatementTest::Verdict::kFile) isFileStatement = true;
    bool ends;
    if (isFileStatement) {
      ends = c == ';' && !quotes.inString();
      quotes.feed(c);
    } else {
      ends = c == ';';
    }
    if (ends) {
      end = n;
      break;
    }
  }
  if (end == kNowhere) {
    if (n >= bound) return 0;
    std::size_t found;
    switch (mode) {
      case CommentMode::kBlock:
        found = findBlockCommentEnd(bytes + n, bound - n, bytes[n - 1]);
        mayHoldKeyword = true;
        break;
      case CommentMode::kLine:
        found = findByte(bytes + n, bound - n, '\n');
        mayHoldKeyword = true;
        break;
      default:
        if (isFileStatement) {
          found = findUnquotedSemicolon(bytes + n, bound - n, quotes);
          mayHoldKeyword = true;
        } else {
          // The first bytes were looked at one by one already.
          for (std::size_t i = 0; i < n; ++i) {
            if (bytes[i] == 'f') mayHoldKeyword = true;
          }
          found = findSemicolonNotingF(bytes + n, bound - n, mayHoldKeyword);
        }
        break;
    }
    if (found == kNowhere) return 0;
    end = n + found;
  } else {
    mayHoldKeyword = true;
  }
  // A statement that reaches the limit goes with the reader's message.
  if (end + 1 >= limit || end + 1 >= size) return 0;
  return bytes[end + 1] == '\n' ? end + 2 : end + 1;
}

void printOverLongStatement() {
  std::printf("\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\n");
  std::printf("Please send mail to render-support@example.com.\n");
}

}  // namespace

int SceneJob::openScene(bool writeCopy) {
  if (!scenePath) return 0;
  if (!platform::fileOpens(*scenePath, "r")) return 0;
  sceneStream = FilterStream::openSceneCopy(*scenePath, writeCopy);

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

int SceneJob::readMarkedStatement(NodeTracker& node) {
  clearStatement();
  if (!sceneStream) openScene();
  if (!sceneStream) return 0;
  FilterStream& in = *sceneStream;

  for (;;) {
    const std::string_view ahead = in.inputAhead();
    if (ahead.empty()) {
      clearStatement();
      return 0;
    }
    // Whole statements in memory are measured where they lie; those
    // without a keyword are written through together. A keyword needs an
    // 'f', and most statements have none: only those are looked at.
    const char* bytes = ahead.data();
    std::size_t passed = 0;
    for (;;) {
      bool mayHoldKeyword = false;
      const std::size_t length = wholeStatementLength(bytes + passed, ahead.size() - passed, mayHoldKeyword);
      if (length == 0) break;
      // The rest of a statement cut at the length limit is no statement of its own.
      const bool attribute = !statementCut && node.follow(bytes + passed, length);
      statementCut = false;
      if (attribute || (mayHoldKeyword && holdsKeyword(bytes + passed, length))) {
        in.passInput(passed);
        std::memcpy(statement, bytes + passed, length);
        statement[length] = '\0';
        statementLength = length;
        in.skipInput(length);
        return 1;
      }
      passed += length;
    }
    in.passInput(passed);

    // The next statement runs on past what is in memory, or is too long.
    const bool continuation = statementCut;
    if (readStatement() == 0) return 0;
    const bool attribute = !continuation && node.follow(statement, statementLength);
    if (attribute || holdsKeyword(statement, statementLength)) return 1;
    in.putBytes(statement, statementLength);
  }
}

int SceneJob::readStatement() {
  clearStatement();
  if (!sceneStream) return 0;
  FilterStream& in = *sceneStream;
  const std::size_t limit = static_cast<std::size_t>(kMaxStatementBytes);

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
  fileTest.feed(statement[0]);
  FileStatementTest::Verdict verdict = fileTest.feed(statement[1]);
  bool isFileStatement = false;

  std::size_t n = 2;
  bool ended = false;
  bool haveLookAhead = false;
  char lookAhead = 0;

  // Byte by byte until the first word tells whether this is a file
  // statement, which takes a few bytes at most.
  while (mode == CommentMode::kNone && verdict == FileStatementTest::Verdict::kUndecided) {
    if (!in.getChar(c)) {
      ended = true;
      break;
    }
    if (n == limit) {
      haveLookAhead = true;
      lookAhead = c;
      ended = true;
      break;
    }
    verdict = fileTest.feed(c);
    if (verdict == FileStatementTest::Verdict::kFile) isFileStatement = true;
    bool ends;
    if (isFileStatement) {
      ends = c == ';' && !quotes.inString();
      quotes.feed(c);
    } else {
      ends = c == ';';
    }
    statement[n++] = c;
    if (ends) {
      haveLookAhead = in.getChar(lookAhead) != 0;
      ended = true;
    }
  }

  // Then span by span through what the stream holds in memory.
  while (!ended) {
    const std::string_view ahead = in.inputAhead();
    if (ahead.empty()) break;  // the end of the scene
    if (n == limit) {
      haveLookAhead = true;
      lookAhead = ahead[0];
      in.skipInput(1);
      break;
    }
    const std::size_t span = std::min(ahead.size(), limit - n);
    std::size_t end;
    switch (mode) {
      case CommentMode::kBlock:
        end = findBlockCommentEnd(ahead.data(), span, statement[n - 1]);
        break;
      case CommentMode::kLine:
        end = findByte(ahead.data(), span, '\n');
        break;
      default:
        end = isFileStatement ? findUnquotedSemicolon(ahead.data(), span, quotes) : findByte(ahead.data(), span, ';');
        break;
    }
    // The ending byte belongs to the statement.
    const std::size_t taken = end == kNowhere ? span : end + 1;
    std::memcpy(statement + n, ahead.data(), taken);
    n += taken;
    in.skipInput(taken);
    if (end != kNowhere) {
      haveLookAhead = in.getChar(lookAhead) != 0;
      break;
    }
  }

  statementCut = n == limit;
  if (statementCut) printOverLongStatement();

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
