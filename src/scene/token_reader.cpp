// The reader of binary scenes. It does not interpret the format: it looks
// only for runs of printable text that begin with a letter, where scene
// and texture paths are stored. Every byte that is not part of a token is
// written straight to the rewritten copy.
//
// Both readers work on the part of the scene that the stream holds in
// memory, in tight loops that the compiler sees whole, and write the bytes
// they pass over in blocks.

#include <algorithm>
#include <cstring>
#include <string_view>

#include "io/byte_cursor.h"
#include "job/scene_job.h"
#include "scene/token_reader.h"
#include "scene/unit_buffer.h"
#include "scene/binary_markers.h"
#include "scene/byte_search.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace {

inline bool isLetter(char c) {
  return static_cast<unsigned char>((static_cast<unsigned char>(c) | 0x20) - 'a') < 26;
}
inline bool isPrintable(char c) { return static_cast<unsigned char>(static_cast<unsigned char>(c) - 0x20) < 0x5F; }

const std::size_t kMinTokenBytes = TokenReader::kMinBytes;

struct MarkerPlace {
  std::size_t at;
  std::size_t length;
};

MarkerPlace markerAt(const char* base, std::size_t size, std::size_t at) {
  if (size - at >= kReferenceMarkerLength && std::memcmp(base + at, kReferenceMarker, kReferenceMarkerLength) == 0) {
    return {at, kReferenceMarkerLength};
  }
  if (size - at >= kTextureMarkerLength && std::memcmp(base + at, kTextureMarker, kTextureMarkerLength) == 0) {
    return {at, kTextureMarkerLength};
  }
  return {kNowhere, 0};
}

// The first place in base[0, size) where either marker starts.
MarkerPlace findMarker(const char* base, std::size_t size) {
  std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  // Sixteen places at a time: a place is looked at closely only when its
  // first two bytes begin a marker, "ft" or "FR", which in scene data is
  // rare even where single letters are not.
  const __m128i f = _mm_set1_epi8('f');
  const __m128i t = _mm_set1_epi8('t');
  const __m128i capitalF = _mm_set1_epi8('F');
  const __m128i capitalR = _mm_set1_epi8('R');
  const auto starts = [&](std::size_t at) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at + 1));
    const __m128i texture = _mm_and_si128(_mm_cmpeq_epi8(first, f), _mm_cmpeq_epi8(second, t));
    const __m128i reference = _mm_and_si128(_mm_cmpeq_epi8(first, capitalF), _mm_cmpeq_epi8(second, capitalR));
    return _mm_or_si128(texture, reference);
  };
  for (; i + 65 <= size; i += 64) {
    const __m128i a = starts(i);
    const __m128i b = starts(i + 16);
    const __m128i c = starts(i + 32);
    const __m128i d = starts(i + 48);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) continue;
    const __m128i groups[] = {a, b, c, d};
    for (std::size_t group = 0; group < 4; ++group) {
      unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(groups[group]));
      for (std::size_t bit = 0; mask != 0; ++bit, mask >>= 1) {
        if ((mask & 1u) == 0) continue;
        const MarkerPlace place = markerAt(base, size, i + 16 * group + bit);
        if (place.at != kNowhere) return place;
      }
    }
  }
#endif
  // The rest, and everything where there is no SSE2: by memchr.
  const std::size_t texture = findBytes(base + i, size - i, kTextureMarker, kTextureMarkerLength);
  // Only a reference marker that starts before the texture marker counts.
  const std::size_t bound = texture == kNowhere ? size - i : std::min(size - i, texture + kReferenceMarkerLength - 1);
  const std::size_t reference = findBytes(base + i, bound, kReferenceMarker, kReferenceMarkerLength);
  if (reference < texture) return {i + reference, kReferenceMarkerLength};
  if (texture != kNowhere) return {i + texture, kTextureMarkerLength};
  return {kNowhere, 0};
}

bool holdsMarker(const char* token) {
  return std::strstr(token, kReferenceMarker) != nullptr || std::strstr(token, kTextureMarker) != nullptr;
}

}  // namespace

