// The two ASCII recognisers and the string operations they cut paths
// with. Each statement is offered as the walk offers it (file reference
// first, then texture) or to one recogniser alone; what they record,
// what they leave in the statement and what they write to the copy must
// be what the reference rules give, and a statement without a keyword
// must pass untouched.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace {

void checkStringOperations(const std::string& text, char c) {
  std::string trimmed = text;
  SceneJob::trimDelimiters(trimmed);
  FUZZ_CHECK(trimmed == fuzz::trimDelimiters(text));

  for (char wanted : {' ', c}) {
    const char* found = SceneJob::findLastUnquoted(text.c_str(), static_cast<unsigned char>(wanted));
    const std::size_t expected = fuzz::findLastUnquoted(text, wanted);
    if (expected == std::string::npos) {
      FUZZ_CHECK(found == nullptr);
    } else {
      FUZZ_CHECK(found == text.c_str() + expected);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned mode = data[0] % 3;  // 0: as the walk does, 1: reference only, 2: texture only
  std::string statement(reinterpret_cast<const char*>(data + 1), size - 1);
  // The readers never hand over more than this.
  if (statement.size() > static_cast<std::size_t>(SceneJob::kMaxStatementBytes) + 1) {
    statement.resize(SceneJob::kMaxStatementBytes + 1);
  }
  // Variables would expand to whatever this machine holds.
  if (statement.find('$') != std::string::npos) return -1;
  const std::string text = fuzz::asText(statement);
  checkStringOperations(text, static_cast<char>(data[0]));

  // The job's stream reads nothing here, but is opened on an input file.
  [[maybe_unused]] static const bool inputWritten = (fuzz::writeBytes("in", "x"), true);
  SceneJob job;
  job.sceneStream = FilterStream::openPair("in", "out");
  std::memcpy(job.statement, statement.data(), statement.size());
  job.statement[statement.size()] = '\0';
  job.statementLength = statement.size();

  fuzz::AsciiOutcome expected;
  std::string expectedStatement = statement;
  bool expectReference = false;
  bool expectTexture = false;
  std::string offered = text;
  if (mode != 2) {
    auto reference = fuzz::fileReference(offered);
    expectReference = reference.has_value();
    FUZZ_CHECK(job.rewriteFileReference() == (expectReference ? 1 : 0));
    if (reference) {
      expected.record(*reference, expected.scenes);
      offered = expectedStatement = reference->kept;
    }
  }
  if (mode != 1) {
    auto texture = fuzz::textureAttribute(offered);
    expectTexture = texture.has_value();
    FUZZ_CHECK(job.rewriteTextureAttribute() == (expectTexture ? 1 : 0));
    if (texture) {
      // An empty name is rewritten and names nothing.
      if (texture->path.empty()) {
        expected.written += texture->written;
      } else {
        expected.record(*texture, expected.textures);
      }
      if (texture->written.size() < sizeof job.statement) expectedStatement = texture->written;
    }
  }

  FUZZ_CHECK(job.sceneFiles == expected.scenes);
  FUZZ_CHECK(job.textureFiles == expected.textures);
  FUZZ_CHECK(job.transferFiles == expected.transfers);
  // A statement that no recogniser took is left exactly as it was,
  // NUL bytes and all, for the walk to write.
  FUZZ_CHECK(std::string(job.statement, job.statementLength) == expectedStatement);
  FUZZ_CHECK(job.statement[job.statementLength] == '\0');

  FUZZ_CHECK(fuzz::closeCopy(job, "out") == expected.written);
  if (!expectReference && !expectTexture) FUZZ_CHECK(expected.written.empty());
  return 0;
}
