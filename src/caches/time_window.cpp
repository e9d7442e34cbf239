#include "caches/time_window.h"

#include <algorithm>
#include <cmath>

namespace {

// What double arithmetic may add to a time that is whole (frame 1000 at
// 24000/1001 fps, tick 250250): far less than a tick.
constexpr double kTickNoise = 1e-6;

double usedScale(const CacheClip& clip) { return clip.scale > 0 ? clip.scale : 1; }

// A tick as a whole number, times beyond any cache's held at the ends.
std::int64_t wholeTick(double ticks) {
  constexpr double kFarthest = 9e18;
  return static_cast<std::int64_t>(std::clamp(ticks, -kFarthest, kFarthest));
}

}  // namespace

FrameWindow renderedWindow(double firstRendered, double lastRendered) {
  return {std::min(firstRendered, lastRendered) - 1, std::max(firstRendered, lastRendered) + 1};
}

TickWindow ticksOf(FrameWindow window, double ticksPerFrame) {
  const double first = window.first * ticksPerFrame, last = window.last * ticksPerFrame;
  return {wholeTick(std::floor(first + kTickNoise)), wholeTick(std::ceil(last - kTickNoise))};
}

TickWindow wholeFramesIn(FrameWindow window) {
  return {wholeTick(std::ceil(window.first - kTickNoise)), wholeTick(std::floor(window.last + kTickNoise))};
}

double cacheFrameAt(const CacheClip& clip, double sceneFrame) {
  return clip.sourceStart + (sceneFrame - clip.startFrame) / usedScale(clip);
}

std::optional<FrameWindow> cacheWindow(const CacheClip& clip, FrameWindow sceneWindow) {
  const double first = std::max(cacheFrameAt(clip, sceneWindow.first), std::min(clip.sourceStart, clip.sourceEnd));
  const double last = std::min(cacheFrameAt(clip, sceneWindow.last), std::max(clip.sourceStart, clip.sourceEnd));
  if (first > last) return std::nullopt;
  return FrameWindow{first, last};
}
