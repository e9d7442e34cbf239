// A sparse binary scene past 2 GiB (beyond a 32-bit long) with its texture path past the mark: found only when the
// whole file is read, and the copy keeps every byte in its place.
#include <filesystem>
#include <fstream>

#include "e2e/run_fixture.h"

TEST_F(RunFixture, ASceneOverTwoGiB) {
  const std::string head("FOR4\0\0\0\x30Maya", 12), tail(".ftn\0sourceimages/wood.tif\0DAG", 30);
  const std::uintmax_t at = (std::uintmax_t{1} << 31) + 4096;
  const std::string wood = proj("sourceimages/wood.tif", "wood"), scene = temp.write("proj/scenes/shot.ma", head);
  std::filesystem::resize_file(scene, at);  // a hole of zeros
  std::ofstream(scene, std::ios::binary | std::ios::app) << tail;
  EXPECT_EQ(render().out,
            examining(scene) + "File 'wood.tif' copied to current directory.\n" + report({wood}, {}) + kSubmitted);
  ASSERT_EQ(std::filesystem::file_size(inWork("~shot.ma")), at + tail.size());
  std::ifstream copy(inWork("~shot.ma"), std::ios::binary);
  std::string bytes(head.size(), '\0'), end(tail.size() + 8, '\0');
  copy.read(&bytes[0], head.size()).seekg(at - 8).read(&end[0], end.size());
  EXPECT_EQ(bytes + end, head + std::string(8, '\0') + tail.substr(0, 5) + "wood.tif" + std::string(13, ' ') +
                             tail.substr(26));
}
