// Relative paths resolved against the scene's project folder; scenes told apart by their absolute paths.
#include "scene/path_resolution.h"
#include "scene/scene_fixture.h"

// Relative entries resolve against the folder above the scene's folder, as the system names it.
TEST_F(SceneTest, PathResolutionAndSceneIdentity) {
  const std::string deep = "proj/" + std::string(200, 'd') + "/" + std::string(120, 'e');  // over 300 bytes
  for (const std::string& folder : Strings{deep + "/scenes", "proj/scenes", "work/scenes"}) temp.makeDir(folder);
  const std::string shot = at("proj/scenes/shot.ma"), tif = "maps/" + std::string(200, 't') + ".tif";
  const std::string root = windowsForm(cwd.substr(0, cwd.find_first_of("\\/") + 1));  // the root is its own parent
  const struct { std::string scene, before, after; int result; } rows[] = {
#ifdef _WIN32  // drive letters: separators mixed, the root of drive C:, another drive, a drive the system lacks
      {temp.path() + "/proj\\scenes/shot.ma", "sourceimages/a.tif", at("proj/sourceimages/a.tif"), 1},
      {"C:\\shot.ma", "maps/wood.tif", "C:\\maps\\wood.tif", 1}, {shot, "D:/maps/wood.tif", "D:\\maps\\wood.tif", 0},
      {"Q:\\scenes\\shot.ma", "a.tif", at("work/a.tif"), 1},
#endif
      {shot, "sourceimages/a.tif", at("proj/sourceimages/a.tif"), 1}, {shot, "C:a.tif", at("proj") + "\\C:a.tif", 1},
      {shot, "/maps/wood.tif", "\\maps\\wood.tif", 0}, {shot, " C:\\maps\\wood.tif", " C:\\maps\\wood.tif", 0},
      {"/shot.ma", "maps/wood.tif", root + "maps\\wood.tif", 1}, {"shot.ma", "maps\\a.tif", at("maps/a.tif"), 1},
      {"scenes/shot.ma", "maps\\a.tif", at("work/maps/a.tif"), 1}, {"no\\where\\shot.ma", "a.tif", at("work/a.tif"), 1},
      {at(deep + "/scenes/shot.ma"), tif, at(deep + "/" + tif), 1}};
  for (const auto& row : rows) {
    std::string entry = row.before;
    EXPECT_EQ(SceneJob(row.scene).resolveDependencyPath(entry), row.result) << row.scene << row.before;
    EXPECT_EQ(entry, row.after) << row.scene << " | " << row.before;
    EXPECT_EQ(platform::currentDirectory(), cwd);
  }
  EXPECT_EQ(makeAbsoluteScenePath("..\\work//scenes\\.\\..\\shot.ma"), windowsForm(cwd) + "\\shot.ma");
  EXPECT_EQ(makeAbsoluteScenePath("C:/p/../..//shot.ma"), "C:\\shot.ma");
  // Names differ in case only where the system keeps paths as given, on Windows.
  EXPECT_EQ(comparisonKey("C:\\P\\SHOT.ma") == comparisonKey("c:\\p\\shot.MA"), platform::systemPath("\\") == "\\");
}

// A cache folder saved on another machine is looked for by its name, then by its place in that machine's project,
// longest part first, in this project; then by its description beside the scene.
TEST_F(SceneTest, CacheFolderFromAnotherMachine) {
  temp.makeDir("proj/scenes"), temp.makeDir("proj/cache/bif/liq"), temp.makeDir("proj/liq2");
  temp.write("proj/scenes/fluid.xml", "");
  const std::string shot = at("proj/scenes/shot.ma");
  const struct { std::string path, cacheName, found; } rows[] = {
      {"D:\\shows\\x\\cache\\bif\\liq\\", "", at("proj/cache/bif/liq")},
      {"D:\\shows\\x\\other\\liq2", "", at("proj/liq2")},
      {"D:\\shows\\x\\cache\\..\\bif\\none", "fluid", at("proj/scenes")},
      {"D:\\shows\\x\\cache\\bif\\none", "", ""}};
  for (const auto& row : rows) {
    std::string entry = row.path;
    testing::internal::CaptureStdout();
    const bool found = locateCacheFolder(shot, entry, row.path, row.cacheName);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(found, !row.found.empty()) << row.path;
    if (found) {
      EXPECT_EQ(entry, row.found);
      EXPECT_EQ(said, "File '" + row.path + "' not found; using '" + row.found + "'.\n");
    }
  }
}
