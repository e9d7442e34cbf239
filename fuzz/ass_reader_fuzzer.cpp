// The reader of Arnold scene files, on memory: what every reader of files that name
// files owes (fuzz::checkFilePlan), and each path found stands in quotes,
// names a file a node loads, never an output driver's, and renaming the
// paths leaves every other byte where it was.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "io/edits.h"
#include "scene/ass_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  // Variables would expand to whatever this machine holds.
  if (file.find('$') != std::string::npos) return -1;
  const FilePlan plan = fuzz::checkFilePlan(file, [](ByteCursor& in) { return readAssFile(in); });
  FUZZ_CHECK(planAssFile(file).found.size() == plan.found.size());

  std::vector<Edit> renames;
  std::string expected;
  std::size_t from = 0;
  for (const FoundPath& found : plan.found) {
    const std::size_t at = static_cast<std::size_t>(found.offset), end = at + static_cast<std::size_t>(found.length);
    // A path never holds its own delimiters, nor ends its line.
    FUZZ_CHECK(found.named.written.find_first_of("\"\n") == std::string::npos);
    FUZZ_CHECK(at > 0 && file[at - 1] == '"' && end < size && file[end] == '"');
    FUZZ_CHECK(found.named.attribute == "filename" || found.named.attribute == "dso");
    FUZZ_CHECK(found.named.nodeType.compare(0, 7, "driver_") != 0);
    renames.push_back({found.offset, found.length, "N"});
    expected += file.substr(from, at - from) + "N";
    from = end;
  }
  // Renaming every path leaves every other byte where it was.
  FUZZ_CHECK(applyEdits(file, renames) == expected + file.substr(from));
  return 0;
}
