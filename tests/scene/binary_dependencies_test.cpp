// The reader of well-formed Maya binary scenes, run on memory: what a scene names and the edits that make its copy
// name the new files, a grown reference and the sizes around it included.
#include <gtest/gtest.h>

#include "io/edits.h"
#include "scene/binary_dependencies.h"
#include "support/maya_binary.h"

namespace {

TEST(BinaryScenePlan, NamesAndEditsOnMemory) {
  for (const int width : {4, 8}) {
    const MayaBinary m{width};
    const auto scene = [&](const std::string& ref, const std::string& tex) {
      return m.scene({m.head({m.chunk("VERS", "2024")}), m.reference(ref, "n", 3, "ball.mb"),
                      m.node("RTFT", "f", "", {m.text("ftn", tex), m.chunk("DBLE", std::string("uvt\0\x01", 5) +
                                                                            std::string("\x40\x08\0\0\0\0\0\0", 8))})});
    };
    const std::string original = scene("ball.mb", "maps/wood.<UDIM>.tif");
    const BinaryScenePlan plan = planBinaryScene(original);
    ASSERT_TRUE(plan.mayaForm && plan.wellFormed) << width;
    ASSERT_EQ(plan.dependencies.size(), 2u);
    EXPECT_TRUE(plan.dependencies[0].isReference);
    EXPECT_EQ(plan.dependencies[0].newName, "~ball.mb");
    EXPECT_EQ(plan.dependencies[1].path, "maps/wood.<UDIM>.tif");
    EXPECT_EQ(plan.dependencies[1].nodeType, "file");
    EXPECT_EQ(plan.dependencies[1].tiling, 3);  // the node's uvt, read after its name
    EXPECT_EQ(applyEdits(original, plan.edits), scene("~ball.mb", "wood.<UDIM>.tif     ")) << width;
  }
  // Cut short, or no Maya scene at all: nothing named, nothing to edit.
  const std::string whole = MayaBinary{4}.scene({MayaBinary{4}.reference("a.mb", "n", 0)});
  for (const std::string& other : {whole.substr(0, whole.size() - 1), std::string("PK\x03\x04 not a scene")}) {
    const BinaryScenePlan plan = planBinaryScene(other);
    EXPECT_FALSE(plan.wellFormed);
    EXPECT_TRUE(plan.dependencies.empty() && plan.edits.empty());
  }
}

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
