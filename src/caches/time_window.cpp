#include "caches/time_window.h"

#include <algorithm>
#include <cmath>

namespace {

// Less than a tick's millionth: what double arithmetic may add to a time
// that is a whole tick (1000 frames at 24000/1001 fps).
constexpr double kTickNoise = 1e-6;

double usedScale(const CacheClip& clip) { return clip.scale > 0 ? clip.scale : 1; }

}  // namespace

FrameWindow renderedWindow(double firstRendered, double lastRendered) {
  return {std::min(firstRendered, lastRendered) - 1, std::max(firstRendered, lastRendered) + 1};
}

TickWindow ticksOf(FrameWindow window, double ticksPerFrame) {
  const double first = window.first * ticksPerFrame, last = window.last * ticksPerFrame;
  return {static_cast<std::int64_t>(std::floor(first + kTickNoise)),
          static_cast<std::int64_t>(std::ceil(last - kTickNoise))};
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
