// Particle disk caches: the shape and time of a .pdc name; the files a render range needs at a scene's rate, and
// a startup cache whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "caches/frame_rate.h"
#include "caches/particle_cache.h"
#include "names/comparison_key.h"

namespace {
std::vector<std::string> pdc(const std::string& shape, const std::vector<long long>& ticks) {
  std::vector<std::string> names;
  for (long long t : ticks) names.push_back(shape + "." + std::to_string(t) + ".pdc");
  return names;
}
CacheSelection selectRendered(const std::vector<std::string>& folder, double first, double last, const char* unit) {
  return selectDiskCache(folder, renderedWindow(first, last), *framesPerSecond(unit));
}
}  // namespace

TEST(ParticleCache, Names) {
  const auto file = particleCacheFile("particleShape1.7500.pdc");
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->shape == "particleShape1" && file->ticks == 7500);
  EXPECT_EQ(particleCacheFile("particleShape1.-250.pdc")->ticks, -250);
  EXPECT_EQ(particleCacheFile("my.shape.0.pdc")->shape, "my.shape");
  for (const char* other : {".250.pdc", "particleShape1.pdc", "particleShape1..pdc", "particleShape1.75a.pdc",
                            "particleShape1.7500.pdc.bak", "particleShape1.7500.mcx", "particleShape1.+250.pdc"}) {
    EXPECT_FALSE(particleCacheFile(other)) << other;
  }
  EXPECT_EQ(particleCacheFile("particleShape1.250.PDC").has_value(), comparisonKey("A") == "a");
}

TEST(ParticleCache, DiskCacheAtFractionalRatesAndFrameZero) {
  // (Whole frames and samples at 24 and 25 fps, of every shape: the end-to-end caches.)
  // At 23.976 fps frames 1 and 3 are ticks 250.25 and 750.75, written rounded either way.
  const std::vector<std::string> ntsc = pdc("p", {0, 249, 250, 500, 750, 751, 752, 1001});
  EXPECT_EQ(selectRendered(ntsc, 2, 2, "23.976fps").files,
            (std::vector<std::string>{ntsc[2], ntsc[3], ntsc[4], ntsc[5]}));
  // Frame 0, and the negative frame before it.
  const std::vector<std::string> zero = pdc("p", {-500, -251, -250, 0, 250, 251});
  EXPECT_EQ(selectRendered(zero, 0, 0, "film").files, (std::vector<std::string>{zero[2], zero[3], zero[4]}));
}

TEST(ParticleCache, StartupCacheWhateverItsFrame) {
  const std::vector<std::string> folder = {"particleShape1.0.pdc", "particleShape1.250.pdc", "particleShape10.0.pdc",
                                           "particleShape2.0.pdc", "ParticleShape1.500.pdc", "particleShape1.pdc"};
  const CacheSelection startup = selectStartupCache(folder, "particleShape1");
  std::vector<std::string> expected = {folder[0], folder[1]};
  if (comparisonKey("A") == "a") expected.push_back(folder[4]);
  EXPECT_EQ(startup.files, expected);
  EXPECT_EQ(startup.timesStaged, expected.size());
}

TEST(ParticleCache, FramesCounted) {
  // A sample counts with the frame before it; a frame's tick rounded down either way (23.976 fps) with its frame.
  const std::vector<std::string> film = pdc("a", {-250, 0, 125, 250, 375, 500});
  EXPECT_EQ(particleFrameCount(film, 24), 4u);
  EXPECT_EQ(particleFrameCount(pdc("a", {250, 500, 750, 751, 1001}), 24000.0 / 1001), 4u);
  std::vector<std::string> shapes = pdc("a", {0, 250});
  shapes.push_back("b.500.pdc");
  EXPECT_EQ(particleFrameCount(shapes, 24), 3u);
  EXPECT_EQ(particleFrameCount(shapes, 24, "b"), 1u);
}
