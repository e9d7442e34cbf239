#include "scene/usda_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/byte_cursor.h"
#include "io/memory_cursor.h"
#include "scene/byte_classes.h"
#include "scene/recognisers.h"

namespace {

// A longer path is no file a render opens (Windows' own limit is 32767);
// one past it names nothing, and so is not kept growing.
constexpr std::size_t kMaxPathBytes = 32768;
// Names longer than this are none the reader looks for.
constexpr std::size_t kMaxNameBytes = 256;
// How many nested `name =` the reader remembers for naming what it finds.
constexpr std::size_t kMaxNames = 64;

// In code, the bytes that do something besides naming: all the others are
// name bytes, spaces, or bytes that end a name, and the name before an
// `=` or a comment is found by looking back from it.
constexpr ByteClass kCodeStops = byteClass("#\"'@=([{)]}");
constexpr ByteClass kLineEnds = byteClass("\n\r");
constexpr ByteClass kPathStops = byteClass("@\n\r");
constexpr ByteClass kStringStops[2] = {byteClass("\"\\\n\r"), byteClass("'\\\n\r")};
constexpr ByteClass kLongStringStops[2] = {byteClass("\"\\"), byteClass("'\\")};

constexpr ByteClass kNameBytes = byteClass("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_:.");
constexpr ByteClass kBlanks = byteClass(" \t\n\r");

bool isNameByte(char c) { return inClass(kNameBytes, c); }
bool isBlank(char c) { return inClass(kBlanks, c); }

// A clip set's pattern of numbered files, as clips and as the older
// metadata name it.
bool namesTemplate(const std::string& name) {
  return name == "templateAssetPath" || name == "clipTemplateAssetPath";
}

// The layer's text, a block at a time: where it is (code, a comment, a
// string, an asset path), how deep in brackets, what was assigned at each
// depth, and the path or string being read. Each state skips the bytes
// that change nothing in it at once, and stops at those that do.
class LayerScanner {
 public:
  // The next block of the layer, which starts at `at` in the file.
  void scan(std::string_view block, std::int64_t at);
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
    std::int64_t depth = 0;
    std::string name;
    bool valueSeen = false;
  };

  // Each reads from block_[i] on and returns where it stopped: past what it
  // read, or at `i` when the byte there is to be read in the new state.
  std::size_t code(std::size_t i);
  std::size_t comment(std::size_t i);
  std::size_t quote(std::size_t i);
  std::size_t quotes(std::size_t i);
  std::size_t string(std::size_t i);
  std::size_t longString(std::size_t i);
  std::size_t atSign(std::size_t i);
  std::size_t atSigns(std::size_t i);
  std::size_t path(std::size_t i);
  std::size_t longPath(std::size_t i);

  void settleName(std::size_t from, std::size_t to);
  void assign();
  void closeBracket();
  void openString();
  void beginText(std::size_t i, std::int64_t offset, bool keep);
  void keepBlockText();
  void endText(std::size_t end, std::size_t closing);

  std::int64_t offsetOf(std::size_t i) const { return blockAt_ + static_cast<std::int64_t>(i); }
  int quoteIndex() const { return quote_ == '"' ? 0 : 1; }

  std::string_view block_;
  std::int64_t blockAt_ = 0;

  State state_ = State::kCode;
  char quote_ = '"';
  bool escaped_ = false;
  int closing_ = 0;  // the closing quotes or `@` of a long form seen in a row

  // The last name read in code (at most kMaxNameBytes of it), as it stands
  // before the bytes of code not yet settled; `inName_` while the byte
  // before them was a name byte, which the next one would go on.
  std::string name_;
  bool inName_ = false;
  std::int64_t depth_ = 0;  // open brackets of any kind
  // The `name =` in force, innermost last: the first assignedCount_ of
  // assigned_; those past them keep their names' storage for the next.
  std::vector<Assigned> assigned_;
  std::size_t assignedCount_ = 0;
  std::int64_t assetInfoDepth_ = -1;  // where `assetInfo =` stands while inside it

  // The text being read, when it is a path to report: where it starts in
  // the file, its bytes from earlier blocks (enough of them to tell one
  // over the limit) and where its bytes start in this block.
  bool keep_ = false;
  std::int64_t textAt_ = 0;
  std::string text_;
  std::size_t textFrom_ = 0;

  FilePlan plan_;
};

void LayerScanner::scan(std::string_view block, std::int64_t at) {
  block_ = block;
  blockAt_ = at;
  textFrom_ = 0;
  std::size_t i = 0;
  while (i < block.size()) {
    switch (state_) {
      case State::kCode: i = code(i); break;
      case State::kComment: i = comment(i); break;
      case State::kQuote: i = quote(i); break;
      case State::kQuotes: i = quotes(i); break;
      case State::kString: i = string(i); break;
      case State::kLongString: i = longString(i); break;
      case State::kAt: i = atSign(i); break;
      case State::kAts: i = atSigns(i); break;
      case State::kPath: i = path(i); break;
      case State::kLongPath: i = longPath(i); break;
    }
  }
  // A text still being read lives past this block: its bytes are kept as
  // bytes of its own (code() has done so for a name).
  keepBlockText();
}

