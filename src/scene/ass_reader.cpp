#include "scene/ass_reader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/byte_cursor.h"
#include "io/memory_cursor.h"
#include "scene/byte_classes.h"
#include "scene/byte_search.h"
#include "scene/file_attributes.h"
#include "scene/recognisers.h"

namespace {

// A word longer than this is no node type or parameter of the table.
constexpr std::size_t kMaxWordBytes = 64;
// A string longer than this is no path (a Windows path is at most 32767).
constexpr std::size_t kMaxPathBytes = 32768;

constexpr ByteClass kBlanks = byteClass(" \t\r\v\f");
constexpr ByteClass kWordEnds = byteClass(" \t\r\v\f\n{}\"#");
// Past the first word of a parameter line nothing but these changes what
// the reader looks for: words there are never kept.
constexpr ByteClass kRestOfLineStops = byteClass("\n{}\"#");
constexpr ByteClass kStringStops = byteClass("\"\n");

bool isBlank(char c) { return inClass(kBlanks, c); }

// The lines of an array's values start with a number, where a parameter
// line starts with the parameter's name, which never does: such lines,
// most of a large file's, are not looked up in the table.
constexpr ByteClass kNumberStarts = byteClass("0123456789+-.");

bool startsNumber(std::string_view word) { return inClass(kNumberStarts, word[0]); }

// The table's rows for the parameters of the node types met, remembered:
// a large file asks for the same few parameters of the same few types
// over and over, and a look-up here costs less than one in the table.
class ParameterRows {
 public:
  // The node type whose parameters are asked for next.
  void setNodeType(std::string_view nodeType) {
    nodeType_.assign(nodeType);
    nodeTypeHash_ = hash(kHashStart, nodeType);
  }

  const FileAttribute* find(std::string_view parameter) {
    Entry& entry = entries_[slot(parameter)];
    if (!entry.used || entry.parameter != parameter || entry.nodeType != nodeType_) {
      entry.used = true;
      entry.nodeType = nodeType_;
      entry.parameter.assign(parameter);
      entry.row = findFileAttribute(nodeType_, parameter, NodeFormat::kAss);
    }
    return entry.row;
  }

 private:
  static constexpr std::size_t kSlots = 64;
  static constexpr std::uint32_t kHashStart = 2166136261u;
  struct Entry {
    bool used = false;
    std::string nodeType;
    std::string parameter;
    const FileAttribute* row = nullptr;
  };

  // A node type's slot seed: FNV-1a, once for each node block.
  static std::uint32_t hash(std::uint32_t seed, std::string_view text) {
    for (char c : text) seed = (seed ^ static_cast<unsigned char>(c)) * 16777619u;
    return seed;
  }

  // A parameter's slot, from its length and three of its bytes (a word has
  // one at least): enough to spread the few dozen names of a file, and
  // cheaper than hashing them all, which most lines would.
  std::size_t slot(std::string_view parameter) const {
    const auto byte = [parameter](std::size_t at) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(parameter[at]));
    };
    const std::size_t n = parameter.size();
    const std::uint32_t mixed =
        static_cast<std::uint32_t>(n) * 40503u + byte(0) * 131u + byte(n / 2) * 31u + byte(n - 1);
    return (nodeTypeHash_ ^ mixed ^ (mixed >> 6)) % kSlots;
  }

  std::string nodeType_;
  std::uint32_t nodeTypeHash_ = kHashStart;
  std::array<Entry, kSlots> entries_;
};

// The reader's state between two blocks: where in its line and in its node
// block it stands, and the text it may still need (the word being read, the
// block's node type, the path being read). Within a block each state skips
// the bytes that change nothing in it at once.
class AssScanner {
 public:
  explicit AssScanner(FilePlan& plan) : plan_(plan) {}

  // The next block of the file, which starts at `offset` in it.
  void scan(std::string_view block, std::int64_t offset);

 private:
  enum class State {
    kBetween,  // between words
    kWord,     // in a word that is kept: a node type or a parameter
    kValue,    // after a parameter of the table, before its value
    kPath,     // in the string that is that value
    kString,   // in any other string
    kComment,  // in a comment
  };

