// The binary token reader: it finds exactly the printable runs that the
// reference finds, at the same places, and with the walk writing every
// token back unchanged the copy is the scene byte for byte.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string scene(reinterpret_cast<const char*>(data), size);
  const auto job = fuzz::openScene("scene.mb", scene);
  const std::vector<fuzz::Span> expected = fuzz::tokens(scene);

  std::size_t count = 0;
  while (job->readToken() == 1) {
    const std::string token(job->statement, job->statementLength);
    FUZZ_CHECK(count < expected.size());
    FUZZ_CHECK(token.size() >= 3 && token.size() <= static_cast<std::size_t>(SceneJob::kMaxTokenBytes));
    FUZZ_CHECK(token.size() == std::strlen(job->statement));
    FUZZ_CHECK(fuzz::isLetter(static_cast<unsigned char>(token[0])));
    for (char c : token) FUZZ_CHECK(fuzz::isPrintable(static_cast<unsigned char>(c)));
    // The cursor stands right after the token.
    const std::int64_t end = job->sceneStream->position();
    FUZZ_CHECK(static_cast<std::size_t>(end) == expected[count].start + expected[count].length);
    FUZZ_CHECK(token == scene.substr(expected[count].start, expected[count].length));
    job->sceneStream->putString(job->statement);
    ++count;
  }
  FUZZ_CHECK(count == expected.size());
  FUZZ_CHECK(job->statement[0] == '\0');
  FUZZ_CHECK(job->readToken() == 0);

  FUZZ_CHECK(fuzz::closeCopy(*job, "~scene.mb") == scene);
  return 0;
}
