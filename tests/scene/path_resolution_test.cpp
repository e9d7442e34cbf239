#include <gtest/gtest.h>

#include <filesystem>

#include "job/scene_job.h"
#include "platform/platform.h"
#include "scene/base_name.h"
#include "support/temp_dir.h"
#include "support/windows_form.h"

namespace {

TEST(PathOperations, NormalizeSlashesTurnsEverySlashIntoBackslash) {
  std::string entry = "C:/maps\\sub/wood.tif";
  SceneJob::normalizeSlashes(entry);
  EXPECT_EQ(entry, "C:\\maps\\sub\\wood.tif");
}

TEST(PathOperations, RelativeOrAbsolute) {
  EXPECT_EQ(SceneJob::isRelativePath("C:\\maps\\wood.tif"), 0);
  EXPECT_EQ(SceneJob::isRelativePath("d:/maps/wood.tif"), 0);
  EXPECT_EQ(SceneJob::isRelativePath("\\maps\\wood.tif"), 0);
  EXPECT_EQ(SceneJob::isRelativePath("/maps/wood.tif"), 0);
  EXPECT_EQ(SceneJob::isRelativePath(" \t\r\nC:\\maps\\wood.tif"), 0);
  EXPECT_EQ(SceneJob::isRelativePath("C:wood.tif"), 1);
  EXPECT_EQ(SceneJob::isRelativePath("1:\\wood.tif"), 1);
  EXPECT_EQ(SceneJob::isRelativePath(".\\wood.tif"), 1);
  EXPECT_EQ(SceneJob::isRelativePath("sourceimages/wood.tif"), 1);
  EXPECT_EQ(SceneJob::isRelativePath(""), 1);
  EXPECT_EQ(SceneJob::isRelativePath("   "), 1);
}

TEST(PathOperations, CutLastComponent) {
  std::string drive = "C:\\shot.ma";
  EXPECT_EQ(SceneJob::cutLastComponent(drive), 1);
  EXPECT_EQ(drive, "C:");
  std::string bare = "shot.ma";
  EXPECT_EQ(SceneJob::cutLastComponent(bare), 0);
  EXPECT_EQ(bare, "shot.ma");
  std::string root = "\\shot.ma";
  EXPECT_EQ(SceneJob::cutLastComponent(root), 1);
  EXPECT_EQ(root, "");
  std::string slashes = "scenes/shot.ma";
  EXPECT_EQ(SceneJob::cutLastComponent(slashes), 0);
}

TEST(PathOperations, JoinDirectory) {
  std::string entry = "maps/wood.tif";
  EXPECT_EQ(SceneJob::joinDirectory("C:\\proj", entry), 1);
  EXPECT_EQ(entry, "C:\\proj\\maps\\wood.tif");

  std::string atRoot = "wood.tif";
  EXPECT_EQ(SceneJob::joinDirectory("C:\\", atRoot), 1);
  EXPECT_EQ(atRoot, "C:\\wood.tif");

  std::string posixRoot = "wood.tif";
  EXPECT_EQ(SceneJob::joinDirectory("/", posixRoot), 1);
  EXPECT_EQ(posixRoot, "\\wood.tif");

  std::string blank = " wood.tif";
  EXPECT_EQ(SceneJob::joinDirectory("C:\\proj", blank), 1);
  EXPECT_EQ(blank, "C:\\proj\\ wood.tif");

  std::string absolute = " C:\\maps\\wood.tif";
  EXPECT_EQ(SceneJob::joinDirectory("C:\\proj", absolute), 0);
  EXPECT_EQ(absolute, " C:\\maps\\wood.tif");

  std::string driveRelative = "C:wood.tif";
  EXPECT_EQ(SceneJob::joinDirectory("C:\\proj", driveRelative), 1);
  EXPECT_EQ(driveRelative, "C:\\proj\\C:wood.tif");
}

TEST(PathOperations, BaseNameTakesTheLaterSeparator) {
  EXPECT_EQ(baseName("C:\\maps\\wood.tif"), "wood.tif");
  EXPECT_EQ(baseName("maps/wood.tif"), "wood.tif");
  EXPECT_EQ(baseName("wood.tif"), "wood.tif");
  EXPECT_EQ(baseName("C:\\maps\\"), "");
  EXPECT_EQ(baseName("C:\\maps/sub/wood.tif"), "wood.tif");
  EXPECT_EQ(baseName("C:/maps\\wood.tif"), "wood.tif");
  EXPECT_EQ(baseName(""), "");
}

// Resolution against a real folder tree: <tmp>/proj/scenes holds the
// scene, <tmp>/work is the working directory.
class PathResolution : public ::testing::Test {
 protected:
  void SetUp() override {
    temp.makeDir("proj/scenes");
    temp.makeDir("work/scenes");
    cd = std::make_unique<ScopedCurrentDirectory>(temp.at("work"));
    working = platform::currentDirectory();
  }

