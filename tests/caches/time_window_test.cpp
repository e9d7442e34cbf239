// The window of frames a render reads: one frame around the rendered ones, in ticks, and through a cacheFile
// node's placing of its cache.
#include <gtest/gtest.h>

#include "caches/frame_rate.h"
#include "caches/time_window.h"

namespace {
void expectWindow(FrameWindow window, double first, double last) {
  EXPECT_DOUBLE_EQ(window.first, first);
  EXPECT_DOUBLE_EQ(window.last, last);
}
void expectTicks(TickWindow window, std::int64_t first, std::int64_t last) {
  EXPECT_EQ(window.first, first);
  EXPECT_EQ(window.last, last);
}
}  // namespace

TEST(TimeWindow, RenderedFramesAndTicks) {
  expectWindow(renderedWindow(1, 10), 0, 11);
  expectWindow(renderedWindow(10.5, 12.25), 9.5, 13.25);
  expectWindow(renderedWindow(10, 1), 0, 11);
  expectWindow(renderedWindow(-5, -2), -6, -1);
  expectTicks(ticksOf({9.5, 21.5}, 250), 2375, 5375);
  // At 23.976 fps frame 2 is tick 500.5, written as 500 or 501: both in. Frame 1000 is tick 250250 exactly,
  // whatever the arithmetic rounds on the way: no tick around it.
  const double ntsc = ticksPerFrame(*framesPerSecond("23.976fps"));
  expectTicks(ticksOf({2, 2}, ntsc), 500, 501);
  expectTicks(ticksOf({1000, 1000}, ntsc), 250250, 250250);
  expectTicks(ticksOf({3, 3}, ticksPerFrame(30000.0 / 1001)), 600, 601);
}

TEST(TimeWindow, CacheFileNodeMapping) {
  // (Held at the cache's first frame: the end-to-end caches.) Held at its last, a cache starting before its frame 1,
  // one played at half speed.
  expectWindow(*cacheWindow({1, 1, 24, 1}, {20, 30}), 20, 24);
  expectWindow(*cacheWindow({101, -10, 200, 1}, renderedWindow(100, 120)), -10, 10);
  expectWindow(*cacheWindow({1, 1, 100, 2}, {9, 21}), 5, 11);
  expectWindow(*cacheWindow({1, 1, 100, 0}, {9, 21}), 9, 21);
  EXPECT_DOUBLE_EQ(cacheFrameAt({10, 5, 50, 0.5}, 12), 9);
  // Windows that read nothing of the used part.
  EXPECT_FALSE(cacheWindow({1, 1, 200, 1}, renderedWindow(300, 310)));
  EXPECT_FALSE(cacheWindow({1, 1, 24, 1}, renderedWindow(-10, -5)));
}
