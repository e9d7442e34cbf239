// The example project as make_example lays it out: the scenes and the
// header from the repository, the binary scene and the images made fresh.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace {

class ExampleProject : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramRun run;
    run.program = MAKE_EXAMPLE_EXE;
    run.arguments = {VANTLE_EXAMPLES_DIR, temp.at("example")};
    ProgramResult result = runProgram(run);
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(result.err, "");
  }

  std::string file(const std::string& relative) const { return readFile(temp.at("example/" + relative)); }

  TempDir temp;
};

TEST_F(ExampleProject, HasTheProductionTree) {
  EXPECT_EQ(temp.list("example"), (std::vector<std::string>{"library", "project", "vantle_render.hdr"}));
  EXPECT_EQ(temp.list("example/project/scenes"), (std::vector<std::string>{"prop.mb", "set.ma", "shot.ma"}));
  EXPECT_EQ(temp.list("example/project/sourceimages"),
            (std::vector<std::string>{"brick.tif", "metal.png", "sky.png", "wood.tif"}));
  EXPECT_EQ(temp.list("example/library/textures"), (std::vector<std::string>{"concrete.png"}));
  EXPECT_EQ(file("vantle_render.hdr"), readFile(std::string(VANTLE_EXAMPLES_DIR) + "/vantle_render.hdr"));
}

TEST_F(ExampleProject, TheAsciiScenesAreMayaAscii) {
  for (const char* scene : {"shot.ma", "set.ma"}) {
    const std::string text = file(std::string("project/scenes/") + scene);
    EXPECT_EQ(text.rfind("//Maya ASCII 2024 scene\n", 0), 0u) << scene;
    EXPECT_NE(text.find("setAttr \".ftn\" -type \"string\" \"sourceimages/wood.tif\";"), std::string::npos) << scene;
  }
  const std::string shot = file("project/scenes/shot.ma");
  EXPECT_NE(shot.find("file -r -ns \"set\""), std::string::npos);
  EXPECT_NE(shot.find("\"scenes/set.ma\";"), std::string::npos);
  EXPECT_NE(shot.find("\"scenes/prop.mb\";"), std::string::npos);
}

TEST_F(ExampleProject, TheLibraryTextureIsNamedByItsAbsolutePath) {
  const std::string shot = file("project/scenes/shot.ma");
  EXPECT_EQ(shot.find("@ASSET_LIBRARY@"), std::string::npos);
  const std::string library = std::filesystem::path(temp.at("example/library")).generic_string();
  EXPECT_NE(shot.find("\"" + library + "/textures/concrete.png\";"), std::string::npos) << shot;
}

TEST_F(ExampleProject, ThePropIsABinaryScene) {
  const std::string prop = file("project/scenes/prop.mb");
  ASSERT_GT(prop.size(), 12u);
  EXPECT_EQ(prop.substr(0, 4), "FOR4");
  EXPECT_EQ(prop.substr(8, 4), "Maya");
  EXPECT_EQ(prop.size() % 4, 0u);
  // The texture attribute and its path, each ended by a NUL.
  EXPECT_NE(prop.find(std::string(".ftn\0sourceimages/metal.png\0", 28)), std::string::npos);
  EXPECT_EQ(prop.find("FREF"), std::string::npos);
}

TEST_F(ExampleProject, TheImagesCarryTheirSignatures) {
  for (const char* tif : {"wood.tif", "brick.tif"}) {
    EXPECT_EQ(file(std::string("project/sourceimages/") + tif).substr(0, 4), std::string("II*\0", 4)) << tif;
  }
  for (const char* png : {"project/sourceimages/metal.png", "project/sourceimages/sky.png",
                          "library/textures/concrete.png"}) {
    const std::string bytes = file(png);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << png;
    EXPECT_EQ(bytes.substr(bytes.size() - 8, 4), "IEND") << png;
  }
}

}  // namespace
