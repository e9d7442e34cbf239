// The reader of binary scenes read token by token, on memory: paths after a marker overwritten in place.
#include <gtest/gtest.h>

#include "io/edits.h"
#include "scene/token_scene_reader.h"

namespace {

TEST(TokenSceneReader, PathsAfterMarkersOverwrittenInPlace) {
  using namespace std::string_literals;
  const std::string scene = "\x01\x02xFREFFREFab\0C:/scenes/ball.mb\0\x7f"s + "ftn\0maps/soft.tif\0tail ftnx"s;
  const ScenePlan plan = planTokenScene(scene);
  ASSERT_EQ(plan.named.size(), 2u);
  EXPECT_EQ(plan.named[0].kind, DependencyKind::kScene);
  EXPECT_EQ(plan.named[0].recorded, "C:\\scenes\\ball.mb");
  EXPECT_EQ(plan.named[1].kind, DependencyKind::kTexture);
  EXPECT_EQ(plan.named[1].attribute, "ftn");
  const std::string copy = applyEdits(scene, plan.edits);
  EXPECT_EQ(copy, "\x01\x02xFREFFREFab\0~ball.mb         \0\x7f"s + "ftn\0soft.tif     \0tail ftnx"s);
  EXPECT_EQ(copy.size(), scene.size());
  // A marker at the very end names nothing.
  EXPECT_TRUE(planTokenScene("abc ftn").named.empty());
}

}  // namespace
