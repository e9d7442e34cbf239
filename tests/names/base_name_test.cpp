// The name of a folder from its path, whatever separators end it.
#include <gtest/gtest.h>

#include "names/base_name.h"

namespace {

TEST(BaseName, FolderNameIgnoresTrailingSeparators) {
  EXPECT_EQ(folderBaseName("cache/nCache"), "nCache");
  EXPECT_EQ(folderBaseName("D:/shots/cache/"), "cache");
  EXPECT_EQ(folderBaseName("D:\\shots\\sim\\\\/"), "sim");
  EXPECT_EQ(folderBaseName("cache"), "cache");
  EXPECT_EQ(folderBaseName("/"), "");
  EXPECT_EQ(folderBaseName(""), "");
  EXPECT_EQ(baseName("D:/shots/cache/"), "");
}

}  // namespace
