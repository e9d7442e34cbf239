// Copies on a copy-on-write file system made by the system's own means, a clone
// that takes no room of its own, and copies named together. (Whole copies and
// copies stopped by Ctrl+C are met end to end, on every platform; the stream's
// blocks, by its own test.)

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>
#include <string>

#include "io/copy_batch.h"
#include "io/file_copy.h"
#include "io/filter_stream.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

namespace {

class CopyFile : public ::testing::Test {
 protected:
  CopyFile() : cd(temp.path()) {
    for (std::size_t i = 0; i < 20000; ++i) input += static_cast<char>(i * 7 + i / 256);
    temp.write("in.bin", input);
  }
  TempDir temp;
  ScopedCurrentDirectory cd;
  std::string input;
};

#ifndef _WIN32
// An XFS file system with reflink in a loop file, where the machine lets a test make one (root, loop devices,
// mkfs.xfs): staging a texture there shares the source's blocks instead of copying them.
TEST(SystemCopy, ClonesOnCopyOnWriteFileSystems) {
  TempDir temp;
  const std::string image = temp.at("xfs.img"), mounted = temp.makeDir("mnt");
  const std::string make = "truncate -s 512M '" + image + "' && mkfs.xfs -q -m reflink=1 '" + image + "' 2>/dev/null";
  if (geteuid() != 0 || std::system(make.c_str()) != 0 ||
      std::system(("mount -o loop '" + image + "' '" + mounted + "' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "no XFS with reflink in a loop file on this machine (needs root, loop devices, xfsprogs)";
  }
  struct Unmount {
    std::string at;
    ~Unmount() { umount(at.c_str()); }
  } unmount{mounted};
  std::string bytes(std::size_t{128} << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 + i / 4093);
  const std::string from = mounted + "/big.tif";
  writeFile(from, bytes);
  sync();
  struct statvfs before, after;
  statvfs(mounted.c_str(), &before);
  ASSERT_EQ(copyFile(from, mounted + "/copy.tif"), 1);
  sync();
  statvfs(mounted.c_str(), &after);
  const double usedMiB = static_cast<double>(before.f_bfree - after.f_bfree) * before.f_frsize / (1 << 20);
  EXPECT_EQ(readFile(mounted + "/copy.tif"), bytes);
  EXPECT_LT(usedMiB, 16.0) << "the copy took room of its own: it was not cloned";
}
#endif

}  // namespace

namespace {

// A batch names its copies only when it finishes, tells of each in the
// order they were added, and leaves nothing of copies it never finished.
TEST_F(CopyFile, BatchNamesCopiesTogetherInOrder) {
  std::string told;
  {
    CopyBatch batch;
    for (const char* source : {"in.bin", "absent.bin", "in.bin"}) {
      const std::string destination = std::string("b") + std::to_string(told.size()) + ".bin";
      told += '.';
      batch.add(source, destination, [&told, destination](bool copied) { told += copied ? destination : "x"; });
    }
    EXPECT_EQ(told, "...");
    EXPECT_FALSE(std::filesystem::exists(temp.at("b0.bin")));
    testing::internal::CaptureStdout();
    batch.finish();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Unable to copy 'absent.bin' to 'b1.bin'\n");
    EXPECT_EQ(told, "...b0.binxb2.bin");
    EXPECT_EQ(readFile(temp.at("b2.bin")), input);

    batch.add("in.bin", "unfinished.bin", [](bool) { ADD_FAILURE() << "told of a copy never finished"; });
  }
  // Only the finished copies and the source remain.
  EXPECT_EQ(temp.list(), (std::vector<std::string>{"b0.bin", "b2.bin", "in.bin"}));
}

}  // namespace
