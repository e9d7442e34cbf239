#pragma once
// Where an ASCII statement ends. The grammar knows only the semicolon that
// ends a statement, the two comment forms at its start (`//` up to the line
// end, `/*` up to `*/`) and, in `file` statements, double-quoted strings,
// which may hold semicolons ("v=0;") and escape a quote with a backslash.
// Both ways of reading a statement (whole in memory, or piece by piece
// from the stream) follow it through this one class.

#include <cstddef>

class StatementGrammar {
 public:
  // A statement that begins with these two bytes (a one-byte statement,
  // "\n", is the reader's own case).
  StatementGrammar(char first, char second);

  // The place in bytes[0, size) of the byte that ends the statement, or
  // kNowhere when it does not end there: the bytes are then part of it.
  // `before` is the statement's byte just before these. `noteF`: note an
  // 'f' on the way, for mayHoldKeyword.
  std::size_t findEnd(const char* bytes, std::size_t size, char before, bool noteF);

  // False only for a statement without an 'f' in the bytes looked at, which
  // none of the recognisers' keywords can stand in.
  bool mayHoldKeyword() const;

 private:
  enum class Comment { kNone, kLine, kBlock };
  enum class Word { kUndecided, kFile, kOther };

  // Whether the first word is `file` followed by a blank, byte by byte.
  void feedWord(char c);
  // The quotes of a file statement, byte by byte.
  void feedQuote(char c);

  Comment comment_ = Comment::kNone;
  Word word_ = Word::kUndecided;
  int matched_ = 0;  // bytes of "file" matched so far
  bool inString_ = false;
  bool escaped_ = false;
  bool sawF_ = false;
  bool endedByByte_ = false;  // ended while the first word was still being read
};
