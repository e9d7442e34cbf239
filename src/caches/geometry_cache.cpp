#include "caches/geometry_cache.h"

#include <set>

#include "caches/name_parts.h"
#include "caches/number_text.h"

namespace {

// The whole number that begins the text, taken off it; nothing when none
// does.
std::optional<std::int64_t> leadingNumber(std::string_view& text) {
  const std::size_t length = leadingNumberLength(text);
  const std::optional<std::int64_t> number = wholeNumber(text.substr(0, length));
  text.remove_prefix(length);
  return number;
}

}  // namespace

std::string cacheDescriptionName(std::string_view cacheName) { return std::string(cacheName) + ".xml"; }

std::optional<std::int64_t> frameFileTime(std::string_view fileName, std::string_view cacheName,
                                          const CacheDescription& description) {
  std::optional<std::string_view> rest = beforeSuffix(fileName, dataExtension(description.format));
  if (rest) rest = afterPrefix(*rest, cacheName);
  if (rest) rest = afterPrefix(*rest, "Frame");
  if (!rest) return std::nullopt;
  const std::optional<std::int64_t> frame = leadingNumber(*rest);
  std::optional<std::int64_t> tick = 0;
  if (const std::optional<std::string_view> afterTick = afterPrefix(*rest, "Tick")) {
    rest = afterTick;
    tick = leadingNumber(*rest);
  }
  std::int64_t time = 0;
  if (!frame || !tick || !rest->empty() || __builtin_mul_overflow(*frame, description.ticksPerFrame, &time) ||
      __builtin_add_overflow(time, *tick, &time)) {
    return std::nullopt;
  }
  return time;
}

CacheSelection selectCacheFiles(const std::vector<std::string>& names, std::string_view cacheName,
                                const CacheDescription& description, TickWindow window) {
  CacheSelection selection;
  if (description.layout == CacheLayout::kOneFilePerFrame) {
    selection = selectByTime(
        names, [&](std::string_view name) { return frameFileTime(name, cacheName, description); }, window);
  } else {
    const std::string dataName = std::string(cacheName) + std::string(dataExtension(description.format));
    const bool read = window.overlaps(description.firstTick, description.lastTick);
    for (const std::string& name : names) {
      if (!sameFileName(name, dataName)) continue;
      selection.filesInAll = selection.timesInAll = 1;
      if (read) selection.files.push_back(name), selection.timesStaged = 1;
    }
  }
  for (const std::string& name : names) {
    if (sameFileName(name, cacheDescriptionName(cacheName))) selection.files.insert(selection.files.begin(), name);
  }
  return selection;
}

std::size_t cacheFrameCount(const std::vector<std::string>& names, std::string_view cacheName,
                            const CacheDescription& description) {
  const std::int64_t perFrame = description.ticksPerFrame;
  if (description.layout == CacheLayout::kOneFile) {
    const std::string dataName = std::string(cacheName) + std::string(dataExtension(description.format));
    for (const std::string& name : names) {
      std::int64_t span = 0;
      if (!sameFileName(name, dataName)) continue;
      if (__builtin_sub_overflow(description.lastTick, description.firstTick, &span)) return 1;
      return static_cast<std::size_t>(span / perFrame) + 1;
    }
    return 0;
  }
  std::set<std::int64_t> frames;
  for (const std::string& name : names) {
    const std::optional<std::int64_t> time = frameFileTime(name, cacheName, description);
    if (!time) continue;
    // Rounded down, also below 0.
    frames.insert(*time / perFrame - (*time % perFrame < 0 ? 1 : 0));
  }
  return frames.size();
}
