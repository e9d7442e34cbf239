// Names compared as the system compares them, and folded as the render nodes fold them.

#include <gtest/gtest.h>

#include "names/comparison_key.h"

namespace {

TEST(ComparisonKey, LetterCase) {
  EXPECT_EQ(caseFolded("Wood_01.TIF"), "wood_01.tif");
  EXPECT_EQ(caseFolded("\xC3\x89rable@[Z]"), "\xC3\x89rable@[z]");  // ASCII letters only
#ifdef _WIN32
  EXPECT_EQ(comparisonKey("C:\\Proj\\Wood.TIF"), "c:\\proj\\wood.tif");
#else
  EXPECT_EQ(comparisonKey("/Proj/Wood.TIF"), "/Proj/Wood.TIF");
#endif
}

}  // namespace
