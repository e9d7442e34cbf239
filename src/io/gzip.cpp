#include "io/gzip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstddef>

namespace {

// zlib counts in uInt; larger inputs go in pieces of at most this.
constexpr std::size_t kMaxPiece = UINT_MAX;
// How much output each call may write.
constexpr std::size_t kOutputStep = std::size_t{1} << 16;
// Window bits that make zlib read and write the gzip format, not its own.
constexpr int kGzipWindowBits = 15 + 16;

uInt piece(std::size_t left) { return static_cast<uInt>(std::min(left, kMaxPiece)); }

// Hands zlib the next piece of `input` once it has used the last one.
void feed(z_stream& stream, std::string_view input, std::size_t& used) {
  if (stream.avail_in != 0) return;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + used));
  stream.avail_in = piece(input.size() - used);
  used += stream.avail_in;
}

// Gives zlib room for kOutputStep more bytes at the end of `output`; the
// room it leaves unused is cut off by settle().
void makeRoom(z_stream& stream, std::string& output) {
  const std::size_t size = output.size();
  output.resize(size + kOutputStep);
  stream.next_out = reinterpret_cast<Bytef*>(&output[size]);
  stream.avail_out = static_cast<uInt>(kOutputStep);
}

void settle(const z_stream& stream, std::string& output) { output.resize(output.size() - stream.avail_out); }

}  // namespace

std::optional<std::string> inflateGzip(std::string_view compressed) {
  if (compressed.empty()) return std::nullopt;
  z_stream stream{};
  if (inflateInit2(&stream, kGzipWindowBits) != Z_OK) return std::nullopt;
  std::string output;
  std::size_t used = 0;  // bytes of `compressed` handed to zlib
  bool whole = false;
  for (;;) {
    feed(stream, compressed, used);
    makeRoom(stream, output);
    const int status = inflate(&stream, Z_NO_FLUSH);
    settle(stream, output);
    const bool inputLeft = stream.avail_in != 0 || used < compressed.size();
    if (status == Z_STREAM_END) {
      // A member ends; another may follow it, each with its own header.
      whole = !inputLeft;
      if (whole || inflateReset(&stream) != Z_OK) break;
      continue;
    }
    // A damaged member, or one cut off: all input used, the output not
    // filled, and no end (zlib says Z_BUF_ERROR when it could not move).
    if (status != Z_OK || (!inputLeft && stream.avail_out != 0)) break;
  }
  inflateEnd(&stream);
  if (!whole) return std::nullopt;
  return output;
}

std::string deflateGzip(std::string_view bytes) {
  z_stream stream{};
  // Level 6, zlib's default: what gzip itself writes.
  if (deflateInit2(&stream, 6, Z_DEFLATED, kGzipWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
  // No name, no time, and the same system byte whichever system wrote it.
  gz_header header{};
  header.os = 255;  // "unknown", in the format's own words
  deflateSetHeader(&stream, &header);
  std::string output;
  std::size_t used = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    feed(stream, bytes, used);
    const bool last = used == bytes.size();
    makeRoom(stream, output);
    status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
    settle(stream, output);
    if (status == Z_STREAM_ERROR) break;
  }
  deflateEnd(&stream);
  return output;
}
