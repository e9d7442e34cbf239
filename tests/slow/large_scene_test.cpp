// A binary scene of more than 2 GiB, sparse on disk: its size does not fit
// a 32-bit `long`, which is what `long` is on Windows. The texture path
// stands beyond the 2 GiB mark, so the run finds it only when the whole
// file was measured and read; the rewritten copy must keep every byte in
// its place.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "e2e/run_fixture.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kTwoGiB = std::uint64_t{1} << 31;

// `count` bytes of a file from `offset` on.
std::string bytesAt(const std::string& path, std::uint64_t offset, std::size_t count) {
  std::FILE* file = platform::openFile(path, "rb");
  if (file == nullptr) return "(cannot open " + path + ")";
  std::string bytes(count, '\0');
  std::size_t got = 0;
  if (platform::seekTo(file, static_cast<std::int64_t>(offset), SEEK_SET)) {
    got = std::fread(&bytes[0], 1, count, file);
  }
  std::fclose(file);
  bytes.resize(got);
  return bytes;
}

class LargeScene : public WholeRun {};

TEST_F(LargeScene, ATexturePathBeyondTwoGiB) {
  const std::string head = std::string("FOR4\0\0\0\x30Maya", 12);
  const std::string path = "sourceimages/wood.tif";
  const std::string marker = std::string("STR \0\0\0\x20.ftn\0", 13);
  const std::string tail = std::string("\0DAG\0end", 8);
  const std::uint64_t at = kTwoGiB + (std::uint64_t{1} << 20);

  const std::string wood = project("sourceimages/wood.tif", "wood");
  const std::string scene = temp.write("proj/scenes/big.mb", head);
  fs::resize_file(scene, at);  // a hole of zeros, which the reader passes through
  {
    std::ofstream out(scene, std::ios::binary | std::ios::app);
    out << marker << path << std::string(1, '\0') << tail;
    ASSERT_TRUE(out.good());
  }
  const std::uint64_t size = at + marker.size() + path.size() + 1 + tail.size();
  ASSERT_EQ(fs::file_size(scene), size);

  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/big.mb")});

  EXPECT_EQ(result.out, "Examining '" + spelled("scenes/big.mb") + "'.\n" +
                            "File 'wood.tif' copied to current directory.\n" + report({wood}, {}) + kSubmitted);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  const std::string copy = temp.at("work/~big.mb");
  ASSERT_EQ(fs::file_size(copy), size);
  EXPECT_EQ(bytesAt(copy, 0, head.size() + 16), head + std::string(16, '\0'));
  EXPECT_EQ(bytesAt(copy, kTwoGiB - 8, 16), std::string(16, '\0'));
  const std::string renamed = "wood.tif" + std::string(path.size() - 8, ' ');
  EXPECT_EQ(bytesAt(copy, at - 4, 4 + marker.size() + path.size() + 1 + tail.size()),
            std::string(4, '\0') + marker + renamed + std::string(1, '\0') + tail);
  EXPECT_EQ(workFile("vantle_render.sub"),
            std::string(kHeader) + "transfer_input_files = wood.tif, ~big.mb" + jobs("~big.mb", {{"1.0000", "1.0000"}}));
}

}  // namespace
