#include "caches/particle_cache.h"

#include <cmath>
#include <limits>
#include <set>

#include "caches/frame_rate.h"
#include "caches/name_parts.h"
#include "caches/number_text.h"

std::optional<ParticleCacheFile> particleCacheFile(std::string_view name) {
  const std::optional<std::string_view> stem = beforeSuffix(name, ".pdc");
  if (!stem) return std::nullopt;
  const std::size_t dot = stem->rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  const std::optional<std::int64_t> ticks = wholeNumber(stem->substr(dot + 1));
  if (!ticks) return std::nullopt;
  return ParticleCacheFile{stem->substr(0, dot), *ticks};
}

CacheSelection selectDiskCache(const std::vector<std::string>& names, FrameWindow window, double framesPerSecond) {
  return selectByTime(
      names,
      [](std::string_view name) -> std::optional<std::int64_t> {
        const std::optional<ParticleCacheFile> file = particleCacheFile(name);
        if (!file) return std::nullopt;
        return file->ticks;
      },
      ticksOf(window, ticksPerFrame(framesPerSecond)));
}

CacheSelection selectStartupCache(const std::vector<std::string>& names, std::string_view shape) {
  const TickWindow always{std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
  return selectByTime(
      names,
      [shape](std::string_view name) -> std::optional<std::int64_t> {
        const std::optional<ParticleCacheFile> file = particleCacheFile(name);
        if (!file || !sameFileName(file->shape, shape)) return std::nullopt;
        return file->ticks;
      },
      always);
}

std::size_t particleFrameCount(const std::vector<std::string>& names, double framesPerSecond, std::string_view shape) {
  // A frame's time written rounded down (frame 3 at 23.976 fps, tick
  // 750.75, as 750) is still that frame: a tick later counts as it.
  std::set<double> frames;
  for (const std::string& name : names) {
    const std::optional<ParticleCacheFile> file = particleCacheFile(name);
    if (!file || (!shape.empty() && !sameFileName(file->shape, shape))) continue;
    frames.insert(std::floor(static_cast<double>(file->ticks + 1) / ticksPerFrame(framesPerSecond)));
  }
  return frames.size();
}
