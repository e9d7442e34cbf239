// Texture copies by the system's own means: on a copy-on-write file system a clone that takes no room of its own.
// (Whole copies and copies stopped by Ctrl+C are met end to end, on every platform.)
#include <gtest/gtest.h>

#include "io/file_copy.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

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
}  // namespace
#endif
