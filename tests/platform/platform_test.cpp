// A folder's absolute path as the current directory would read inside it, found without entering it: what the
// resolution of a scene's relative paths and the search in other folders rest on.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "support/temp_dir.h"

TEST(EnteredFolderPath, AsTheCurrentDirectoryWouldReadIt) {
  TempDir temp;
  temp.makeDir("proj/scenes");
  temp.write("proj/file.txt", "x");
  const std::string before = platform::currentDirectory();
  std::string proj;
  {
    ScopedCurrentDirectory inside(temp.at("proj"));
    proj = platform::currentDirectory();
  }
  // Parent steps and either separator, as the walk builds them.
  EXPECT_EQ(platform::enteredFolderPath(temp.at("proj/scenes/..")), proj);
  EXPECT_EQ(platform::enteredFolderPath(windowsForm(temp.at("proj/scenes")) + "\\..\\"), proj);
  // No folder to enter: a file, a missing one, nothing at all.
  EXPECT_EQ(platform::enteredFolderPath(temp.at("proj/file.txt")), std::nullopt);
  EXPECT_EQ(platform::enteredFolderPath(temp.at("proj/none")), std::nullopt);
  EXPECT_EQ(platform::enteredFolderPath(""), std::nullopt);
#ifndef _WIN32
  // A link is followed, as entering it would.
  std::filesystem::create_directory_symlink(temp.at("proj/scenes"), temp.at("link"));
  EXPECT_EQ(platform::enteredFolderPath(temp.at("link/..")), proj);
#endif
  EXPECT_EQ(platform::currentDirectory(), before);  // asked without moving
}
