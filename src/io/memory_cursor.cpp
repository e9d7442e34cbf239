#include "io/memory_cursor.h"

#include <algorithm>

std::string_view MemoryCursor::ahead() {
  const std::string_view rest = bytes_.substr(std::min(at_, bytes_.size()));
  return block_ == 0 ? rest : rest.substr(0, block_);
}

void MemoryCursor::pass(std::size_t count) {
  closeEdit();
  copy_.append(bytes_.substr(at_, count));
  at_ += count;
}

void MemoryCursor::skip(std::size_t count) {
  if (!open_) edits_.push_back({static_cast<std::int64_t>(at_), 0, std::string()});
  open_ = true;
  edits_.back().length += static_cast<std::int64_t>(count);
  at_ += count;
}

void MemoryCursor::put(const char* bytes, std::size_t count) {
  if (!open_) edits_.push_back({static_cast<std::int64_t>(at_), 0, std::string()});
  open_ = true;
  edits_.back().bytes.append(bytes, count);
  copy_.append(bytes, count);
}

void MemoryCursor::closeEdit() {
  if (!open_) return;
  open_ = false;
  const Edit& last = edits_.back();
  const std::string_view replaced =
      bytes_.substr(static_cast<std::size_t>(last.offset), static_cast<std::size_t>(last.length));
  if (replaced == last.bytes) edits_.pop_back();
}

std::vector<Edit> MemoryCursor::edits() {
  closeEdit();
  return edits_;
}
