// The binary token reader, on memory: it finds exactly the printable runs
// that the reference finds, at the same places, whatever blocks the bytes
// come in, and with every token written back unchanged the copy is the
// scene byte for byte.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "io/memory_cursor.h"
#include "scene/token_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string scene(reinterpret_cast<const char*>(data), size);
  const std::vector<fuzz::Span> expected = fuzz::tokens(scene);
  // On memory, whole and in blocks as a stream reads it.
  for (const std::size_t block : {std::size_t{0}, std::size_t{1}, std::size_t{5}, std::size_t{4096}}) {
    MemoryCursor in(scene, block);
    char token[TokenReader::kMaxBytes + 1];
    std::size_t length = 0;
    TokenReader reader(in, token, length);
    std::size_t count = 0;
    while (reader.read() == 1) {
      const std::string found(token, length);
      FUZZ_CHECK(count < expected.size());
      FUZZ_CHECK(found.size() >= TokenReader::kMinBytes && found.size() <= TokenReader::kMaxBytes);
      FUZZ_CHECK(found.size() == std::strlen(token));
      FUZZ_CHECK(fuzz::isLetter(static_cast<unsigned char>(found[0])));
      for (char c : found) FUZZ_CHECK(fuzz::isPrintable(static_cast<unsigned char>(c)));
      // The cursor stands right after the token.
      FUZZ_CHECK(static_cast<std::size_t>(in.offset()) == expected[count].start + expected[count].length);
      FUZZ_CHECK(found == scene.substr(expected[count].start, expected[count].length));
      in.put(token, length);
      ++count;
    }
    FUZZ_CHECK(count == expected.size());
    FUZZ_CHECK(token[0] == '\0');
    FUZZ_CHECK(reader.read() == 0);
    // With every token written back, the copy is the scene byte for byte.
    FUZZ_CHECK(in.copy() == scene && in.edits().empty());
  }
  return 0;
}
