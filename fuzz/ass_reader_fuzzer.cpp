// The reader of Arnold scene files, on memory: the copy through the cursor
// is the file byte for byte; what it finds is the same whatever blocks the
// bytes come in; each path found is a range of the file, in order, none
// overlapping another, holding exactly the text it names, and replacing
// the ranges gives a copy that differs from the file only there.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "io/edits.h"
#include "io/memory_cursor.h"
#include "scene/ass_reader.h"

namespace {

bool samePlan(const FilePlan& a, const FilePlan& b) {
  if (a.found.size() != b.found.size()) return false;
  for (std::size_t i = 0; i < a.found.size(); ++i) {
    const FoundPath& x = a.found[i];
    const FoundPath& y = b.found[i];
    if (x.offset != y.offset || x.length != y.length || x.named.written != y.named.written ||
        x.named.recorded != y.named.recorded || x.named.nodeType != y.named.nodeType ||
        x.named.attribute != y.named.attribute) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  // Variables would expand to whatever this machine holds.
  if (file.find('$') != std::string::npos) return -1;

  MemoryCursor whole(file);
  const FilePlan plan = readAssFile(whole);
  FUZZ_CHECK(whole.copy() == file);
  FUZZ_CHECK(whole.edits().empty());
  FUZZ_CHECK(samePlan(planAssFile(file), plan));

  for (const std::size_t block : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{4096}}) {
    MemoryCursor in(file, block);
    const FilePlan again = readAssFile(in);
    FUZZ_CHECK(in.copy() == file);
    FUZZ_CHECK(samePlan(again, plan));
  }

  std::int64_t after = 0;
  std::vector<Edit> renames;
  for (const FoundPath& found : plan.found) {
    FUZZ_CHECK(found.length > 0);
    FUZZ_CHECK(found.offset >= after && found.offset + found.length <= static_cast<std::int64_t>(size));
    after = found.offset + found.length;
    const std::string text = file.substr(static_cast<std::size_t>(found.offset), static_cast<std::size_t>(found.length));
    FUZZ_CHECK(text == found.named.written);
    // A path never holds its own delimiters, nor ends its line.
    FUZZ_CHECK(text.find('"') == std::string::npos && text.find('\n') == std::string::npos);
    FUZZ_CHECK(found.offset > 0 && file[static_cast<std::size_t>(found.offset - 1)] == '"');
    FUZZ_CHECK(static_cast<std::size_t>(after) < size && file[static_cast<std::size_t>(after)] == '"');
    FUZZ_CHECK(found.named.attribute == "filename" || found.named.attribute == "dso");
    FUZZ_CHECK(found.named.nodeType.compare(0, 7, "driver_") != 0);
    renames.push_back({found.offset, found.length, "N"});
  }

  // Renaming every path leaves every other byte where it was.
  const std::string renamed = applyEdits(file, renames);
  std::size_t from = 0;
  std::size_t at = 0;
  for (const FoundPath& found : plan.found) {
    const std::size_t to = static_cast<std::size_t>(found.offset);
    FUZZ_CHECK(renamed.compare(at, to - from, file, from, to - from) == 0);
    at += to - from;
    FUZZ_CHECK(renamed.compare(at, 1, "N") == 0);
    at += 1;
    from = to + static_cast<std::size_t>(found.length);
  }
  FUZZ_CHECK(renamed.compare(at, std::string::npos, file, from, std::string::npos) == 0);
  return 0;
}
