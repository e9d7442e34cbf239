// The reader of XGen collection files, on memory: every value it finds is
// the text where it says it stands, on one line, in the file's order and
// apart from the others; a data path holds no ';'; renaming every value
// leaves every other byte where it was. The palette's name is one line's.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "caches/xgen_reader.h"
#include "fuzz_support.h"
#include "io/edits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const std::vector<XgenValue> values = readXgenFile(file, "P");
  std::vector<Edit> renames;
  std::string expected;
  std::size_t from = 0;
  for (const XgenValue& value : values) {
    FUZZ_CHECK(value.offset >= static_cast<std::int64_t>(from) && value.length > 0);
    const std::size_t at = static_cast<std::size_t>(value.offset), end = at + static_cast<std::size_t>(value.length);
    FUZZ_CHECK(end <= size && file.compare(at, end - at, value.written) == 0);
    FUZZ_CHECK(value.written.find('\n') == std::string::npos);
    FUZZ_CHECK(value.kind != XgenValueKind::kDataPath || value.written.find(';') == std::string::npos);
    renames.push_back({value.offset, value.length, "N"});
    expected += file.substr(from, at - from) + "N";
    from = end;
  }
  FUZZ_CHECK(applyEdits(file, renames) == expected + file.substr(from));
  FUZZ_CHECK(xgenPaletteName(file).find('\n') == std::string::npos);
  return 0;
}
