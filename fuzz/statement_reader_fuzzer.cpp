// The ASCII statement reader, on memory: whatever the scene holds, the
// statements joined in order are the scene byte for byte, each one ends
// where the reader's rules say, none outgrows the statement buffer, and
// the blocks the bytes come in change nothing.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "io/memory_cursor.h"
#include "scene/statement_reader.h"

namespace {

bool endsLineComment(const std::string& s) { return !s.empty() && s.back() == '\n'; }

// The statement ends with its ending byte, or with its ending byte and
// one newline taken from the look-ahead.
bool endsWith(const std::string& s, const std::string& tail) {
  if (s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0) return true;
  const std::string withNewline = tail + "\n";
  return s.size() >= withNewline.size() &&
         s.compare(s.size() - withNewline.size(), withNewline.size(), withNewline) == 0;
}

void checkStatement(const std::string& s, bool last) {
  const std::size_t limit = StatementReader::kMaxBytes;
  FUZZ_CHECK(!s.empty());
  FUZZ_CHECK(s.size() <= limit + 1);
  if (s.size() == limit + 1) FUZZ_CHECK(s.back() == '\n');
  if (s == "\n" || last) return;
  // Only the scene's end can stop a statement before its third byte.
  FUZZ_CHECK(s.size() >= 3);
  // A statement cut at the length limit ends wherever the limit fell.
  if (s.size() >= limit) return;

  if (s[0] == '/' && s[1] == '/') {
    FUZZ_CHECK(endsLineComment(s));
    // The first newline after the first two bytes ends it.
    const std::size_t first = s.find('\n', 2);
    FUZZ_CHECK(first == s.size() - 1 || (first == s.size() - 2 && s.back() == '\n'));
  } else if (s[0] == '/' && s[1] == '*') {
    FUZZ_CHECK(endsWith(s, "*/"));
    // No earlier "*/" whose slash lies at index 2 or later.
    const std::size_t first = s.find("*/", 1);
    FUZZ_CHECK(first != std::string::npos);
    FUZZ_CHECK(first + 2 == s.size() || (first + 3 == s.size() && s.back() == '\n'));
  } else {
    FUZZ_CHECK(endsWith(s, ";"));
    // Outside `file` statements, where quoted semicolons do not count,
    // the first semicolon after the first two bytes ends it.
    const std::size_t word = s.find_first_not_of(" \t\r\n");
    const bool fileStatement = word != std::string::npos && s.compare(word, 4, "file") == 0 &&
                               word + 4 < s.size() && (s[word + 4] == ' ' || s[word + 4] == '\t');
    if (!fileStatement) {
      const std::size_t first = s.find(';', 2);
      FUZZ_CHECK(first == s.size() - 1 || (first == s.size() - 2 && s.back() == '\n'));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string scene(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> first;
  // On memory, whole and in blocks as a stream reads it: the same statements.
  for (const std::size_t block : {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
    MemoryCursor in(scene, block);
    char statement[StatementReader::kCapacity];
    std::size_t length = 0;
    bool cut = false;
    StatementReader reader(in, statement, length, cut);
    std::vector<std::string> statements;
    while (reader.read() == 1) {
      FUZZ_CHECK(length < sizeof statement);
      FUZZ_CHECK(statement[length] == '\0');
      statements.emplace_back(statement, length);
      FUZZ_CHECK(statements.size() <= size);
      // The walk puts back what it does not rewrite.
      in.put(statement, length);
    }
    // The end of the scene is final.
    FUZZ_CHECK(reader.read() == 0);
    FUZZ_CHECK(length == 0);
    FUZZ_CHECK(in.copy() == scene && in.edits().empty());
    if (block == 0) first = statements;
    FUZZ_CHECK(statements == first);
  }

  std::string joined;
  for (std::size_t i = 0; i < first.size(); ++i) {
    checkStatement(first[i], i + 1 == first.size());
    joined += first[i];
  }
  FUZZ_CHECK(joined == scene);
  return 0;
}
