#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "scene/scene_identity.h"
#include "support/temp_dir.h"
#include "support/windows_form.h"

namespace {

TEST(SceneIdentity, AbsolutePathsLoseDotStepsAndDoubledSeparators) {
  EXPECT_EQ(makeAbsoluteScenePath("C:\\proj\\.\\scenes\\..\\shot.ma"), "C:\\proj\\shot.ma");
  EXPECT_EQ(makeAbsoluteScenePath("C:/proj//scenes/shot.ma"), "C:\\proj\\scenes\\shot.ma");
  EXPECT_EQ(makeAbsoluteScenePath("C:\\..\\shot.ma"), "C:\\shot.ma");
  EXPECT_EQ(makeAbsoluteScenePath("\\proj\\a\\b\\..\\..\\shot.ma"), "\\proj\\shot.ma");
  EXPECT_EQ(makeAbsoluteScenePath("\\\\server\\share\\..\\shot.ma"), "\\\\server\\shot.ma");
}

TEST(SceneIdentity, RelativePathsAreTakenFromTheCurrentDirectory) {
  TempDir temp;
  temp.makeDir("work");
  ScopedCurrentDirectory cd(temp.at("work"));
  const std::string work = windowsForm(platform::currentDirectory());
  EXPECT_EQ(makeAbsoluteScenePath("scenes/shot.ma"), work + "\\scenes\\shot.ma");
  EXPECT_EQ(makeAbsoluteScenePath("shot.ma"), work + "\\shot.ma");
  EXPECT_EQ(makeAbsoluteScenePath("..\\work\\shot.ma"), work + "\\shot.ma");
}

TEST(SceneIdentity, CaseCountsWhereFileNamesDo) {
#ifdef _WIN32
  EXPECT_EQ(comparisonKey("C:\\Proj\\SHOT.ma"), comparisonKey("c:\\proj\\shot.MA"));
#else
  EXPECT_NE(comparisonKey("/proj/SHOT.ma"), comparisonKey("/proj/shot.ma"));
#endif
  EXPECT_EQ(comparisonKey("~shot.ma"), comparisonKey("~shot.ma"));
  EXPECT_NE(comparisonKey("~shot.ma"), comparisonKey("~shot.mb"));
}

}  // namespace
