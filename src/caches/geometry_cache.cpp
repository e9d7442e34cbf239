#include "caches/geometry_cache.h"

#include "caches/name_parts.h"
#include "caches/number_text.h"

namespace {

struct FormatName {
  std::string_view attribute;  // Format="..."
  CacheFormat format;
};

// An empty Format is a cache from before `.mcx` existed.
constexpr FormatName kFormats[] = {{"mcc", CacheFormat::kMc}, {"mcx", CacheFormat::kMcx}, {"", CacheFormat::kMc}};

std::string_view extensionOf(CacheFormat format) { return format == CacheFormat::kMcx ? ".mcx" : ".mc"; }

// "first-last": the '-' that parts them is the first one after a digit.
std::optional<std::pair<std::int64_t, std::int64_t>> tickRange(std::string_view range) {
  for (std::size_t at = 1; at < range.size(); ++at) {
    if (range[at] != '-' || range[at - 1] < '0' || range[at - 1] > '9') continue;
    const std::optional<std::int64_t> first = wholeNumber(range.substr(0, at)),
                                      last = wholeNumber(range.substr(at + 1));
    if (!first || !last || *first > *last) return std::nullopt;
    return std::make_pair(*first, *last);
  }
  return std::nullopt;
}

// The whole number that begins the text, taken off it; nothing when none
// does.
std::optional<std::int64_t> leadingNumber(std::string_view& text) {
  const std::size_t length = leadingNumberLength(text);
  const std::optional<std::int64_t> number = wholeNumber(text.substr(0, length));
  text.remove_prefix(length);
  return number;
}

}  // namespace

std::optional<CacheDescription> describeCache(std::string_view type, std::string_view format,
                                              std::string_view range, std::string_view timePerFrame) {
  CacheDescription description{};
  if (type == "OneFile") {
    description.layout = CacheLayout::kOneFile;
  } else if (type == "OneFilePerFrame") {
    description.layout = CacheLayout::kOneFilePerFrame;
  } else {
    return std::nullopt;
  }
  const FormatName* known = nullptr;
  for (const FormatName& row : kFormats) {
    if (row.attribute == format) known = &row;
  }
  const auto ticks = tickRange(range);
  const std::optional<std::int64_t> perFrame = wholeNumber(timePerFrame);
  if (known == nullptr || !ticks || !perFrame || *perFrame <= 0) return std::nullopt;
  description.format = known->format;
  description.firstTick = ticks->first;
  description.lastTick = ticks->second;
  description.ticksPerFrame = *perFrame;
  return description;
}

std::string cacheDescriptionName(std::string_view cacheName) { return std::string(cacheName) + ".xml"; }

std::optional<std::int64_t> frameFileTime(std::string_view fileName, std::string_view cacheName,
                                          const CacheDescription& description) {
  std::optional<std::string_view> rest = beforeSuffix(fileName, extensionOf(description.format));
  if (rest) rest = afterPrefix(*rest, cacheName);
  if (rest) rest = afterPrefix(*rest, "Frame");
  if (!rest) return std::nullopt;
  const std::optional<std::int64_t> frame = leadingNumber(*rest);
  std::optional<std::int64_t> tick = 0;
  if (const std::optional<std::string_view> afterTick = afterPrefix(*rest, "Tick")) {
    rest = afterTick;
    tick = leadingNumber(*rest);
  }
  if (!frame || !tick || !rest->empty()) return std::nullopt;
  return *frame * description.ticksPerFrame + *tick;
}

CacheSelection selectCacheFiles(const std::vector<std::string>& names, std::string_view cacheName,
                                const CacheDescription& description, TickWindow window) {
  CacheSelection selection;
  if (description.layout == CacheLayout::kOneFilePerFrame) {
    selection = selectByTime(
        names, [&](std::string_view name) { return frameFileTime(name, cacheName, description); }, window);
  } else {
    const std::string dataName = std::string(cacheName) + std::string(extensionOf(description.format));
    const bool read = window.overlaps(description.firstTick, description.lastTick);
    for (const std::string& name : names) {
      if (!sameFileName(name, dataName)) continue;
      selection.timesInAll = 1;
      if (read) selection.files.push_back(name), selection.timesStaged = 1;
    }
  }
  for (const std::string& name : names) {
    if (sameFileName(name, cacheDescriptionName(cacheName))) selection.files.insert(selection.files.begin(), name);
  }
  return selection;
}
