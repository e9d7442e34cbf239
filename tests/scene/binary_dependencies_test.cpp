// The reader of well-formed Maya binary scenes, run on memory: a cacheFile node's folder with what its node sets.
// (References, textures and a grown reference's sizes: the structured copy's test, the binary-structure fuzz target
// and the end-to-end binary scenes in both widths.)
#include <gtest/gtest.h>

#include "io/edits.h"
#include "scene/binary_dependencies.h"
#include "support/maya_binary.h"

namespace {

// A cacheFile node (CCHF): its folder overwritten by its bare name, padded; its cache name and mapping, before or
// after the folder, go with it; a node without them gets an empty one.
TEST(BinaryScenePlan, CacheFolderWithItsNodesNameAndMapping) {
  const MayaBinary m{8};
  const auto scene = [&](const std::string& cp, const std::string& other) {
    return m.scene({m.head({m.chunk("VERS", "2024")}),
                    m.node("CCHF", "c1", "", {m.attribute("DBLE", "ss", std::string("\x40\x24\0\0\0\0\0\0", 8)), m.text("cp", cp),
                                              m.text("cn", "shape1")}),
                    m.node("CCHF", "c2", "", {m.text("cp", other)})});
  };
  const std::string original = scene("D:/sim/nCache/", "cache");
  const BinaryScenePlan plan = planBinaryScene(original);
  ASSERT_TRUE(plan.wellFormed);
  ASSERT_EQ(plan.dependencies.size(), 2u);
  EXPECT_EQ(plan.dependencies[0].newName, "nCache");
  ASSERT_TRUE(plan.dependencies[0].cache.has_value());
  EXPECT_EQ(plan.dependencies[0].cache->cacheName, "shape1");
  EXPECT_EQ(plan.dependencies[0].cache->sourceStart, 10);
  EXPECT_FALSE(plan.dependencies[0].cache->startFrame.has_value());
  ASSERT_TRUE(plan.dependencies[1].cache.has_value());
  EXPECT_EQ(plan.dependencies[1].cache->cacheName, "");
  EXPECT_EQ(applyEdits(original, plan.edits), scene("nCache        ", "cache"));
}

}  // namespace
