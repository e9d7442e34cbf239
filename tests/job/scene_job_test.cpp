#include <gtest/gtest.h>

#include <cstdlib>

#include "job/scene_job.h"
#include "support/environment.h"

namespace {

class SceneJobDefaults : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* value = std::getenv("VANTLE_RENDER_PATH");
    if (value != nullptr) saved = value;
    hadValue = value != nullptr;
  }
  void TearDown() override {
    if (hadValue) setEnvironment("VANTLE_RENDER_PATH", saved);
    else unsetEnvironment("VANTLE_RENDER_PATH");
  }
  std::string saved;
  bool hadValue = false;
};

TEST_F(SceneJobDefaults, ACommandLineRecordStartsEmpty) {
  unsetEnvironment("VANTLE_RENDER_PATH");
  SceneJob job;
  EXPECT_FALSE(job.scenePath.has_value());
  EXPECT_EQ(job.startFrame, -1.0);
  EXPECT_EQ(job.endFrame, -1.0);
  EXPECT_EQ(job.framesPerJob, 10);
  EXPECT_EQ(job.byFrame, 1.0);
  EXPECT_STREQ(job.imageName, "Frame");
  EXPECT_EQ(job.headerPath, "C:\\vantle_render\\vantle_render.hdr");
  EXPECT_EQ(job.textureCount(), 0);
  EXPECT_EQ(job.sceneFileCount(), 0);
  EXPECT_EQ(job.transferCount(), 0);
  EXPECT_EQ(job.sceneStream, nullptr);
  EXPECT_EQ(job.parent, nullptr);
}

TEST_F(SceneJobDefaults, TheHeaderPathComesFromTheEnvironmentWhateverItHolds) {
  setEnvironment("VANTLE_RENDER_PATH", " odd\\header path.hdr");
  SceneJob job;
  EXPECT_EQ(job.headerPath, " odd\\header path.hdr");
  setEnvironment("VANTLE_RENDER_PATH", "");
#ifdef _WIN32
  // An empty value removes the variable there: the default applies.
  EXPECT_EQ(SceneJob().headerPath, "C:\\vantle_render\\vantle_render.hdr");
#else
  EXPECT_EQ(SceneJob().headerPath, "");
#endif
}

TEST_F(SceneJobDefaults, AReferencedSceneRecordKeepsItsOwnPath) {
  SceneJob parent;
  parent.sceneFiles.push_back("C:\\proj\\scenes\\set.ma");
  SceneJob child(parent.sceneFiles[0], &parent);
  for (int i = 0; i < 100; ++i) parent.sceneFiles.push_back("grow the list");
  ASSERT_TRUE(child.scenePath.has_value());
  EXPECT_EQ(*child.scenePath, "C:\\proj\\scenes\\set.ma");
  EXPECT_EQ(child.parent, &parent);
}

}  // namespace
