// A cacheFile node's description from the values of its attributes, and from its file.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "caches/cache_description.h"

TEST(CacheDescription, FromItsAttributes) {
  const CacheDescription oneFile = *describeCache("OneFile", "mcc", "-500-3000", "200");
  EXPECT_TRUE(oneFile.layout == CacheLayout::kOneFile && oneFile.format == CacheFormat::kMc);
  EXPECT_TRUE(oneFile.firstTick == -500 && oneFile.lastTick == 3000 && oneFile.ticksPerFrame == 200);
  const CacheDescription old = *describeCache("OneFilePerFrame", "", "-500--250", "250");
  EXPECT_TRUE(old.format == CacheFormat::kMc && old.firstTick == -500 && old.lastTick == -250);
  const std::vector<std::vector<std::string>> wrong = {{"onefile", "mcc", "1-2", "250"},
      {"OneFile", "mcz", "1-2", "250"}, {"OneFile", "mcc", "30000-250", "250"}, {"OneFile", "mcc", "250", "250"},
      {"OneFile", "mcc", "250-", "250"}, {"OneFile", "mcc", "a-b", "250"}, {"OneFile", "mcc", "1-2", "0"},
      {"OneFile", "mcc", "1-2", "-250"}, {"OneFile", "mcc", "1-2", "250.5"}};
  for (const auto& v : wrong) EXPECT_FALSE(describeCache(v[0], v[1], v[2], v[3])) << v[0] << v[1] << v[2] << v[3];
}

TEST(CacheDescription, FromItsFile) {
  const std::string head = "<?xml version=\"1.0\"?>\r\n<CacheFile>\r\n  <cacheType Type=\"OneFilePerFrame\" Format=\"mcx\"/>\r\n";
  const std::string tail = "  <cacheTimePerFrame TimePerFrame=\"250\"/>\r\n  <cacheVersion Version=\"2.0\"/>\r\n"
                           "  <Channels>\r\n    <channel0 ChannelName=\"positions\" StartTime=\"1\" EndTime=\"9\"/>\r\n"
                           "  </Channels>\r\n</CacheFile>\r\n";
  const std::optional<CacheDescription> read = readCacheDescription(head + "  <time Range=\"250-30000\"/>\r\n" + tail);
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->layout == CacheLayout::kOneFilePerFrame && read->format == CacheFormat::kMcx);
  EXPECT_TRUE(read->firstTick == 250 && read->lastTick == 30000 && read->ticksPerFrame == 250);
  EXPECT_FALSE(readCacheDescription(head + tail));                                   // no time range
  EXPECT_FALSE(readCacheDescription(head + "  <time Range=\"250-30000\">\r\n" + tail));  // not well formed
  EXPECT_FALSE(readCacheDescription(""));
}
