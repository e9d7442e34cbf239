#pragma once
// A cursor over bytes in memory: the copy it makes, and the edits that
// make it, each a stretch of the bytes left out and what was put in its
// place (bytes put back as they were are no edit).

#include <string>
#include <string_view>
#include <vector>

#include "io/byte_cursor.h"
#include "io/edits.h"

class MemoryCursor : public ByteCursor {
 public:
  // `bytes` must outlive the cursor. `block`: how many bytes ahead() shows
  // at a time, as a stream's blocks would.
  explicit MemoryCursor(std::string_view bytes, std::size_t block = 0) : bytes_(bytes), block_(block) {}

  std::string_view ahead() override;
  void pass(std::size_t count) override;
  void skip(std::size_t count) override;
  void put(const char* bytes, std::size_t count) override;
  std::int64_t offset() const override { return static_cast<std::int64_t>(at_); }

  const std::string& copy() const { return copy_; }
  // The edits so far, in order; the rest of the bytes as they are.
  std::vector<Edit> edits();

 private:
  void closeEdit();

  std::string_view bytes_;
  std::size_t block_;
  std::size_t at_ = 0;
  std::string copy_;
  std::vector<Edit> edits_;
  bool open_ = false;  // the last edit may still grow
};
