// Names the run may write into the working folder and list on the transfer line.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "names/staging_name.h"

namespace {

// Names the check lets through, and near misses; the writer's side is held by every byte value in
// tests/submit/submit_file_writer_test.cpp.
TEST(StagingName, Rules) {
  const std::pair<std::string, bool> rows[] = {{"wood.tif", true}, {"~shot.ma", true}, {"a b.tif", true},
      {"\xC3\xA9.tif", true}, {"\xff", true}, {"a=b;(c)'#", true}, {"con", false}, {"CON.tif.bak", false},
      {"nul .tif", false}, {"aux", false}, {"Prn.x", false}, {"COM0", false}, {"lpt9.tif", false},
      {"com\xC2\xB9.tif", false}, {"LPT\xC2\xB3", false}, {"com\xC2\xB4", true}, {"COM10", true}, {"com", true},
      {"lpt1x.tif", true}, {"conin", true}, {"xcon.tif", true}, {"vantle_render.SUB", false},
      {"Vantle_Render.lock", false}, {"vantle_render.12-3.partial", false}, {"vantle_render.x-3.partial", true},
      {"vantle_render.sub.tif", true}, {"a/b", false}, {"a\\b", false}, {".x", true}, {"x.", false}, {"x ", false},
      {" x", false}, {"", false}, {".", false}, {"..", false}, {"...", false}};
  for (const auto& [name, stageable] : rows) EXPECT_EQ(isStageableName(name), stageable) << name;
  // Inside a staged folder the run's own names are anyone's; the rest holds.
  for (const char* own : {"particles", "Workspace.mel", "vantle_render.sub", "vantle_render.12-3.partial"}) {
    EXPECT_TRUE(!isStageableName(own) && isStageableNameInFolder(own)) << own;
  }
  for (const auto& [name, stageable] : rows) {
    if (!stageable && name.rfind("vantle_render", 0) != 0 && name.rfind("Vantle", 0) != 0) {
      EXPECT_FALSE(isStageableNameInFolder(name)) << name;
    }
  }
  EXPECT_TRUE(namesOneFile("~Shot.MA", "~shot.ma") && !namesOneFile("\xC3\x89", "\xC3\xA9"));
  EXPECT_FALSE(namesOneFile("a", "ab"));
  EXPECT_TRUE(holdsBlank("a b") && holdsBlank("a\tb") && !holdsBlank("a\nb"));
}

}  // namespace
