// The USD layer reader as it stood before it was made fast: one
// byte at a time through a state machine. The fuzz target holds the
// program's reader to the same plan as this one on every input.

#include "usda_reader_reference.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/byte_cursor.h"
#include "scene/recognisers.h"

namespace reference {

namespace {

// A longer path is no file a render opens (Windows' own limit is 32767);
// one past it names nothing, and so is not kept growing.
constexpr std::size_t kMaxPathBytes = 32768;
// Names longer than this are none the reader looks for.
constexpr std::size_t kMaxNameBytes = 256;
// How many nested `name =` the reader remembers for naming what it finds.
constexpr std::size_t kMaxNames = 64;

bool isNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':' ||
         c == '.';
}

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// A clip set's pattern of numbered files, as clips and as the older
// metadata name it.
bool namesTemplate(const std::string& name) {
  return name == "templateAssetPath" || name == "clipTemplateAssetPath";
}

// The layer's text, one byte at a time: where it is (code, a comment, a
// string, an asset path), how deep in brackets, what was assigned at each
// depth, and the path or string being read.
class LayerScanner {
 public:
  void feed(char c, std::int64_t at);
  FilePlan take() { return std::move(plan_); }

 private:
  enum class State {
    kCode,
    kComment,     // `#` to the end of the line; the `#usda` header is one
    kQuote,       // one quote seen: a string, or two more make a long one
    kQuotes,      // two quotes seen: an empty string, or a long one
    kString,      // "..." or '...', on one line, with backslash escapes
    kLongString,  // """...""" or '''...''', over lines
    kAt,          // `@` seen: a path, or `@@` an empty one, or `@@@`
    kAts,         // `@@` seen
    kPath,        // @...@
    kLongPath,    // @@@...@@@, which may hold `@` and `@@`
  };
  // A `name =` and how deep in brackets it stands.
  struct Assigned {
    std::int64_t depth;
    std::string name;
    bool valueSeen;
  };

  void code(char c);
  void assign();
  void closeBracket();
  void openString();
  void beginText(std::int64_t at, bool keep);
  void addText(char c);
  void endText(std::size_t closing);

  State state_ = State::kCode;
  char quote_ = '"';
  bool escaped_ = false;
  int closing_ = 0;  // the closing quotes or `@` of a long form seen in a row

  std::string name_;  // the name being read, or the last one read
  bool inName_ = false;
  std::int64_t depth_ = 0;  // open brackets of any kind
  std::vector<Assigned> assigned_;
  std::int64_t assetInfoDepth_ = -1;  // where `assetInfo =` stands while inside it

  bool keep_ = false;  // the text read is a path to report
  std::string text_;
  std::int64_t textAt_ = 0;
  std::int64_t textLength_ = 0;

