// The reader of USD layers in text form, on memory: the copy through the
// cursor is the layer byte for byte; what it finds is the same whatever
// blocks the bytes come in; each path found is a range of the layer, in
// order and apart from the others, whose bytes are the path as written;
// and the layer with every path replaced by another name names as many.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "io/edits.h"
#include "io/memory_cursor.h"
#include "scene/usda_reader.h"

namespace {

bool samePlan(const FilePlan& a, const FilePlan& b) {
  if (a.found.size() != b.found.size()) return false;
  for (std::size_t i = 0; i < a.found.size(); ++i) {
    const FoundPath& x = a.found[i];
    const FoundPath& y = b.found[i];
    if (x.offset != y.offset || x.length != y.length || x.named.written != y.named.written ||
        x.named.attribute != y.named.attribute || x.named.recorded != y.named.recorded) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string layer(reinterpret_cast<const char*>(data), size);
  const FilePlan plan = planUsdaLayer(layer);

  for (const std::size_t block : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{4096}}) {
    MemoryCursor in(layer, block);
    const FilePlan again = readUsdaLayer(in);
    FUZZ_CHECK(samePlan(again, plan));
    FUZZ_CHECK(in.copy() == layer);
    FUZZ_CHECK(in.edits().empty());
  }

  std::int64_t after = 0;
  std::vector<Edit> marked;
  for (const FoundPath& found : plan.found) {
    FUZZ_CHECK(found.length > 0);
    FUZZ_CHECK(found.offset >= after && found.offset + found.length <= static_cast<std::int64_t>(size));
    after = found.offset + found.length;
    const std::string bytes = layer.substr(static_cast<std::size_t>(found.offset), static_cast<std::size_t>(found.length));
    FUZZ_CHECK(bytes == found.named.written);
    FUZZ_CHECK(found.named.kind == DependencyKind::kTexture);
    marked.push_back({found.offset, found.length, "2~marked.usda"});
  }
  FUZZ_CHECK(planUsdaLayer(applyEdits(layer, marked)).found.size() == plan.found.size());
  return 0;
}
