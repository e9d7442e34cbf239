// A cacheFile node's description from the values of its attributes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "caches/cache_description.h"

TEST(CacheDescription, FromItsAttributes) {
  const CacheDescription oneFile = *describeCache("OneFile", "mcc", "-500-3000", "200");
  EXPECT_TRUE(oneFile.layout == CacheLayout::kOneFile && oneFile.format == CacheFormat::kMc);
  EXPECT_TRUE(oneFile.firstTick == -500 && oneFile.lastTick == 3000 && oneFile.ticksPerFrame == 200);
  const CacheDescription perFrame = *describeCache("OneFilePerFrame", "mcx", "250-7500", "250");
  EXPECT_TRUE(perFrame.layout == CacheLayout::kOneFilePerFrame && perFrame.format == CacheFormat::kMcx);
  const CacheDescription old = *describeCache("OneFilePerFrame", "", "-500--250", "250");
  EXPECT_TRUE(old.format == CacheFormat::kMc && old.firstTick == -500 && old.lastTick == -250);
  const std::vector<std::vector<std::string>> wrong = {{"onefile", "mcc", "1-2", "250"},
      {"OneFile", "mcz", "1-2", "250"}, {"OneFile", "mcc", "30000-250", "250"}, {"OneFile", "mcc", "250", "250"},
      {"OneFile", "mcc", "250-", "250"}, {"OneFile", "mcc", "a-b", "250"}, {"OneFile", "mcc", "1-2", "0"},
      {"OneFile", "mcc", "1-2", "-250"}, {"OneFile", "mcc", "1-2", "250.5"}};
  for (const auto& v : wrong) EXPECT_FALSE(describeCache(v[0], v[1], v[2], v[3])) << v[0] << v[1] << v[2] << v[3];
}
