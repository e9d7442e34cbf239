// A sparse binary scene past 2 GiB (beyond a 32-bit long), well formed, its texture node past the mark: found only when
// the walk of its groups reaches it, and the copy keeps every byte in its place.
#include <filesystem>
#include <fstream>

#include "e2e/run_fixture.h"
#include "support/maya_binary.h"

TEST_F(RunFixture, ASceneOverTwoGiB) {
  const MayaBinary m{4};
  const std::uint32_t at = (std::uint32_t{1} << 31) + 4096;
  const std::string tail = m.node("RTFT", "tex", "", {m.text("ftn", "sourceimages/wood.tif")});
  // The top group, then a chunk of zeros up to `at`.
  const std::string head = "FOR4" + m.sizeField(at + tail.size() - 8) + "MayaBLOB" + m.sizeField(at - 20);
  const std::string wood = proj("sourceimages/wood.tif", "wood"), scene = temp.write("proj/scenes/shot.ma", head);
  std::filesystem::resize_file(scene, at);  // a hole of zeros
  std::ofstream(scene, std::ios::binary | std::ios::app) << tail;
  EXPECT_EQ(render().out, examining(scene) + copied("wood.tif") + report({wood}, {}) + kSubmitted);
  ASSERT_EQ(std::filesystem::file_size(inWork("~shot.ma")), at + tail.size());
  std::ifstream copy(inWork("~shot.ma"), std::ios::binary);
  std::string bytes(head.size(), '\0'), end(tail.size() + 8, '\0');
  copy.read(&bytes[0], head.size()).seekg(at - 8).read(&end[0], end.size());
  std::string expected = tail;
  expected.replace(expected.find("sourceimages/wood.tif"), 21, "wood.tif" + std::string(13, ' '));
  EXPECT_EQ(bytes + end, head + std::string(8, '\0') + expected);
}
