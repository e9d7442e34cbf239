// The reader of ASCII scenes on memory: a cacheFile node's folder with what its node sets. (What other statements name
// and the copy they make: the statement reader's tests, the scene-plans fuzz target and the end-to-end copies.)
#include <gtest/gtest.h>

#include "io/edits.h"
#include "scene/ascii_scene_reader.h"

namespace {

std::string kMa() { return "//Maya ASCII 2024 scene\n"; }

// A cacheFile node's folder is named by its bare name; its cache name and mapping, set before or after it (flags
// before the attribute), go with it when the node ends; what it does not set stays unset; another node's stay apart.
TEST(AsciiSceneReader, CacheFolderWithItsNodesNameAndMapping) {
  const std::string first = "createNode cacheFile -n \"c1\";\n\tsetAttr -k on \".cp\" -type \"string\" \"D:/sim/nCache/\";\n"
                            "\tsetAttr \".se\" 48;\n\tsetAttr -l on \".cn\" -type \"string\" \"shape1\";\n\tsetAttr \".sf\" 101.5;\n";
  const std::string second = "createNode cacheFile -n \"c2\";\n\tsetAttr \".cp\" -type \"string\" \"cache\";\n"
                             "connectAttr \"c2.o\" \"s.i\";\n\tsetAttr \".cn\" -type \"string\" \"late\";\n";
  const ScenePlan plan = planAsciiScene(kMa() + first + second);
  ASSERT_EQ(plan.named.size(), 2u);
  ASSERT_TRUE(plan.named[0].cache.has_value());
  EXPECT_EQ(plan.named[0].transferName, "nCache");
  EXPECT_EQ(plan.named[0].cache->cacheName, "shape1");
  EXPECT_EQ(plan.named[0].cache->startFrame, 101.5);
  EXPECT_EQ(plan.named[0].cache->sourceEnd, 48);
  EXPECT_FALSE(plan.named[0].cache->sourceStart.has_value());
  ASSERT_TRUE(plan.named[1].cache.has_value());
  EXPECT_EQ(plan.named[1].cache->cacheName, "");  // set after the node ended
  EXPECT_FALSE(plan.named[1].cache->startFrame.has_value());
  EXPECT_EQ(applyEdits(kMa() + first + second, plan.edits),
            kMa() + "createNode cacheFile -n \"c1\";\n\tsetAttr -k on \".cp\" -type \"string\" \"nCache\";\n" +
                first.substr(first.find("\tsetAttr \".se")) +
                "createNode cacheFile -n \"c2\";\n\tsetAttr \".cp\" -type \"string\" \"cache\";\n" +
                second.substr(second.find("connectAttr")));
}

}  // namespace
