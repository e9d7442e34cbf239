#pragma once
// Gzip in memory: a compressed file (an `.ass.gz`) read whole into the
// bytes it holds, and bytes compressed again for its copy.

#include <optional>
#include <string>
#include <string_view>

// The bytes a gzip file holds: its members, one after another, inflated.
// Nothing when the bytes are not whole gzip members from first to last
// byte (a cut-off file, a damaged one, bytes after the last member).
std::optional<std::string> inflateGzip(std::string_view compressed);

// `bytes` as one gzip member. The header records no name and no time, so
// the same bytes give the same file on every build and every day.
std::string deflateGzip(std::string_view bytes);