  // Each reads from block_[i] on and returns where it stopped: past what it
  // read, or at `i` when the byte there is to be read in the new state.
  std::size_t between(std::size_t i);
  std::size_t restOfLine(std::size_t i);
  std::size_t word(std::size_t i);
  std::size_t value(std::size_t i);
  std::size_t path(std::size_t i);
  std::size_t string(std::size_t i);
  std::size_t comment(std::size_t i);

  void special(char c);
  void startWord(std::size_t i);
  void endWord(std::string_view word);
  void endPath(std::size_t end);
  void keepBlockText();
  void newLine() {
    state_ = State::kBetween;
    lineStart_ = true;
  }

  // Past the first word of a line, or deeper than a node's own block, no
  // word is kept: only line ends, braces, strings and comments count.
  bool wordsIgnored() const { return depth_ > 1 || (depth_ == 1 && !lineStart_); }

  FilePlan& plan_;
  std::string_view block_;
  std::int64_t blockOffset_ = 0;

  State state_ = State::kBetween;
  std::int64_t depth_ = 0;
  bool lineStart_ = true;     // no word, string or brace yet on this line
  std::string type_;          // the last word between blocks, while it may be a node type
  std::string nodeType_;      // the node type of the block being read
  // The kept word being read: its bytes from earlier blocks (one past the
  // limit at most, to tell it too long) and where it starts in this block.
  std::string word_;
  std::size_t wordFrom_ = 0;
  bool parameter_ = false;    // the word is the first of a parameter line
  ParameterRows rows_;
  const FileAttribute* row_ = nullptr;  // the parameter whose value is read
  // The path being read: where it starts in the file, its bytes from
  // earlier blocks (one past the limit at most) and where its bytes start
  // in this block.
  std::int64_t pathOffset_ = 0;
  std::string path_;
  std::size_t pathFrom_ = 0;
};

void AssScanner::scan(std::string_view block, std::int64_t offset) {
  block_ = block;
  blockOffset_ = offset;
  wordFrom_ = 0;
  pathFrom_ = 0;
  std::size_t i = 0;
  while (i < block.size()) {
    switch (state_) {
      case State::kBetween: i = wordsIgnored() ? restOfLine(i) : between(i); break;
      case State::kWord: i = word(i); break;
      case State::kValue: i = value(i); break;
      case State::kPath: i = path(i); break;
      case State::kString: i = string(i); break;
      case State::kComment: i = comment(i); break;
    }
  }
  keepBlockText();
}

// Between words where a word may be kept: between node blocks, or at the
// start of a line directly inside one.
std::size_t AssScanner::between(std::size_t i) {
  const char c = block_[i];
  if (isBlank(c)) return i + 1;
  if (inClass(kWordEnds, c)) {
    special(c);
    return i + 1;
  }
  startWord(i);
  return i;
}

// Where words are not kept, a word and the blanks around it change
// nothing: the reader skips to the next byte that does.
std::size_t AssScanner::restOfLine(std::size_t i) {
  const std::size_t stop = skipUntil(block_, i, kRestOfLineStops);
  if (stop == block_.size()) return stop;
  special(block_[stop]);
  return stop + 1;
}

// A line end, a brace, a quote or a comment sign between words.
void AssScanner::special(char c) {
  switch (c) {
    case '\n':
      newLine();
      return;
    case '#':
      state_ = State::kComment;
      return;
    case '"':
      state_ = State::kString;
      lineStart_ = false;
      type_.clear();
      return;
    case '{':
      // A node's block opens after its type; its first parameter may
      // stand on the brace's line.
      if (depth_ == 0) {
        nodeType_ = type_;
        rows_.setNodeType(nodeType_);
      }
      lineStart_ = depth_ == 0;
      ++depth_;
      type_.clear();
      return;
    default:  // '}'
      if (depth_ > 0) --depth_;
      if (depth_ == 0) nodeType_.clear();
      lineStart_ = false;
      type_.clear();
      return;
  }
}

// Only a word between blocks (a node type) and the first word of a line in
// a node's block (a parameter) are kept; this is one of them.
void AssScanner::startWord(std::size_t i) {
  parameter_ = depth_ == 1;
  lineStart_ = false;
  word_.clear();
  wordFrom_ = i;
  state_ = State::kWord;
}

