#pragma once
// The stretch of time whose cached data a render needs: the frames the
// jobs render and one frame on each side, for motion blur and for
// interpolating between samples. Frames may be fractional (renders by
// steps of 0.5, say).

#include <cstdint>
#include <optional>

// Frames from `first` to `last`, both in.
struct FrameWindow {
  double first;
  double last;
};

// Ticks from `first` to `last`, both in (or whole frames, for caches whose
// files count frames).
struct TickWindow {
  std::int64_t first;
  std::int64_t last;
  bool holds(std::int64_t ticks) const { return first <= ticks && ticks <= last; }
  bool overlaps(std::int64_t from, std::int64_t to) const { return from <= last && first <= to; }
};

// One frame before the first rendered frame to one frame after the last
// (the two taken in either order).
FrameWindow renderedWindow(double firstRendered, double lastRendered);

// The window in ticks, `ticksPerFrame` to the frame. A time that falls
// between two ticks (frame 2 at 23.976 fps is tick 500.5) was written
// rounded one way or the other, so both ticks lie inside: the window
// reaches out to the whole ticks around its ends.
TickWindow ticksOf(FrameWindow window, double ticksPerFrame);

// The whole frames inside the window, none around it: for files that
// hold whole frames and nothing between them.
TickWindow wholeFramesIn(FrameWindow window);

// How a cacheFile node places its cache in the scene: the used part of
// the cache, `sourceStart` to `sourceEnd` (cache times, in frames of the
// scene's rate), begins at scene frame `startFrame` and is played at
// `1 / scale` of its speed (a scale of 2 makes it last twice as long).
struct CacheClip {
  double startFrame = 1;
  double sourceStart = 1;
  double sourceEnd = 1;
  double scale = 1;  // not above 0: taken as 1
};

// The cache time that scene frame `sceneFrame` reads:
// sourceStart + (sceneFrame - startFrame) / scale.
double cacheFrameAt(const CacheClip& clip, double sceneFrame);

// The cache times a scene window reads, kept within the used part;
// nothing when the window reads none of it.
std::optional<FrameWindow> cacheWindow(const CacheClip& clip, FrameWindow sceneWindow);
