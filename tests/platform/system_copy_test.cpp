// Texture copies by the system's own means: whole, stoppable, and on a copy-on-write file system a clone that
// takes no room of its own.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "io/file_copy.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

namespace {

std::string randomBytes(std::size_t size) {
  std::mt19937_64 rng(7);
  std::string bytes(size + 8, '\0');
  for (std::size_t i = 0; i < size; i += 8) {
    const std::uint64_t word = rng();
    std::memcpy(&bytes[i], &word, 8);
  }
  return bytes.substr(0, size);
}

TEST(SystemCopy, CopiesWholeOrStopsWhenAsked) {
  TempDir temp;
  const std::string bytes = randomBytes((std::size_t{40} << 20) + 3), from = temp.write("from.tif", bytes);
  std::vector<std::int64_t> seen;
  const auto counting = [&](std::int64_t done) { return seen.push_back(done), true; };
  const platform::SystemCopy whole = platform::copyBySystem(from, temp.at("to.tif"), counting);
  if (whole == platform::SystemCopy::kUnsupported) GTEST_SKIP() << "the system copies no files itself here";
  ASSERT_EQ(whole, platform::SystemCopy::kDone);
  EXPECT_EQ(readFile(temp.at("to.tif")), bytes);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), static_cast<std::int64_t>(bytes.size()));
  EXPECT_EQ(platform::copyBySystem(from, temp.at("stop.tif"), [](std::int64_t) { return false; }),
            platform::SystemCopy::kStopped);
  EXPECT_EQ(platform::copyBySystem(temp.at("none.tif"), temp.at("x.tif"), counting), platform::SystemCopy::kFailed);
}

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
  const std::string bytes = randomBytes(std::size_t{128} << 20), from = mounted + "/big.tif";
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
