// A cacheFile node's placing of its cache: what the scene sets, else what the description says.
#include <gtest/gtest.h>

#include "job/cache_reference.h"

namespace {

TEST(CacheReference, ClipFromTheNodeElseTheDescription) {
  const CacheDescription description = *describeCache("OneFilePerFrame", "mcx", "1250-25000", "250");
  CacheReference cache;
  CacheClip clip = clipOf(cache, description);
  // Nothing set: the whole cache, starting where it starts.
  EXPECT_EQ(clip.sourceStart, 5);
  EXPECT_EQ(clip.sourceEnd, 100);
  EXPECT_EQ(clip.startFrame, 5);
  EXPECT_EQ(clip.scale, 1);
  cache.sourceStart = 20;
  clip = clipOf(cache, description);
  EXPECT_EQ(clip.startFrame, 20);
  EXPECT_EQ(clip.sourceEnd, 100);
  cache.startFrame = 101, cache.sourceEnd = 40;
  clip = clipOf(cache, description);
  EXPECT_EQ(clip.startFrame, 101);
  EXPECT_EQ(clip.sourceStart, 20);
  EXPECT_EQ(clip.sourceEnd, 40);
  // Scene frame 110 reads cache frame 29.
  EXPECT_EQ(cacheFrameAt(clip, 110), 29);
}

}  // namespace
