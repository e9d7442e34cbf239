// The reader of XGen collection files: the data and project folders, archives and caches a collection names, and
// where each stands; the guide cache's names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "caches/xgen_reader.h"

namespace {
const std::string kCollection =
    "# XGen Collection File\n#\nFileVersion 18\n\nPalette\n"
    "\tname\t\t\tcoll\n"
    "\tparent\t\t\t\n"
    "\txgDataPath\t\t${PROJECT}xgen/collections/coll/; D:/lib/xgen/shared/;\n"
    "\txgProjectPath\t\tC:/Users/artist/proj/\n"
    "\txgDogTag\t\t\n"
    "\tendAttrs\n\nDescription\n\tname\t\t\thair\n\tendAttrs\n\n"
    "Primitive\tArchivePrimitive\n"
    "\tfiles\t\t\t#ArchiveGroup 0 name=\"Archive\" thumbnail=\"Archive.png\" description=\"No description.\" "
    "materials=\"${PROJECT}xgen/archives/materials/Archive.ma\" env=\"${PROJECT}xgen/archives/Archive.xarc\"\n"
    "#ass=\\\"${PROJECT}xgen/archives/ass/Archive__pCone1.ass.gz\\\"\n"
    "#EndArchiveGroup\n"
    "\tendAttrs\n\nPrimitive\tSplinePrimitive\n"
    "\tcacheFileName\t\t${DESC}/guides.abc\n"
    "\tregionMap\t\t${DESC}/Region/\n"
    "\tendAttrs\n";

struct Expected {
  XgenValueKind kind;
  std::string written, path;
};

void expectValues(const std::string& file, const std::string& project, const std::vector<Expected>& expected) {
  const std::vector<XgenValue> values = readXgenFile(file, project);
  ASSERT_EQ(values.size(), expected.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_TRUE(values[i].kind == expected[i].kind) << i;
    EXPECT_EQ(values[i].written, expected[i].written);
    EXPECT_EQ(values[i].path, expected[i].path);
    EXPECT_EQ(file.substr(values[i].offset, values[i].length), values[i].written);
  }
}
}  // namespace

TEST(XgenReader, WhatACollectionNames) {
  const std::string proj = "C:/Users/artist/proj/", archives = "xgen/archives/";
  const std::vector<Expected> expected = {
      {XgenValueKind::kDataPath, "${PROJECT}xgen/collections/coll/", proj + "xgen/collections/coll/"},
      {XgenValueKind::kDataPath, "D:/lib/xgen/shared/", "D:/lib/xgen/shared/"},
      {XgenValueKind::kProjectPath, proj, proj},
      {XgenValueKind::kArchive, "${PROJECT}" + archives + "materials/Archive.ma", proj + archives + "materials/Archive.ma"},
      {XgenValueKind::kArchive, "${PROJECT}" + archives + "Archive.xarc", proj + archives + "Archive.xarc"},
      {XgenValueKind::kArchive, "${PROJECT}" + archives + "ass/Archive__pCone1.ass.gz",
       proj + archives + "ass/Archive__pCone1.ass.gz"},
      {XgenValueKind::kCacheFile, "${DESC}/guides.abc", "${DESC}/guides.abc"}};
  // With the line ends of Windows: those of Unix are the end-to-end collections'.
  std::string windows;
  for (char c : kCollection) windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
  expectValues(windows, "/elsewhere", expected);
}

// The guide cache's name, from the scene's (or its copy's) and the palette's, which the collection's Palette block
// names (not a description's).
TEST(XgenReader, GuideCacheNames) {
  EXPECT_EQ(xgenPaletteName("Description\n\tname\t\thair\n\tendAttrs\nPalette\r\n\tname\tns:coll \r\n"), "ns:coll");
  EXPECT_EQ(xgenPaletteName("Description\n\tname\t\thair\n"), "");
  EXPECT_EQ(xgenGuideCacheName("~shot.ma", "coll"), "~shot__coll.abc");
  EXPECT_EQ(xgenGuideCacheName("C:\\proj\\scenes\\shot.v2.mb", "coll"), "shot.v2__coll.abc");
  EXPECT_EQ(xgenGuideCacheName("shot", "ns:coll"), "shot__ns__coll.abc");
}