// Code up to the next byte that does something: the name before it is
// settled only when that byte may use it.
std::size_t LayerScanner::code(std::size_t i) {
  const std::size_t stop = skipUntil(block_, i, kCodeStops);
  if (stop == block_.size()) {
    settleName(i, stop);
    return stop;
  }
  const char c = block_[stop];
  switch (c) {
    case '#':
      // A comment keeps the last name for an `=` after it.
      settleName(i, stop);
      inName_ = false;
      state_ = State::kComment;
      return stop + 1;
    case '=':
      settleName(i, stop);
      assign();
      break;
    case '"':
    case '\'':
      quote_ = c;
      state_ = State::kQuote;
      openString();
      break;
    case '@':
      state_ = State::kAt;
      break;
    case '(':
    case '[':
    case '{':
      ++depth_;
      break;
    default:  // ')', ']', '}'
      closeBracket();
      break;
  }
  name_.clear();
  inName_ = false;
  return stop + 1;
}

// The name after the code in block_[from, to), which holds no byte of
// kCodeStops: the last run of name bytes, unless a byte that is neither a
// name byte nor a space ends it; spaces alone leave the name as it was.
void LayerScanner::settleName(std::size_t from, std::size_t to) {
  std::size_t end = to;
  while (end > from && isBlank(block_[end - 1])) --end;
  if (end == from) {
    if (to > from) inName_ = false;
    return;
  }
  if (!isNameByte(block_[end - 1])) {
    name_.clear();
    inName_ = false;
    return;
  }
  std::size_t start = end - 1;
  while (start > from && isNameByte(block_[start - 1])) --start;
  // A run from the start that follows a name byte goes on that name.
  if (start != from || !inName_) name_.clear();
  const std::size_t room = kMaxNameBytes - std::min(kMaxNameBytes, name_.size());
  name_.append(block_.data() + start, std::min(room, end - start));
  inName_ = end == to;
}

std::size_t LayerScanner::comment(std::size_t i) {
  const std::size_t end = skipUntil(block_, i, kLineEnds);
  if (end == block_.size()) return end;
  state_ = State::kCode;
  return end + 1;
}

std::size_t LayerScanner::quote(std::size_t i) {
  if (block_[i] == quote_) {
    state_ = State::kQuotes;
    return i + 1;
  }
  state_ = State::kString;
  beginText(i, offsetOf(i), keep_);
  return i;
}

std::size_t LayerScanner::quotes(std::size_t i) {
  if (block_[i] == quote_) {
    state_ = State::kLongString;
    beginText(i + 1, offsetOf(i) + 1, keep_);
    return i + 1;
  }
  // An empty string, which names nothing.
  state_ = State::kCode;
  return i;
}

std::size_t LayerScanner::string(std::size_t i) {
  const ByteClass& stops = kStringStops[quoteIndex()];
  while (i < block_.size()) {
    if (escaped_) {
      // The escaped byte is the string's, whatever it is.
      escaped_ = false;
      ++i;
      continue;
    }
    i = skipUntil(block_, i, stops);
    if (i == block_.size()) break;
    const char c = block_[i];
    if (c == '\\') {
      escaped_ = true;
      ++i;
    } else if (c == quote_) {
      endText(i, 0);
      return i + 1;
    } else {
      // Not closed on its line: a broken string, which names nothing.
      state_ = State::kCode;
      return i + 1;
    }
  }
  return i;
}

std::size_t LayerScanner::longString(std::size_t i) {
  const ByteClass& stops = kLongStringStops[quoteIndex()];
  while (i < block_.size()) {
    if (escaped_) {
      escaped_ = false;
      closing_ = 0;
      ++i;
      continue;
    }
    const std::size_t stop = skipUntil(block_, i, stops);
    if (stop != i) closing_ = 0;
    i = stop;
    if (i == block_.size()) break;
    if (block_[i] == '\\') {
      escaped_ = true;
      closing_ = 0;
    } else if (++closing_ == 3) {
      // The text ends before the first of the three quotes.
      endText(i, 2);
      return i + 1;
    }
    ++i;
  }
  return i;
}

std::size_t LayerScanner::atSign(std::size_t i) {
  if (block_[i] == '@') {
    state_ = State::kAts;
    return i + 1;
  }
  state_ = State::kPath;
  beginText(i, offsetOf(i), assetInfoDepth_ < 0);
  return i;
}

std::size_t LayerScanner::atSigns(std::size_t i) {
  if (block_[i] == '@') {
    state_ = State::kLongPath;
    beginText(i + 1, offsetOf(i) + 1, assetInfoDepth_ < 0);
    return i + 1;
  }
  // `@@`, an empty path, names nothing.
  state_ = State::kCode;
  return i;
}

