// Opening a scene, and cutting an ASCII scene into statements.

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
#include "scene/statement_grammar.h"
#include "scene/statement_reader.h"
#include "scene/unit_buffer.h"

namespace {

const char kAsciiMagic[] = "//Maya";
const int kMagicLength = 6;

// The length of the statement that readStatement would read from
// bytes[0, size), when that can be told from these bytes alone: its ending
// byte and the byte after it are among them, and it stays below the
// length limit. 0 when it cannot. `mayHoldKeyword` is left false only for
// a statement without an 'f', which no keyword can stand in.
std::size_t wholeStatementLength(const char* bytes, std::size_t size, bool& mayHoldKeyword) {
  const std::size_t limit = StatementReader::kMaxBytes;
  if (size == 0) return 0;
  if (bytes[0] == '\n') return 1;
  if (size < 2) return 0;
  const std::size_t bound = std::min(size, limit);
  if (bound <= 2) return 0;
  StatementGrammar grammar(bytes[0], bytes[1]);
  const std::size_t found = grammar.findEnd(bytes + 2, bound - 2, bytes[1], true);
  if (found == kNowhere) return 0;
  mayHoldKeyword = grammar.mayHoldKeyword();
  const std::size_t end = 2 + found;
  // A statement that reaches the limit goes with the reader's message.
  if (end + 1 >= limit || end + 1 >= size) return 0;
  return bytes[end + 1] == '\n' ? end + 2 : end + 1;
}

void printOverLongStatement() {
  std::printf("\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\n");
  std::printf("Please send mail to render-support@example.com.\n");
}

}  // namespace

int StatementReader::readMarked(NodeTracker& node) {
  clear();
  for (;;) {
    const std::string_view ahead = in_.ahead();
    if (ahead.empty()) {
      clear();
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
      const bool attribute = !cut_ && node.follow(bytes + passed, length);
      cut_ = false;
      if (attribute || (mayHoldKeyword && holdsKeyword(bytes + passed, length))) {
        in_.pass(passed);
        std::memcpy(unit_.bytes, bytes + passed, length);
        unit_.bytes[length] = '\0';
        unit_.length = length;
        in_.skip(length);
        return 1;
      }
      passed += length;
    }
    in_.pass(passed);

    // The next statement runs on past what is in memory, or is too long.
    const bool continuation = cut_;
    if (read() == 0) return 0;
    const bool attribute = !continuation && node.follow(unit_.bytes, unit_.length);
    if (attribute || holdsKeyword(unit_.bytes, unit_.length)) return 1;
    in_.put(unit_.bytes, unit_.length);
  }
}

int StatementReader::read() {
  clear();
  const std::size_t limit = kMaxBytes;
  // The first two bytes; a line end alone is a statement.
  std::string_view ahead = in_.ahead();
  if (ahead.empty()) return 0;
  unit_.bytes[0] = ahead[0];
  in_.skip(1);
  ahead = in_.ahead();
  if (unit_.bytes[0] == '\n' || ahead.empty()) {
    unit_.bytes[1] = '\0';
    unit_.length = 1;
    return 1;
  }
  unit_.bytes[1] = ahead[0];
  in_.skip(1);
  StatementGrammar grammar(unit_.bytes[0], unit_.bytes[1]);

  // Span by span through what the cursor holds in memory.
  std::size_t n = 2;
  bool ended = false;
  for (;;) {
    ahead = in_.ahead();
    if (ahead.empty() || n == limit) break;  // the end of the scene, or of what a statement may hold
    const std::size_t span = std::min(ahead.size(), limit - n);
    const std::size_t end = grammar.findEnd(ahead.data(), span, unit_.bytes[n - 1], false);
    // The ending byte belongs to the statement.
    const std::size_t taken = end == kNowhere ? span : end + 1;
    std::memcpy(unit_.bytes + n, ahead.data(), taken);
    n += taken;
    in_.skip(taken);
    if (end != kNowhere) {
      ended = true;
      break;
    }
  }

  cut_ = n == limit;
  if (cut_) printOverLongStatement();

  // A statement, ended or cut at the limit, keeps the line end that follows
  // it; anything else begins the next statement.
  if (ended || cut_) {
    ahead = in_.ahead();
    if (!ahead.empty() && ahead[0] == '\n') {
      in_.skip(1);
      unit_.bytes[n++] = '\n';
    }
  }
  unit_.bytes[n] = '\0';
  unit_.length = n;
  return 1;
}

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
  UnitBuffer{statement, statementLength}.clear();
  if (!sceneStream) return 0;
  return readStatement();
}

int SceneJob::readStatement() {
  UnitBuffer{statement, statementLength}.clear();
  if (!sceneStream) return 0;
  return StatementReader(*sceneStream, statement, statementLength, statementCut).read();
}


static_assert(StatementReader::kMaxBytes == SceneJob::kMaxStatementBytes &&
                  StatementReader::kCapacity == SceneJob::kStatementCapacity,
              "the record's statement buffer is the reader's");