  // Resolves `entry` for a scene at `scene` and checks that the current
  // directory is the working directory again afterwards.
  std::pair<int, std::string> resolve(const std::string& scene, std::string entry) {
    SceneJob job(scene, nullptr);
    int result = job.resolveDependencyPath(entry);
    EXPECT_EQ(platform::currentDirectory(), working);
    return {result, entry};
  }

  TempDir temp;
  std::unique_ptr<ScopedCurrentDirectory> cd;
  std::string working;
};

TEST_F(PathResolution, RelativeEntriesResolveAgainstTheParentOfTheScenesFolder) {
  const std::string scene = windowsForm(temp.at("proj/scenes/shot.ma"));
  EXPECT_EQ(resolve(scene, "sourceimages/wood.tif"),
            std::make_pair(1, windowsForm(temp.at("proj/sourceimages/wood.tif"))));
  EXPECT_EQ(resolve(scene, "scenes\\set.ma"),
            std::make_pair(1, windowsForm(temp.at("proj/scenes/set.ma"))));
}

TEST_F(PathResolution, AbsoluteEntriesAreOnlyNormalised) {
  const std::string scene = windowsForm(temp.at("proj/scenes/shot.ma"));
  EXPECT_EQ(resolve(scene, "D:/maps/wood.tif"), std::make_pair(0, std::string("D:\\maps\\wood.tif")));
  EXPECT_EQ(resolve(scene, "/maps/wood.tif"), std::make_pair(0, std::string("\\maps\\wood.tif")));
  EXPECT_EQ(resolve(scene, " C:\\maps\\wood.tif"), std::make_pair(0, std::string(" C:\\maps\\wood.tif")));
}

TEST_F(PathResolution, TheRootIsItsOwnParent) {
  // The root that a path without a drive names: on Windows the root of the
  // working directory's drive ("C:\\"), elsewhere "/".
#ifdef _WIN32
  const std::string root = working.substr(0, 3);
#else
  const std::string root = "\\";
#endif
  EXPECT_EQ(resolve("\\shot.ma", "wood.tif"), std::make_pair(1, root + "wood.tif"));
  EXPECT_EQ(resolve("/shot.ma", "maps/wood.tif"), std::make_pair(1, root + "maps\\wood.tif"));
}

TEST_F(PathResolution, ABareSceneNameLivesInTheWorkingDirectory) {
  EXPECT_EQ(resolve("shot.ma", "sourceimages\\wood.tif"),
            std::make_pair(1, windowsForm(temp.at("sourceimages/wood.tif"))));
}

TEST_F(PathResolution, ARelativeSceneFolderIsTakenFromTheWorkingDirectory) {
  const std::string expected = windowsForm(temp.at("work/sourceimages/wood.tif"));
  EXPECT_EQ(resolve("scenes\\shot.ma", "sourceimages\\wood.tif"), std::make_pair(1, expected));
  // A scene named with forward slashes has the same folder.
  EXPECT_EQ(resolve("scenes/shot.ma", "sourceimages\\wood.tif"), std::make_pair(1, expected));
}

TEST_F(PathResolution, AMissingSceneFolderFallsBackToTheWorkingDirectory) {
  EXPECT_EQ(resolve("nowhere\\at\\all\\shot.ma", "wood.tif"),
            std::make_pair(1, windowsForm(temp.at("work/wood.tif"))));
}

TEST_F(PathResolution, TheSameEntryResolvesAlikeFromAnyWorkingDirectory) {
  const std::string scene = windowsForm(temp.at("proj/scenes/shot.ma"));
  auto first = resolve(scene, "maps\\wood.tif");
  ScopedCurrentDirectory elsewhere(temp.at("proj/scenes"));
  working = platform::currentDirectory();
  EXPECT_EQ(resolve(scene, "maps\\wood.tif"), first);
}

TEST_F(PathResolution, LongFolderNamesAreNeverCut) {
  std::string deep = "proj";
  for (int i = 0; i < 6; ++i) deep += "/" + std::string(60, static_cast<char>('a' + i));
  temp.makeDir(deep + "/scenes");
  const std::string scene = windowsForm(temp.at(deep + "/scenes/shot.ma"));
  ASSERT_GT(scene.size(), 300u);
  EXPECT_EQ(resolve(scene, "sourceimages/" + std::string(200, 't') + ".tif"),
            std::make_pair(1, windowsForm(temp.at(deep + "/sourceimages/" + std::string(200, 't') + ".tif"))));
}

}  // namespace
