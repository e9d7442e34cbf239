#include "caches/cache_description.h"

#include <utility>

#include <pugixml.hpp>

#include "caches/number_text.h"

namespace {

struct FormatName {
  std::string_view attribute;  // Format="..."
  CacheFormat format;
};

// An empty Format is a cache from before `.mcx` existed.
constexpr FormatName kFormats[] = {{"mcc", CacheFormat::kMc}, {"mcx", CacheFormat::kMcx}, {"", CacheFormat::kMc}};

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

std::string_view dataExtension(CacheFormat format) { return format == CacheFormat::kMcx ? ".mcx" : ".mc"; }

std::optional<CacheDescription> readCacheDescription(std::string_view xml) {
  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size())) return std::nullopt;
  const pugi::xml_node root = document.document_element();
  const pugi::xml_node type = root.child("cacheType");
  return describeCache(type.attribute("Type").value(), type.attribute("Format").value(),
                       root.child("time").attribute("Range").value(),
                       root.child("cacheTimePerFrame").attribute("TimePerFrame").value());
}
