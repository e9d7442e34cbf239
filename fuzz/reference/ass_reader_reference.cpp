// The Arnold scene file reader as it stood before it was made fast: one
// byte at a time through a state machine. The fuzz target holds the
// program's reader to the same plan as this one on every input.

#include "ass_reader_reference.h"

#include <cstddef>
#include <string>

#include "io/byte_cursor.h"
#include "scene/file_attributes.h"
#include "scene/recognisers.h"

namespace reference {

namespace {

// A word longer than this is no node type or parameter of the table.
constexpr std::size_t kMaxWordBytes = 64;
// A string longer than this is no path (a Windows path is at most 32767).
constexpr std::size_t kMaxPathBytes = 32768;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

bool endsWord(char c) { return isBlank(c) || c == '\n' || c == '{' || c == '}' || c == '"' || c == '#'; }

// The reader's state between two bytes: where in its line and in its block
// the last byte stood, and the text it may still need (the word being read,
// the block's node type, the path being read).
class AssScanner {
 public:
  explicit AssScanner(FilePlan& plan) : plan_(plan) {}

  // The byte `c`, at `offset` in the file.
  void take(char c, std::int64_t offset) {
    switch (state_) {
      case State::kWord:
        if (!endsWord(c)) {
          if (keepWord_) appendWord(c);
          return;
        }
        endWord();
        break;  // `c` is read in the state the word left
      case State::kValue:
        if (isBlank(c)) return;
        if (c == '"') {
          state_ = State::kPath;
          pathOffset_ = offset + 1;
          path_.clear();
          pathOverlong_ = false;
          return;
        }
        state_ = State::kBetween;  // an unquoted value names nothing
        break;
      case State::kPath:
        if (c == '"') {
          endPath();
          state_ = State::kBetween;
        } else if (c == '\n') {
          newLine();  // not closed on its line: no path
        } else if (path_.size() < kMaxPathBytes) {
          path_.push_back(c);
        } else {
          pathOverlong_ = true;
        }
        return;
      case State::kString:
        if (c == '"') state_ = State::kBetween;
        if (c == '\n') newLine();
        return;
      case State::kComment:
        if (c == '\n') newLine();
        return;
      case State::kBetween:
        break;
    }
    between(c);
  }

 private:
  enum class State {
    kBetween,  // between words
    kWord,     // in a word
    kValue,    // after a parameter of the table, before its value
    kPath,     // in the string that is that value
    kString,   // in any other string
    kComment,  // in a comment
  };

  void between(char c) {
    if (isBlank(c)) return;
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
        if (depth_ == 0) block_ = type_;
        lineStart_ = depth_ == 0;
        ++depth_;
        type_.clear();
        return;
      case '}':
        if (depth_ > 0) --depth_;
        if (depth_ == 0) block_.clear();
        lineStart_ = false;
        type_.clear();
        return;
      default:
        break;
    }
    // Only a word between blocks (a node type) and the first word of a
    // line in a node's block (a parameter) are kept.
    parameter_ = depth_ == 1 && lineStart_;
    keepWord_ = depth_ == 0 || parameter_;
    lineStart_ = false;
    word_.clear();
    wordOverlong_ = false;
    state_ = State::kWord;
    if (keepWord_) appendWord(c);
  }

  void appendWord(char c) {
    if (word_.size() < kMaxWordBytes) {
      word_.push_back(c);
    } else {
      wordOverlong_ = true;
    }
  }

  void endWord() {
    state_ = State::kBetween;
    if (depth_ == 0) {
      type_ = wordOverlong_ ? std::string() : word_;
      return;
    }
    if (!parameter_ || wordOverlong_ || block_.empty()) return;
    row_ = findFileAttribute(block_, word_, NodeFormat::kAss);
    if (row_ != nullptr) state_ = State::kValue;
  }

  void endPath() {
    if (path_.empty() || pathOverlong_) return;
    FoundPath found{{}, pathOffset_, static_cast<std::int64_t>(path_.size()), {}};
    Dependency& named = found.named;
    named.kind = DependencyKind::kTexture;
    named.nodeType = std::string(row_->nodeType);
    named.attribute = std::string(row_->attribute);
    named.written = path_;
    named.recorded = recordedPath(named.written);
    named.resolved = named.recorded;
    plan_.found.push_back(std::move(found));
  }

  void newLine() {
    state_ = State::kBetween;
    lineStart_ = true;
  }

  FilePlan& plan_;
  State state_ = State::kBetween;
  std::int64_t depth_ = 0;
  bool lineStart_ = true;     // no word, string or brace yet on this line
  std::string type_;          // the last word between blocks, while it may be a node type
  std::string block_;         // the node type of the block being read
  std::string word_;
  bool wordOverlong_ = false;
  bool keepWord_ = false;
  bool parameter_ = false;    // the word is the first of a parameter line
  const FileAttribute* row_ = nullptr;  // the parameter whose value is read
  std::string path_;
  bool pathOverlong_ = false;
  std::int64_t pathOffset_ = 0;
};

}  // namespace

FilePlan readAssFile(ByteCursor& in) {
  FilePlan plan;
  AssScanner scanner(plan);
  for (std::string_view bytes = in.ahead(); !bytes.empty(); bytes = in.ahead()) {
    const std::int64_t offset = in.offset();
    for (std::size_t i = 0; i < bytes.size(); ++i) scanner.take(bytes[i], offset + static_cast<std::int64_t>(i));
    in.pass(bytes.size());
  }
  return plan;
}

}  // namespace reference
