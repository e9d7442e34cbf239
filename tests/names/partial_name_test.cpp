// The one form of a partial name: made by the run, told apart from every other name.

#include <gtest/gtest.h>

#include <string>

#include "names/base_name.h"
#include "names/partial_name.h"
#include "platform/platform.h"

namespace {

TEST(PartialName, OneFixedForm) {
  // A name; whether it has the partial form; whether it has it in some case of its letters.
  const struct { const char* name; bool partial, anyCase; } rows[] = {
      {"vantle_render.12-3.partial", true, true}, {"vantle_render.0-0.partial", true, true},
      {"Vantle_Render.12-3.PARTIAL", false, true}, {"VANTLE_RENDER.x-3.PARTIAL", false, false},
      {"vantle_render.-3.partial", false, false}, {"vantle_render.12-.partial", false, false},
      {"vantle_render.12.partial", false, false}, {"vantle_render.1-2-3.partial", false, false},
      {"vantle_render.1a-3.partial", false, false}, {"vantle_render.-.partial", false, false},
      {"vantle_render..partial", false, false}, {"vantle_render.12-3.partial.tif", false, false},
      {"x.vantle_render.12-3.partial", false, false}, {"vantle_render.sub", false, false}, {"", false, false}};
  for (const auto& row : rows) {
    EXPECT_EQ(isPartialFileName(row.name), row.partial) << row.name;
    EXPECT_EQ(isPartialFileNameInAnyCase(row.name), row.anyCase) << row.name;
  }
}

TEST(PartialName, NewAndWhereTheNextRunClearsIt) {
  const std::string first = partialFileName("C:\\work\\wood.tif"), second = partialFileName("C:\\work\\wood.tif");
  EXPECT_EQ(first.rfind("C:\\work\\vantle_render." + std::to_string(platform::processId()) + "-", 0), 0u) << first;
  EXPECT_TRUE(isPartialFileName(baseName(first))) << first;
  EXPECT_NE(first, second);
  EXPECT_TRUE(isPartialFileName(partialFileName("wood.tif")));
  // A file of a staged folder is written in the current folder, where the
  // next run clears leftovers; one above it beside its final name.
  EXPECT_TRUE(isPartialFileName(partialFileName("sim\\shapeFrame2.mcx")));
  EXPECT_EQ(partialFileName("..\\report.json").rfind("..\\", 0), 0u);
}

}  // namespace
