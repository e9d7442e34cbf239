#pragma once
// What a cacheFile node's description (`<cn>.xml`) says of its cache: one
// file or one per sample, in which of the two file formats, the times it
// spans and the ticks from one frame to the next.

#include <cstdint>
#include <optional>
#include <string_view>

enum class CacheLayout { kOneFile, kOneFilePerFrame };
enum class CacheFormat { kMc, kMcx };

// What the description says: `<cacheType Type=".." Format=".."/>`,
// `<time Range="first-last"/>`, `<cacheTimePerFrame TimePerFrame=".."/>`.
struct CacheDescription {
  CacheLayout layout;
  CacheFormat format;
  std::int64_t firstTick;
  std::int64_t lastTick;
  std::int64_t ticksPerFrame;
};

// The description from the values of those four attributes: Type
// "OneFile" or "OneFilePerFrame"; Format "mcc" (files `.mc`), "mcx", or
// empty as in caches from before the second format; Range two whole
// numbers of ticks, either negative ("-500-3000"); TimePerFrame above 0.
// Nothing when a value is none of these.
std::optional<CacheDescription> describeCache(std::string_view type, std::string_view format,
                                              std::string_view range, std::string_view timePerFrame);

// The extension of the cache's data files: ".mc" or ".mcx".
std::string_view dataExtension(CacheFormat format);

// The description a `<cn>.xml` file holds, from the attributes of the
// elements `cacheType`, `time` and `cacheTimePerFrame` under its root;
// nothing when it is no well-formed XML or describeCache takes none.
std::optional<CacheDescription> readCacheDescription(std::string_view xml);
