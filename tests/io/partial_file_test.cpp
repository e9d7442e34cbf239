// The leftovers of killed runs removed from the working folder, and nothing else.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/partial_file.h"
#include "support/temp_dir.h"

namespace {

TEST(PartialFile, OnlyFilesOfThePartialFormAreRemoved) {
  TempDir temp;
  for (const char* name : {"vantle_render.12-3.partial", "vantle_render.1-1.partial", "vantle_render.x-1.partial",
                           "vantle_render.12-3.partial.tif", "wood.tif", "sub/vantle_render.4-4.partial"})
    temp.write(name, "x");
  temp.makeDir("vantle_render.5-5.partial");  // a folder of that name stays
  {
    ScopedCurrentDirectory cd(temp.path());
    removeLeftoverPartialFiles();
  }
  EXPECT_EQ(temp.list(), (std::vector<std::string>{"sub", "vantle_render.12-3.partial.tif", "vantle_render.5-5.partial",
                                                   "vantle_render.x-1.partial", "wood.tif"}));
  EXPECT_EQ(temp.list("sub"), std::vector<std::string>{"vantle_render.4-4.partial"});
}

}  // namespace
