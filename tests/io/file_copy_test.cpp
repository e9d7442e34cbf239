// copyFile moves whole blocks; every byte arrives once and in order, at
// any size and any block size.

#include <gtest/gtest.h>

#include <string>

#include "io/file_copy.h"
#include "support/buffer_sizes.h"
#include "support/temp_dir.h"

namespace {

class FileCopy : public ::testing::Test {
 protected:
  FileCopy() : cd(temp.path()) {}
  TempDir temp;
  ScopedCurrentDirectory cd;
};

TEST_F(FileCopy, CopiesEveryByteAtBlockBoundaries) {
  for (std::size_t block : {1, 4, 7, 4096}) {
    ScopedBufferSizes sizes(block, block + 3);
    for (std::size_t length : {std::size_t{1}, block - 1, block, block + 1, 3 * block, 3 * block + 2, std::size_t{10000}}) {
      if (length == 0) continue;
      std::string bytes;
      for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>(i * 131 + i / 7);
      temp.write("source.tif", bytes);
      ASSERT_EQ(copyFile("source.tif", "copy.tif"), 1);
      ASSERT_EQ(readFile(temp.at("copy.tif")), bytes) << "block " << block << ", length " << length;
    }
  }
}

TEST_F(FileCopy, AnEmptyFileGivesAnEmptyCopy) {
  temp.write("empty.tif", "");
  testing::internal::CaptureStderr();
  EXPECT_EQ(copyFile("empty.tif", "copy.tif"), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Error loading file", 0), 0u);
  EXPECT_TRUE(temp.exists("copy.tif"));
  EXPECT_EQ(readFile(temp.at("copy.tif")), "");
}

}  // namespace
