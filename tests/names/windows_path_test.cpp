// Paths in Windows form as pure text: which are relative, joining, cutting the last component.

#include <gtest/gtest.h>

#include <string>

#include "names/windows_path.h"

namespace {

TEST(WindowsPath, Relative) {
  const struct { const char* path; bool relative; } rows[] = {
      {"wood.tif", true}, {"..\\scenes\\set.ma", true}, {"./a.tif", true}, {"", true}, {" \t", true},
      {"C:a.tif", true}, {"1:\\a.tif", true}, {"C:\\a.tif", false}, {"c:/a.tif", false}, {"\\a.tif", false},
      {"/a.tif", false}, {"\n\t \r/a.tif", false}, {"  D:\\a.tif", false}};
  for (const auto& row : rows) EXPECT_EQ(isRelativePath(row.path), row.relative) << row.path;
}

TEST(WindowsPath, Join) {
  // A folder, an entry; whether it was joined and the entry after.
  const struct { const char* folder; const char* entry; bool joined; const char* after; } rows[] = {
      {"C:\\proj", "sourceimages/wood.tif", true, "C:\\proj\\sourceimages\\wood.tif"},
      {"C:\\proj\\", "wood.tif", true, "C:\\proj\\wood.tif"},
      {"/home/proj/", "../wood.tif", true, "\\home\\proj\\..\\wood.tif"},
      {"C:\\proj", "D:/maps/wood.tif", false, "D:/maps/wood.tif"},
      {"C:\\proj", "/maps/wood.tif", false, "/maps/wood.tif"}};
  for (const auto& row : rows) {
    std::string entry = row.entry;
    EXPECT_EQ(joinDirectory(row.folder, entry), row.joined) << row.entry;
    EXPECT_EQ(entry, row.after);
  }
  std::string mixed = "a/b\\c/";
  normalizeSlashes(mixed);
  EXPECT_EQ(mixed, "a\\b\\c\\");
}

TEST(WindowsPath, CutLastComponent) {
  const struct { const char* path; bool cut; const char* after; } rows[] = {
      {"C:\\proj\\scenes", true, "C:\\proj"}, {"C:\\proj\\", true, "C:\\proj"}, {"C:\\", true, "C:"},
      {"\\a", true, ""}, {"proj/scenes", false, "proj/scenes"}, {"shot.ma", false, "shot.ma"}, {"", false, ""}};
  for (const auto& row : rows) {
    std::string path = row.path;
    EXPECT_EQ(cutLastComponent(path), row.cut) << row.path;
    EXPECT_EQ(path, row.after);
  }
}

}  // namespace
