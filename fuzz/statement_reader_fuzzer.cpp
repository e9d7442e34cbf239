// The ASCII statement reader: whatever the scene holds, the statements
// joined in order are the scene byte for byte, each one ends where the
// reader's rules say, and none outgrows the statement buffer.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

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
  const std::size_t limit = SceneJob::kMaxStatementBytes;
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
  const auto job = fuzz::openScene("scene.ma", scene);
  FUZZ_CHECK(job->isBinary == (scene.compare(0, 6, "//Maya") == 0 && size >= 6 ? 0 : 1));

  std::vector<std::string> statements;
  while (job->nextStatement() == 1) {
    FUZZ_CHECK(job->statementLength < sizeof job->statement);
    FUZZ_CHECK(job->statement[job->statementLength] == '\0');
    statements.emplace_back(job->statement, job->statementLength);
    FUZZ_CHECK(statements.size() <= size);
  }
  // The end of the scene is final.
  FUZZ_CHECK(job->nextStatement() == 0);
  FUZZ_CHECK(job->statementLength == 0);

  std::string joined;
  for (std::size_t i = 0; i < statements.size(); ++i) {
    checkStatement(statements[i], i + 1 == statements.size());
    joined += statements[i];
  }
  FUZZ_CHECK(joined == scene);
  return 0;
}
