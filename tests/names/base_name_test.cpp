// The file name of a path, with either separator, and the name of a scene's copy.

#include <gtest/gtest.h>

#include "names/base_name.h"

namespace {

TEST(BaseName, AfterTheLastSeparatorOfEitherKind) {
  const struct { const char* path; const char* base; } rows[] = {
      {"C:\\proj\\wood.tif", "wood.tif"}, {"proj/scenes\\set.ma", "set.ma"}, {"proj\\scenes/set.ma", "set.ma"},
      {"wood.tif", "wood.tif"}, {"C:\\proj\\", ""}, {"/", ""}, {"", ""}, {"C:wood.tif", "C:wood.tif"}};
  for (const auto& row : rows) EXPECT_EQ(baseName(row.path), row.base) << row.path;
  EXPECT_EQ(sceneCopyName("C:\\proj\\scenes\\shot.ma"), "~shot.ma");
  EXPECT_EQ(sceneCopyName("../set.mb"), "~set.mb");
  EXPECT_EQ(sceneCopyName("~shot.ma"), "~~shot.ma");
}

}  // namespace
