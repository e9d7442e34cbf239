// Gzip in memory: any bytes read as gzip give what whole members hold or
// nothing; bytes written and read back, alone or after another member,
// are what they were.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "io/gzip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // As a compressed file: if it reads, it reads with another member after
  // it, not without its last byte, and what it holds compresses again.
  if (const std::optional<std::string> held = inflateGzip(bytes)) {
    FUZZ_CHECK(inflateGzip(deflateGzip(*held)) == held);
    FUZZ_CHECK(inflateGzip(bytes + deflateGzip("tail")) == *held + "tail");
    FUZZ_CHECK(inflateGzip(bytes.substr(0, bytes.size() - 1)) == std::nullopt);
  }
  // As a file's bytes: compressed, they read back whole, after another
  // member too; cut short, they do not read.
  const std::string compressed = deflateGzip(bytes);
  FUZZ_CHECK(inflateGzip(compressed) == bytes);
  FUZZ_CHECK(inflateGzip(deflateGzip("head") + compressed) == "head" + bytes);
  FUZZ_CHECK(inflateGzip(compressed.substr(0, compressed.size() - 1)) == std::nullopt);
  return 0;
}
