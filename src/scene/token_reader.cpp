// The reader of binary scenes. It does not interpret the format: it looks
// only for runs of printable text that begin with a letter, where scene
// and texture paths are stored. Every byte that is not part of a token is
// written straight to the rewritten copy.

#include "job/scene_job.h"

namespace {

bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isPrintable(unsigned char c) { return c >= 0x20 && c <= 0x7E; }

const std::size_t kMinTokenBytes = 3;

}  // namespace

int SceneJob::readToken() {
  statement[0] = '\0';
  statementLength = 0;
  if (!sceneStream) return 0;
  FilterStream& stream = *sceneStream;

  std::size_t n = 0;
  char c;
  while (stream.getChar(c)) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (n == static_cast<std::size_t>(kMaxTokenBytes)) {
      // A token at the length limit; the byte begins the next scan.
      stream.ungetChar(c);
      break;
    }
    if (isLetter(byte) || (n > 0 && isPrintable(byte))) {
      statement[n++] = c;
      continue;
    }
    if (n >= kMinTokenBytes) {
      // The breaking byte is written on the next call, after the caller
      // has written the token.
      stream.ungetChar(c);
      break;
    }
    stream.putBytes(statement, n);
    stream.putChar(c);
    n = 0;
  }

  if (n < kMinTokenBytes) {
    stream.putBytes(statement, n);
    statement[0] = '\0';
    return 0;
  }
  statement[n] = '\0';
  statementLength = n;
  return 1;
}
