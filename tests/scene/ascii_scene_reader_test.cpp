// The reader of ASCII scenes on memory: what a scene names, with what named it, and the edits that make its copy.
#include <gtest/gtest.h>

#include "io/edits.h"
#include "scene/ascii_scene_reader.h"

namespace {

std::string kMa() { return "//Maya ASCII 2024 scene\n"; }

TEST(AsciiSceneReader, NamesAndEditsOnMemory) {
  const std::string head = "//Maya ASCII 2024 scene\n// file -r \"comment.ma\";\n";
  const std::string reference = "file -r -ns \"set\" \"scenes/set.ma\";\n";
  const std::string node = "createNode file -n \"wood\";\n\tsetAttr \".ftn\" -type \"string\" \"maps/wood.1001.tif\";\n";
  const std::string tiling = "\tsetAttr \".uvt\" 3;\n";
  const std::string cache = "createNode gpuCache -n \"c\";\n\tsetAttr \".cfn\" -type \"string\" \"C:/c/a.abc\";\n";
  const std::string empty = "createNode file -n \"none\";\n\tsetAttr \".ftn\" -type \"string\" \"\";\n";
  const std::string scene = head + reference + node + tiling + cache + empty + "select -ne :time1;\n";
  const ScenePlan plan = planAsciiScene(scene);

  ASSERT_EQ(plan.named.size(), 3u);
  EXPECT_EQ(plan.named[0].kind, DependencyKind::kScene);
  EXPECT_EQ(plan.named[0].transferName, "~set.ma");
  // The node's uvt, set after its name, makes the name a first tile.
  EXPECT_EQ(plan.named[1].nodeType, "file");
  EXPECT_EQ(plan.named[1].attribute, "ftn");
  EXPECT_EQ(plan.named[1].tiling, 3);
  EXPECT_EQ(plan.named[1].recorded, "maps\\wood.1001.tif");
  EXPECT_EQ(plan.named[2].nodeType, "gpuCache");
  EXPECT_EQ(plan.named[2].written, "C:/c/a.abc");
  EXPECT_EQ(applyEdits(scene, plan.edits),
            head + "file -r -ns \"set\" \"~set.ma\";\n" + "createNode file -n \"wood\";\n" +
                "setAttr \".ftn\" -type \"string\" (\"wood.1001.tif\");\n" + tiling +
                "createNode gpuCache -n \"c\";\n\tsetAttr \".cfn\" -type \"string\" \"a.abc\";\n" +
                "createNode file -n \"none\";\nsetAttr \".ftn\" -type \"string\" (\"\");\n" + "select -ne :time1;\n");
  // Every edit is a statement that names a file (or a file node's empty name): four, nothing else touched.
  EXPECT_EQ(plan.edits.size(), 4u);
}

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
