// A cacheFile node's cache: the times of its files, and the files a render range needs.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "caches/geometry_cache.h"
#include "names/comparison_key.h"

namespace {
const bool kCaseBlind = comparisonKey("A") == "a";
const CacheDescription kPerFrame = *describeCache("OneFilePerFrame", "mcx", "250-7500", "250");

std::string frame(int n, int tick = 0, const std::string& cache = "nParticleShape1") {
  return cache + "Frame" + std::to_string(n) + (tick ? "Tick" + std::to_string(tick) : "") + ".mcx";
}
}  // namespace

TEST(GeometryCache, FrameFileTimes) {
  const std::pair<std::string, std::optional<std::int64_t>> rows[] = {{frame(1), 250}, {frame(10, 125), 2625},
      {frame(0), 0}, {frame(-2), -500}, {frame(-2, 125), -375}, {"nParticleShape1Frame0010.mcx", 2500},
      {"nParticleShape10Frame1.mcx", std::nullopt},
      {"nParticleShape1Frame1.mc", std::nullopt}, {"nParticleShape1Frame1.mcx.bak", std::nullopt},
      {"nParticleShape1Frame.mcx", std::nullopt}, {"nParticleShape1Frame1Tick.mcx", std::nullopt},
      {"nParticleShape1Frame1Tick1Tick1.mcx", std::nullopt}, {"nParticleShape1.mcx", std::nullopt},
      {"nParticleShape1Frame1x.mcx", std::nullopt}, {"nParticleShape1.xml", std::nullopt}, {"nParticleShape1Frame99999999999999999.mcx", std::nullopt},
      {"nparticleshape1Frame1.mcx", kCaseBlind ? std::optional<std::int64_t>(250) : std::nullopt},
      {"nParticleShape1frame1TICK5.MCX", kCaseBlind ? std::optional<std::int64_t>(255) : std::nullopt}};
  for (const auto& [name, time] : rows) EXPECT_EQ(frameFileTime(name, "nParticleShape1", kPerFrame), time) << name;
}

// (Whole frames and their samples in a render's window, and a window between files: the end-to-end caches.)
// Rendered by half frames from 10.5: the window's ends are the samples at 9.5 and 20.5. A one-file cache outside its
// range: the description alone, no time staged.
TEST(GeometryCache, SelectsByHalfFramesAndOutsideTheCache) {
  std::vector<std::string> folder = {"nParticleShape1.xml", frame(5, 0, "nParticleShape10"), "notes.txt"};
  for (int n = 1; n <= 30; ++n) folder.push_back(frame(n));
  for (int n : {8, 9, 10, 20, 21}) folder.push_back(frame(n, 125));
  const CacheSelection halves = selectCacheFiles(folder, "nParticleShape1", kPerFrame, ticksOf(renderedWindow(10.5, 19.5), 250));
  EXPECT_EQ(halves.files[1], frame(10));
  EXPECT_EQ(std::vector<std::string>(halves.files.end() - 3, halves.files.end()),
            (std::vector<std::string>{frame(9, 125), frame(10, 125), frame(20, 125)}));
  EXPECT_EQ(halves.timesStaged, 14u);
  const CacheSelection outside = selectCacheFiles({"cloth.mc", "cloth.mcx", "cloth.xml"}, "cloth",
                                                  *describeCache("OneFile", "mcx", "250-7500", "250"), {7501, 9000});
  EXPECT_EQ(outside.files, std::vector<std::string>{"cloth.xml"});
  EXPECT_EQ(std::make_pair(outside.timesInAll, outside.timesStaged), std::make_pair(std::size_t{1}, std::size_t{0}));
}

// Frames, not files: samples between frames count with the frame before them, also below frame 0; a one-file
// cache holds every frame of its range, and none when its data file is not there.
TEST(GeometryCache, CountsFramesOfItsFiles) {
  const std::vector<std::string> folder = {"nParticleShape1.xml", frame(1),       frame(1, 125), frame(2, 125),
                                           frame(-1, 125),        frame(0),       frame(-1),     "notes.txt",
                                           frame(7, 0, "nParticleShape10")};
  EXPECT_EQ(cacheFrameCount(folder, "nParticleShape1", kPerFrame), 4u);  // -1, 0, 1, 2
  const CacheDescription oneFile = *describeCache("OneFile", "mcc", "-250-7500", "250");
  EXPECT_EQ(cacheFrameCount({"nParticleShape1.xml", "nParticleShape1.mc"}, "nParticleShape1", oneFile), 32u);
  EXPECT_EQ(cacheFrameCount({"nParticleShape1.xml", "nParticleShape1.mcx"}, "nParticleShape1", oneFile), 0u);
}
