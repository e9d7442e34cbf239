// The two binary recognisers, driven over a whole binary scene the way the
// walk drives them. The copy must keep the scene's length and differ from
// it only inside the path tokens that follow a marker, each overwritten
// with its new name padded to the token's length; what is recorded must be
// what the reference rules give. overwritePadded is held against the
// reference on its own too.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "scene/overwrite_padded.h"

namespace {

void checkOverwritePadded(const std::string& bytes) {
  if (bytes.empty()) return;
  const std::size_t split = static_cast<unsigned char>(bytes[0]) % bytes.size();
  const std::string target = fuzz::asText(bytes.substr(1, split));
  const std::string name = fuzz::asText(bytes.substr(1 + split));
  std::string buffer = target;
  overwritePadded(buffer.data(), name.c_str());
  FUZZ_CHECK(buffer == fuzz::overwritePadded(target, name));
  FUZZ_CHECK(std::strlen(buffer.c_str()) == target.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string scene(reinterpret_cast<const char*>(data), size);
  checkOverwritePadded(scene.substr(0, 512));
  // Variables would expand to whatever this machine holds.
  if (scene.find('$') != std::string::npos) return -1;
  const auto job = fuzz::openScene("scene.mb", scene);
  const fuzz::BinaryOutcome expected = fuzz::walkBinary(scene);

  std::size_t rewritten = 0;
  while (job->readToken() == 1) {
    const int reference = job->rewriteBinaryReference();
    const int texture = reference == 1 ? 0 : job->rewriteBinaryTexture();
    if (reference == 1 || texture == 1) {
      // The overwritten path token has been written; the cursor is after it.
      FUZZ_CHECK(rewritten < expected.rewritten.size());
      const fuzz::Span path = expected.rewritten[rewritten++];
      FUZZ_CHECK(job->statementLength == path.length);
      FUZZ_CHECK(static_cast<std::size_t>(job->sceneStream->position()) == path.start + path.length);
      FUZZ_CHECK(std::string(job->statement) == expected.copy.substr(path.start, path.length));
      continue;
    }
    job->sceneStream->putString(job->statement);
  }
  FUZZ_CHECK(rewritten == expected.rewritten.size());
  FUZZ_CHECK(job->sceneFiles == expected.scenes);
  FUZZ_CHECK(job->textureFiles == expected.textures);
  FUZZ_CHECK(job->transferFiles == expected.transfers);

  const std::string copy = fuzz::closeCopy(*job, "~scene.mb");
  FUZZ_CHECK(copy.size() == scene.size());
  FUZZ_CHECK(copy == expected.copy);
  // Outside the rewritten path tokens not a byte has changed.
  std::size_t from = 0;
  for (const fuzz::Span& path : expected.rewritten) {
    FUZZ_CHECK(copy.compare(from, path.start - from, scene, from, path.start - from) == 0);
    from = path.start + path.length;
  }
  FUZZ_CHECK(copy.compare(from, std::string::npos, scene, from, std::string::npos) == 0);
  return 0;
}