int TokenReader::read() {
  clear();
  ByteCursor& stream = in_;
  char* statement = unit_.bytes;
  const std::size_t limit = kMaxBytes;

  auto token = [this](std::size_t length) {
    unit_.bytes[length] = '\0';
    unit_.length = length;
    return 1;
  };

  std::size_t n = 0;  // bytes of the open run, kept in `statement`
  for (std::string_view ahead = stream.ahead(); !ahead.empty(); ahead = stream.ahead()) {
    const char* base = ahead.data();
    const std::size_t size = ahead.size();
    std::size_t i = 0;
    std::size_t through = 0;  // base[through, i) passes through unchanged

    if (n > 0) {
      // The run that the part before ended in goes on.
      const std::size_t end = std::min(size, limit - n);
      while (i < end && isPrintable(base[i])) ++i;
      std::memcpy(statement + n, base, i);
      n += i;
      if (n == limit) {
        // A token at the length limit; the next byte begins the next scan.
        stream.skip(i);
        return token(n);
      }
      if (i == size) {
        stream.skip(i);
        continue;
      }
      if (n >= kMinTokenBytes) {
        // The breaking byte is written on the next call, after the caller
        // has written the token.
        stream.skip(i);
        return token(n);
      }
      stream.put(statement, n);
      n = 0;
      through = i++;  // the breaking byte passes through
    }

    for (;;) {
      while (i < size && !isLetter(base[i])) ++i;
      if (i == size) break;
      const std::size_t start = i;
      const std::size_t end = std::min(size, start + limit);
      ++i;
      while (i < end && isPrintable(base[i])) ++i;
      const std::size_t length = i - start;
      if (length == limit || (i < size && length >= kMinTokenBytes)) {
        stream.put(base + through, start - through);
        std::memcpy(statement, base + start, length);
        stream.skip(i);
        return token(length);
      }
      if (i == size) {
        // The run may go on in what follows.
        stream.put(base + through, start - through);
        std::memcpy(statement, base + start, length);
        n = length;
        through = size;
        break;
      }
      ++i;  // a run too short for a token and the byte that broke it pass through
    }
    stream.put(base + through, size - through);
    stream.skip(size);
  }

  // The end of the scene.
  if (n >= kMinTokenBytes) return token(n);
  stream.put(statement, n);
  statement[0] = '\0';
  return 0;
}

int TokenReader::readMarked() {
  clear();
  ByteCursor& stream = in_;
  char* statement = unit_.bytes;
  const std::size_t limit = kMaxBytes;

  // No run is open at the cursor each time round: it stands at the start
  // of the scene, after a breaking byte, or after a token.
  for (std::string_view ahead = stream.ahead(); !ahead.empty(); ahead = stream.ahead()) {
    const char* base = ahead.data();
    const std::size_t size = ahead.size();
    const MarkerPlace marker = findMarker(base, size);

    std::int64_t exactUntil;
    if (marker.at == kNowhere) {
      // Up to the last breaking byte no token holds a marker, and after
      // that byte no run is open.
      std::size_t last = size;
      while (last > 0 && isPrintable(base[last - 1])) --last;
      stream.pass(last);
      if (last == size) continue;
      // A printable stretch runs to the end of what is in memory, and a
      // marker may start in it.
      exactUntil = stream.offset() + static_cast<std::int64_t>(size - last);
    } else {
      // The printable stretch that holds the marker; its run begins at its
      // first letter, the bytes before that are breaking ones.
      std::size_t start = marker.at;
      while (start > 0 && isPrintable(base[start - 1])) --start;
      std::size_t end = marker.at + marker.length;
      while (end < size && isPrintable(base[end])) ++end;
      std::size_t first = start;
      while (!isLetter(base[first])) ++first;
      if (end < size && end - first <= limit) {
        // One token, ended by the breaking byte at `end`. Nothing before it
        // holds a marker.
        stream.put(base, first);
        std::memcpy(statement, base + first, end - first);
        stream.skip(end);
        statement[end - first] = '\0';
        unit_.length = end - first;
        return 1;
      }
      // The stretch goes on past what is in memory, or past the token limit.
      stream.pass(start);
      exactUntil = stream.offset() + static_cast<std::int64_t>(marker.at + marker.length - start);
    }

    // Token by token, exactly as readToken cuts them.
    while (stream.offset() < exactUntil) {
      if (read() == 0) return 0;
      if (holdsMarker(statement)) return 1;
      stream.put(statement, unit_.length);
    }
  }
  clear();
  return 0;
}

int SceneJob::readToken() {
  UnitBuffer{statement, statementLength}.clear();
  if (!sceneStream) return 0;
  return TokenReader(*sceneStream, statement, statementLength).read();
}


static_assert(TokenReader::kMaxBytes == SceneJob::kMaxTokenBytes, "the record's token is the reader's");
