// Names that stand for several files: which names each pattern matches (on Windows letter case aside).
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "names/name_pattern.h"

TEST(NamePattern, TokensTilesAndFrames) {
  const bool windows = platform::systemPath("\\") == "\\";
  // A base name, uvt, ufe; names it matches; names it does not.
  const struct { const char* base; int tiling; bool frames; std::vector<const char*> yes, no; } rows[] = {
      {"c.<UDIM>.tif", 0, false, {"c.1001.tif", "c.0000.tif"}, {"c.101.tif", "c.10010.tif", "c.1001.tif.bak"}},
      {"c_<UVTILE>.png", 0, false, {"c_u1_v1.png", "c_u10_v2.png"}, {"c_u1v1.png", "c_u_v1.png"}},
      {"z_u<u>_v<v>.tif", 0, false, {"z_u0_v12.tif"}, {"z_u_v1.tif"}},
      {"s.<f>.exr", 0, false, {"s.1.exr", "s.0250.exr"}, {"s..exr", "s.1a.exr"}},
      {"s.<f4>.<frame>.<frame04>.exr", 0, false, {"s.1.2.3.exr"}, {"s.1.2.exr"}},
      {"v_##.vdb", 0, false, {"v_1.vdb", "v_123.vdb"}, {"v_.vdb"}},
      {"<shapeName>_<attr:c>.tx", 0, false, {"ball_red.tx", "a.b_c.tx"}, {"_c.tx", "a_.tx"}},
      {"w_1001_1050.png", 3, false, {"w_1001_1999.png"}, {"w_1002_1050.png", "w_1001_2001.png", "w_1001_999.png"}},
      {"m_u1_v1_u2_v2.tif", 2, false, {"m_u1_v1_u9_v10.tif"}, {"m_u2_v1_u2_v2.tif"}},
      {"a.0001.png", 0, true, {"a.7.png", "a.123456.png"}, {"a.png", "a.x.png"}},
      {"a.png.0001", 0, true, {"a.png.12"}, {"a.png"}},
      {"t_1001.0005.exr", 3, true, {"t_1010.7.exr"}, {"t_2001.7.exr"}}};
  for (const auto& row : rows) {
    const auto pattern = NamePattern::of(row.base, row.tiling, row.frames);
    ASSERT_TRUE(pattern) << row.base;
    for (const char* name : row.yes) EXPECT_TRUE(pattern->matches(name)) << row.base << " " << name;
    for (const char* name : row.no) EXPECT_FALSE(pattern->matches(name)) << row.base << " " << name;
  }
  EXPECT_EQ(NamePattern::of("c.<UDIM>.tif", 0, false)->matches("C.1001.TIF"), windows);
  // One file each: no token (an unclosed or empty bracket is none), no tile number, a frame only inside the
  // extension, no node marks.
  for (const auto& [base, tiling, frames] : {std::tuple{"clip.mp4", 0, true}, {"w_2001.png", 3, false},
                                             {"plain_1001.png", 0, false}, {"m_u1.png", 1, false},
                                             {"<a", 0, false}, {"a<>.tif", 0, false}})
    EXPECT_FALSE(NamePattern::of(base, tiling, frames)) << base;
}
