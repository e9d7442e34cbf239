#pragma once
// The differential check of a reader against its reference: on the same
// bytes, in the same blocks, both give the same plan, field for field, and
// pass every byte to the copy unchanged.

#include <cstddef>
#include <string>

#include "../fuzz_support.h"
#include "io/memory_cursor.h"
#include "scene/scene_plan.h"

namespace fuzz {

inline bool sameDependency(const Dependency& x, const Dependency& y) {
  return x.kind == y.kind && x.scenePath == y.scenePath && x.nodeType == y.nodeType && x.attribute == y.attribute &&
         x.written == y.written && x.recorded == y.recorded && x.resolved == y.resolved && x.tiling == y.tiling &&
         x.frames == y.frames && x.namesFurtherFiles == y.namesFurtherFiles && x.namedByFile == y.namedByFile &&
         x.transferName == y.transferName && x.branch == y.branch && x.expanded == y.expanded &&
         x.matchedNothing == y.matchedNothing && x.files.empty() && y.files.empty();
}

inline bool samePlan(const FilePlan& x, const FilePlan& y) {
  if (x.found.size() != y.found.size() || x.fixed.size() != y.fixed.size() || x.text != y.text) return false;
  for (std::size_t i = 0; i < x.found.size(); ++i) {
    const FoundPath& a = x.found[i];
    const FoundPath& b = y.found[i];
    if (a.offset != b.offset || a.length != b.length || !sameDependency(a.named, b.named)) return false;
  }
  for (std::size_t i = 0; i < x.fixed.size(); ++i) {
    const Edit& a = x.fixed[i];
    const Edit& b = y.fixed[i];
    if (a.offset != b.offset || a.length != b.length || a.bytes != b.bytes) return false;
  }
  return true;
}

// The blocks checkFilePlan reads in (0: the whole file at once), and a few
// more around the sizes of the reader's own look-ahead.
constexpr std::size_t kDifferentialBlocks[] = {0, 1, 2, 3, 7, 64, 4096};

template <typename Read, typename ReadReference>
void checkSameAsReference(const std::string& file, Read read, ReadReference readReference) {
  for (const std::size_t block : kDifferentialBlocks) {
    MemoryCursor in(file, block);
    MemoryCursor old(file, block);
    const FilePlan plan = read(in);
    const FilePlan expected = readReference(old);
    FUZZ_CHECK(in.copy() == file && in.edits().empty());
    FUZZ_CHECK(samePlan(plan, expected));
  }
}

}  // namespace fuzz