  FilePlan plan_;
};

void LayerScanner::feed(char c, std::int64_t at) {
  for (;;) {
    switch (state_) {
      case State::kCode:
        code(c);
        return;
      case State::kComment:
        if (isLineEnd(c)) state_ = State::kCode;
        return;
      case State::kQuote:
        if (c == quote_) {
          state_ = State::kQuotes;
          return;
        }
        state_ = State::kString;
        beginText(at, keep_);
        continue;
      case State::kQuotes:
        if (c == quote_) {
          state_ = State::kLongString;
          beginText(at + 1, keep_);
          return;
        }
        // An empty string, which names nothing.
        state_ = State::kCode;
        continue;
      case State::kString:
        if (escaped_) {
          escaped_ = false;
        } else if (c == '\\') {
          escaped_ = true;
        } else if (c == quote_) {
          endText(0);
          return;
        } else if (isLineEnd(c)) {
          // Not closed on its line: a broken string, which names nothing.
          state_ = State::kCode;
          return;
        }
        addText(c);
        return;
      case State::kLongString:
        if (escaped_) {
          escaped_ = false;
          closing_ = 0;
        } else if (c == '\\') {
          escaped_ = true;
          closing_ = 0;
        } else if (c == quote_) {
          if (++closing_ == 3) {
            endText(2);
            return;
          }
        } else {
          closing_ = 0;
        }
        addText(c);
        return;
      case State::kAt:
        if (c == '@') {
          state_ = State::kAts;
          return;
        }
        state_ = State::kPath;
        beginText(at, assetInfoDepth_ < 0);
        continue;
      case State::kAts:
        if (c == '@') {
          state_ = State::kLongPath;
          beginText(at + 1, assetInfoDepth_ < 0);
          return;
        }
        // `@@`, an empty path, names nothing.
        state_ = State::kCode;
        continue;
      case State::kPath:
      case State::kLongPath:
        if (isLineEnd(c)) {
          // Not closed on its line: no path.
          state_ = State::kCode;
          return;
        }
        if (c != '@') {
          closing_ = 0;
        } else if (state_ == State::kPath) {
          endText(0);
          return;
        } else if (++closing_ == 3) {
          endText(2);
          return;
        }
        addText(c);
        return;
    }
  }
}

void LayerScanner::code(char c) {
  if (isNameByte(c)) {
    if (!inName_) name_.clear();
    inName_ = true;
    if (name_.size() < kMaxNameBytes) name_ += c;
    return;
  }
  inName_ = false;
  // Spaces and comments keep the last name for an `=` after them.
  if (c == ' ' || c == '\t' || isLineEnd(c)) return;
  switch (c) {
    case '#':
      state_ = State::kComment;
      return;
    case '"':
    case '\'':
      quote_ = c;
      state_ = State::kQuote;
      openString();
      break;
    case '@':
      state_ = State::kAt;
      break;
    case '=':
      assign();
      break;
    case '(':
    case '[':
    case '{':
      ++depth_;
      break;
    case ')':
    case ']':
    case '}':
      closeBracket();
      break;
    default:
      break;
  }
  name_.clear();
}

void LayerScanner::assign() {
  // A new `name =` ends what was assigned at this depth and below it.
  while (!assigned_.empty() && assigned_.back().depth >= depth_) assigned_.pop_back();
  if (assetInfoDepth_ >= depth_) assetInfoDepth_ = -1;
  if (name_ == "assetInfo" && assetInfoDepth_ < 0) assetInfoDepth_ = depth_;
  if (assigned_.size() < kMaxNames) assigned_.push_back({depth_, name_, false});
}

void LayerScanner::closeBracket() {
  if (depth_ > 0) --depth_;
  while (!assigned_.empty() && assigned_.back().depth > depth_) assigned_.pop_back();
  if (assetInfoDepth_ > depth_) assetInfoDepth_ = -1;
}

void LayerScanner::openString() {
  // The string assigned to a clip set's template is a path: the pattern
  // of its numbered files (`./clip.###.usd`), which the walk expands.
  keep_ = false;
  if (assigned_.empty() || assetInfoDepth_ >= 0) return;
  Assigned& last = assigned_.back();
  if (last.depth != depth_ || last.valueSeen) return;
  last.valueSeen = true;
  keep_ = namesTemplate(last.name);
}

void LayerScanner::beginText(std::int64_t at, bool keep) {
  keep_ = keep;
  escaped_ = false;
  closing_ = 0;
  text_.clear();
  textAt_ = at;
  textLength_ = 0;
}

void LayerScanner::addText(char c) {
  if (!keep_) return;
  ++textLength_;
  // Room for the two closing bytes of a long form, which endText takes off.
  if (text_.size() < kMaxPathBytes + 2) text_ += c;
}

// The text ends; its last `closing` bytes were the start of its closing
// delimiter.
void LayerScanner::endText(std::size_t closing) {
  state_ = State::kCode;
  if (!keep_) return;
  keep_ = false;
  textLength_ -= static_cast<std::int64_t>(closing);
  if (textLength_ <= 0 || textLength_ > static_cast<std::int64_t>(kMaxPathBytes)) return;
  text_.resize(static_cast<std::size_t>(textLength_));
  FoundPath found;
  found.named.kind = DependencyKind::kTexture;
  found.named.attribute = assigned_.empty() ? std::string() : assigned_.back().name;
  found.named.written = text_;
  found.named.recorded = recordedPath(text_);
  found.named.resolved = found.named.recorded;
  found.offset = textAt_;
  found.length = textLength_;
  plan_.found.push_back(std::move(found));
}

}  // namespace

FilePlan readUsdaLayer(ByteCursor& in) {
  LayerScanner scanner;
  for (std::string_view block = in.ahead(); !block.empty(); block = in.ahead()) {
    const std::int64_t at = in.offset();
    for (std::size_t i = 0; i < block.size(); ++i) scanner.feed(block[i], at + static_cast<std::int64_t>(i));
    in.pass(block.size());
  }
  // A path or string the layer leaves open names nothing.
  return scanner.take();
}

}  // namespace reference