std::size_t AssScanner::word(std::size_t i) {
  const std::size_t end = skipUntil(block_, i, kWordEnds);
  if (end == block_.size()) return end;
  const std::size_t from = std::min(wordFrom_, end);
  if (word_.empty()) {
    // The whole word is in this block: read where it stands.
    endWord(block_.substr(from, end - from));
  } else {
    const std::size_t room = kMaxWordBytes + 1 - std::min(kMaxWordBytes + 1, word_.size());
    word_.append(block_.data() + from, std::min(room, end - from));
    endWord(word_);
  }
  // The byte that ended the word is read as between words, even when the
  // word made a value due: `filename"x"` names nothing.
  if (!isBlank(block_[end])) special(block_[end]);
  return end + 1;
}

void AssScanner::endWord(std::string_view word) {
  state_ = State::kBetween;
  const bool overlong = word.size() > kMaxWordBytes;
  if (depth_ == 0) {
    type_ = overlong ? std::string_view() : word;
    return;
  }
  if (!parameter_ || overlong || nodeType_.empty() || startsNumber(word)) return;
  row_ = rows_.find(word);
  if (row_ != nullptr) state_ = State::kValue;
}

std::size_t AssScanner::value(std::size_t i) {
  const char c = block_[i];
  if (isBlank(c)) return i + 1;
  if (c == '"') {
    state_ = State::kPath;
    pathOffset_ = blockOffset_ + static_cast<std::int64_t>(i) + 1;
    path_.clear();
    pathFrom_ = i + 1;
    return i + 1;
  }
  state_ = State::kBetween;  // an unquoted value names nothing
  return i;
}

std::size_t AssScanner::path(std::size_t i) {
  const std::size_t end = skipUntil(block_, i, kStringStops);
  if (end == block_.size()) return end;
  if (block_[end] == '"') {
    endPath(end);
    state_ = State::kBetween;
  } else {
    newLine();  // not closed on its line: no path
  }
  return end + 1;
}

std::size_t AssScanner::string(std::size_t i) {
  const std::size_t end = skipUntil(block_, i, kStringStops);
  if (end == block_.size()) return end;
  if (block_[end] == '"') {
    state_ = State::kBetween;
  } else {
    newLine();
  }
  return end + 1;
}

std::size_t AssScanner::comment(std::size_t i) {
  const std::size_t at = findByte(block_.data() + i, block_.size() - i, '\n');
  if (at == kNowhere) return block_.size();
  newLine();
  return i + at + 1;
}

// The path ends before block_[end].
void AssScanner::endPath(std::size_t end) {
  const std::int64_t length = blockOffset_ + static_cast<std::int64_t>(end) - pathOffset_;
  if (length <= 0 || length > static_cast<std::int64_t>(kMaxPathBytes)) return;
  const std::size_t from = std::min(pathFrom_, end);
  path_.append(block_.data() + from, end - from);
  FoundPath found{{}, pathOffset_, length, {}};
  Dependency& named = found.named;
  named.kind = DependencyKind::kTexture;
  named.nodeType = std::string(row_->nodeType);
  named.attribute = std::string(row_->attribute);
  named.written = path_;
  named.recorded = recordedPath(named.written);
  named.resolved = named.recorded;
  plan_.found.push_back(std::move(found));
}

// At the end of a block, the bytes of a kept word or a path that it holds
// join those before them, as many as tell whether it is too long.
void AssScanner::keepBlockText() {
  if (state_ == State::kWord) {
    const std::size_t from = std::min(wordFrom_, block_.size());
    const std::size_t room = kMaxWordBytes + 1 - std::min(kMaxWordBytes + 1, word_.size());
    word_.append(block_.data() + from, std::min(room, block_.size() - from));
  } else if (state_ == State::kPath) {
    const std::size_t from = std::min(pathFrom_, block_.size());
    const std::size_t room = kMaxPathBytes + 1 - std::min(kMaxPathBytes + 1, path_.size());
    path_.append(block_.data() + from, std::min(room, block_.size() - from));
  }
}

}  // namespace

FilePlan readAssFile(ByteCursor& in) {
  FilePlan plan;
  AssScanner scanner(plan);
  for (std::string_view bytes = in.ahead(); !bytes.empty(); bytes = in.ahead()) {
    scanner.scan(bytes, in.offset());
    in.pass(bytes.size());
  }
  return plan;
}

FilePlan planAssFile(std::string_view file) {
  MemoryCursor in(file);
  return readAssFile(in);
}
