// Well-formed binary scenes copied by their structure through the stream.
#include "scene/scene_fixture.h"
#include "scene/structured_binary.h"

// The structured copy is the same at every block size, a grown reference and the sizes around it included.
TEST_F(SceneTest, StructuredBinaryCopyAtEveryBlockSize) {
  const MayaBinary m{8};
  const auto scene = [&](const std::string& ref, const std::string& tex) {
    return m.scene({m.head({m.chunk("VERS", "2024")}), m.reference(ref, "n", 3, "ball.mb"),
                    m.node("RTFT", "f", "", {m.text("ftn", tex)})});
  };
  for (std::size_t block : {1, 3, 7, 1024}) {
    ScopedBufferSizes sizes(block, block);
    SceneJob job(temp.write("work/s.mb", scene("ball.mb", "maps/wood.tif")));
    RunLog log;
    EXPECT_EQ(job.openScene(), 1);
    EXPECT_EQ(passStructuredBinary(job, false, true, log), SceneReading::kStructure);
    job.sceneStream->commitOutput();
    EXPECT_EQ(readFile(work + "/~s.mb"), scene("~ball.mb", "wood.tif     ")) << block;
    EXPECT_EQ(job.transferFiles, (Strings{"~ball.mb", "wood.tif"}));
  }
}
