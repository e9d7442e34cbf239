#include "scene/statement_grammar.h"

#include <cstdint>

#include "scene/byte_search.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace {

bool isBlankOrLineEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A slash right after an asterisk; `before` is the byte stored just
// before these.
std::size_t findBlockCommentEnd(const char* bytes, std::size_t size, char before) {
  for (std::size_t from = 0; from < size;) {
    const std::size_t slash = findByte(bytes + from, size - from, '/');
    if (slash == kNowhere) return kNowhere;
    const std::size_t at = from + slash;
    if ((at == 0 ? before : bytes[at - 1]) == '*') return at;
    from = at + 1;
  }
  return kNowhere;
}

// The place of the lowest bit set in a mask that is not 0.
inline std::uint32_t lowestBit(std::uint32_t mask) {
#if defined(__GNUC__) || defined(__clang__)
  return static_cast<std::uint32_t>(__builtin_ctz(mask));
#else
  std::uint32_t at = 0;
  while ((mask & 1u) == 0) {
    mask >>= 1;
    ++at;
  }
  return at;
#endif
}

// The first semicolon in bytes[0, size), or kNowhere; `sawF` is set when
// an 'f' comes before it. One pass where two memchr would take two.
std::size_t findSemicolonNotingF(const char* bytes, std::size_t size, bool& sawF) {
  std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i semicolon = _mm_set1_epi8(';');
  const __m128i f = _mm_set1_epi8('f');
  for (; i + 32 <= size; i += 32) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 16));
    const std::uint32_t semicolons =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, semicolon))) |
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, semicolon))) << 16;
    const std::uint32_t fs = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, f))) |
                             static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, f))) << 16;
    if (semicolons == 0) {
      if (fs != 0) sawF = true;
      continue;
    }
    const std::uint32_t end = lowestBit(semicolons);
    if ((fs & ((std::uint32_t{1} << end) - 1)) != 0) sawF = true;
    return i + end;
  }
#endif
  for (; i < size; ++i) {
    if (bytes[i] == ';') return i;
    if (bytes[i] == 'f') sawF = true;
  }
  return kNowhere;
}

}  // namespace

StatementGrammar::StatementGrammar(char first, char second) {
  // The first two bytes fix the comment form and never end the statement.
  if (first == '/' && second == '*') comment_ = Comment::kBlock;
  if (first == '/' && second == '/') comment_ = Comment::kLine;
  sawF_ = first == 'f' || second == 'f';
  feedWord(first);
  feedWord(second);
}

void StatementGrammar::feedWord(char c) {
  if (word_ != Word::kUndecided) return;
  static const char kWord[] = "file";
  if (matched_ == 0 && isBlankOrLineEnd(c)) return;
  if (matched_ < 4) {
    if (c == kWord[matched_]) {
      ++matched_;
    } else {
      word_ = Word::kOther;
    }
    return;
  }
  word_ = (c == ' ' || c == '\t') ? Word::kFile : Word::kOther;
}

void StatementGrammar::feedQuote(char c) {
  if (!inString_) {
    if (c == '"') inString_ = true;
    return;
  }
  if (escaped_) {
    escaped_ = false;
  } else if (c == '\\') {
    escaped_ = true;
  } else if (c == '"') {
    inString_ = false;
  }
}

std::size_t StatementGrammar::findEnd(const char* bytes, std::size_t size, char before, bool noteF) {
  std::size_t n = 0;
  // Byte by byte until the first word tells whether this is a file
  // statement, which takes a few bytes at most.
  for (; comment_ == Comment::kNone && word_ == Word::kUndecided; ++n) {
    if (n == size) return kNowhere;
    const char c = bytes[n];
    if (c == 'f') sawF_ = true;
    feedWord(c);
    bool ends;
    if (word_ == Word::kFile) {
      ends = c == ';' && !inString_;
      feedQuote(c);
    } else {
      ends = c == ';';
    }
    if (ends) {
      endedByByte_ = true;
      return n;
    }
  }
  if (n == size) return kNowhere;
  const char* rest = bytes + n;
  const std::size_t left = size - n;
  std::size_t found;
  switch (comment_) {
    case Comment::kBlock:
      found = findBlockCommentEnd(rest, left, n == 0 ? before : bytes[n - 1]);
      break;
    case Comment::kLine:
      found = findByte(rest, left, '\n');
      break;
    default:
      if (word_ == Word::kFile) {
        found = kNowhere;
        for (std::size_t i = 0; i < left; ++i) {
          if (rest[i] == ';' && !inString_) {
            found = i;
            break;
          }
          feedQuote(rest[i]);
        }
      } else {
        found = noteF ? findSemicolonNotingF(rest, left, sawF_) : findByte(rest, left, ';');
      }
      break;
  }
  return found == kNowhere ? kNowhere : n + found;
}

bool StatementGrammar::mayHoldKeyword() const {
  return comment_ != Comment::kNone || word_ == Word::kFile || endedByByte_ || sawF_;
}
