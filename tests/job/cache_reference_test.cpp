// A cacheFile node's placing of its cache: what the scene sets, else what the description says.
#include <gtest/gtest.h>

#include "job/cache_reference.h"

namespace {

// A clip as "sourceStart sourceEnd startFrame scale".
std::string clipText(const CacheReference& cache, const CacheDescription& description) {
  const CacheClip clip = clipOf(cache, description);
  return testing::PrintToString(std::vector<double>{clip.sourceStart, clip.sourceEnd, clip.startFrame, clip.scale});
}

TEST(CacheReference, ClipFromTheNodeElseTheDescription) {
  const CacheDescription description = *describeCache("OneFilePerFrame", "mcx", "1250-25000", "250");
  CacheReference cache;
  EXPECT_EQ(clipText(cache, description), "{ 5, 100, 5, 1 }");  // nothing set: the whole cache, where it starts
  cache.sourceStart = 20;
  EXPECT_EQ(clipText(cache, description), "{ 20, 100, 20, 1 }");
  cache.startFrame = 101, cache.sourceEnd = 40;
  EXPECT_EQ(clipText(cache, description), "{ 20, 40, 101, 1 }");
  EXPECT_EQ(cacheFrameAt(clipOf(cache, description), 110), 29);  // scene frame 110 reads cache frame 29
}

}  // namespace
