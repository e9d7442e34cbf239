#pragma once
// Cutting an ASCII scene into statements, read through a cursor, as the
// statement grammar (scene/statement_grammar.h) tells where each ends.
// Whatever the reader hands out, joined in order with what it passed on
// to the copy, is the scene byte for byte.

#include <cstddef>

#include "scene/unit_buffer.h"

class ByteCursor;
class NodeTracker;

class StatementReader {
 public:
  // A statement holds at most this many bytes of the scene, plus one line
  // end taken from the look-ahead; `statement` holds kCapacity bytes.
  static constexpr std::size_t kMaxBytes = 40958;
  static constexpr std::size_t kCapacity = 40960;

  // Reads from `in` into `statement` (NUL-terminated, `length` bytes, NUL
  // bytes of the scene included); `cut` tells that the last statement
  // read reached the length limit, so the next one is its rest.
  StatementReader(ByteCursor& in, char* statement, std::size_t& length, bool& cut)
      : in_(in), unit_{statement, length}, cut_(cut) {}

  // The next statement, taken out of the copy's way: the caller writes it,
  // or what stands in its place. 0 at the end of the scene. A statement
  // that reaches the length limit prints a message.
  int read();
  // The next statement that may concern the recognisers: one in which a
  // recogniser's keyword stands, or that sets a path attribute of the
  // table on the node `node` follows. Every statement before it goes to
  // the copy as it is.
  int readMarked(NodeTracker& node);

 private:
  void clear() { unit_.clear(); }

  ByteCursor& in_;
  UnitBuffer unit_;
  bool& cut_;
};
