// The reader of USD layers in text form, on memory: what every reader of files that
// name files owes (fuzz::checkFilePlan), and renaming every path it found
// gives a layer in which it finds as many.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "io/edits.h"
#include "scene/usda_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string layer(reinterpret_cast<const char*>(data), size);
  const FilePlan plan = fuzz::checkFilePlan(layer, [](ByteCursor& in) { return readUsdaLayer(in); });
  FUZZ_CHECK(planUsdaLayer(layer).found.size() == plan.found.size());
  std::vector<Edit> marked;
  for (const FoundPath& found : plan.found) {
    FUZZ_CHECK(found.named.kind == DependencyKind::kTexture);
    marked.push_back({found.offset, found.length, "2~marked.usda"});
  }
  FUZZ_CHECK(planUsdaLayer(applyEdits(layer, marked)).found.size() == plan.found.size());
  return 0;
}