std::size_t LayerScanner::path(std::size_t i) {
  i = skipUntil(block_, i, kPathStops);
  if (i == block_.size()) return i;
  if (block_[i] == '@') {
    endText(i, 0);
  } else {
    // Not closed on its line: no path.
    state_ = State::kCode;
  }
  return i + 1;
}

std::size_t LayerScanner::longPath(std::size_t i) {
  while (i < block_.size()) {
    const std::size_t stop = skipUntil(block_, i, kPathStops);
    if (stop != i) closing_ = 0;
    i = stop;
    if (i == block_.size()) break;
    if (block_[i] != '@') {
      // Not closed on its line: no path.
      state_ = State::kCode;
      return i + 1;
    }
    if (++closing_ == 3) {
      endText(i, 2);
      return i + 1;
    }
    ++i;
  }
  return i;
}

void LayerScanner::assign() {
  // A new `name =` ends what was assigned at this depth and below it.
  while (assignedCount_ > 0 && assigned_[assignedCount_ - 1].depth >= depth_) --assignedCount_;
  if (assetInfoDepth_ >= depth_) assetInfoDepth_ = -1;
  if (name_ == "assetInfo" && assetInfoDepth_ < 0) assetInfoDepth_ = depth_;
  if (assignedCount_ == kMaxNames) return;
  if (assignedCount_ == assigned_.size()) assigned_.emplace_back();
  Assigned& next = assigned_[assignedCount_++];
  next.depth = depth_;
  next.name = name_;  // into the storage an earlier name left
  next.valueSeen = false;
}

void LayerScanner::closeBracket() {
  if (depth_ > 0) --depth_;
  while (assignedCount_ > 0 && assigned_[assignedCount_ - 1].depth > depth_) --assignedCount_;
  if (assetInfoDepth_ > depth_) assetInfoDepth_ = -1;
}

void LayerScanner::openString() {
  // The string assigned to a clip set's template is a path: the pattern
  // of its numbered files (`./clip.###.usd`), which the walk expands.
  keep_ = false;
  if (assignedCount_ == 0 || assetInfoDepth_ >= 0) return;
  Assigned& last = assigned_[assignedCount_ - 1];
  if (last.depth != depth_ || last.valueSeen) return;
  last.valueSeen = true;
  keep_ = namesTemplate(last.name);
}

// The text starts at block_[i], `offset` in the file (i may be the block's
// end, the text then starting with the next block).
void LayerScanner::beginText(std::size_t i, std::int64_t offset, bool keep) {
  keep_ = keep;
  escaped_ = false;
  closing_ = 0;
  text_.clear();
  textAt_ = offset;
  textFrom_ = i;
}

// At the end of a block, the bytes of a text to report that it holds join
// those before them, as many as tell whether it is over the limit.
void LayerScanner::keepBlockText() {
  const bool inText = state_ == State::kString || state_ == State::kLongString || state_ == State::kPath ||
                      state_ == State::kLongPath;
  if (!inText || !keep_) return;
  // Room for the two closing bytes of a long form, which endText takes off.
  const std::size_t room = kMaxPathBytes + 2 - std::min(kMaxPathBytes + 2, text_.size());
  const std::size_t from = std::min(textFrom_, block_.size());
  text_.append(block_.data() + from, std::min(room, block_.size() - from));
}

// The text ends before block_[end]; its last `closing` bytes were the
// start of its closing delimiter.
void LayerScanner::endText(std::size_t end, std::size_t closing) {
  state_ = State::kCode;
  if (!keep_) return;
  keep_ = false;
  const std::int64_t length = offsetOf(end) - textAt_ - static_cast<std::int64_t>(closing);
  if (length <= 0 || length > static_cast<std::int64_t>(kMaxPathBytes)) return;
  const std::size_t from = std::min(textFrom_, end);
  text_.append(block_.data() + from, end - from);
  text_.resize(static_cast<std::size_t>(length));
  FoundPath found;
  found.named.kind = DependencyKind::kTexture;
  if (assignedCount_ > 0) found.named.attribute = assigned_[assignedCount_ - 1].name;
  found.named.written = text_;
  found.named.recorded = recordedPath(text_);
  found.named.resolved = found.named.recorded;
  found.offset = textAt_;
  found.length = length;
  plan_.found.push_back(std::move(found));
}

}  // namespace

bool isUsdaLayer(std::string_view firstBytes) { return firstBytes.substr(0, 5) == "#usda"; }

bool isBinaryUsdLayer(std::string_view firstBytes) { return firstBytes.substr(0, 8) == "PXR-USDC"; }

FilePlan readUsdaLayer(ByteCursor& in) {
  LayerScanner scanner;
  for (std::string_view block = in.ahead(); !block.empty(); block = in.ahead()) {
    scanner.scan(block, in.offset());
    in.pass(block.size());
  }
  // A path or string the layer leaves open names nothing.
  return scanner.take();
}

FilePlan planUsdaLayer(std::string_view layer) {
  MemoryCursor in(layer);
  return readUsdaLayer(in);
}
