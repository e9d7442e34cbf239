#pragma once
// Copies put on the disk together. A cache's frames are many files copied
// one after another; syncing each before writing the next makes the disk
// commit them one by one. A batch writes each copy under its partial name
// as it is added and syncs and names them only when it is full or
// finished, so the disk takes them in one go.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class FilterStream;

class CopyBatch {
 public:
  // What became of one copy: true when it has its name, false when it
  // failed (copyFile's message printed just before).
  using Done = std::function<void(bool copied)>;

  // Copies written and waiting at most; each holds its files open.
  static constexpr std::size_t kMostWaiting = 16;

  CopyBatch() = default;
  // Copies still waiting are removed: a run cut short leaves none.
  ~CopyBatch();
  CopyBatch(const CopyBatch&) = delete;
  CopyBatch& operator=(const CopyBatch&) = delete;

  // Writes the copy of `source` to `destination`'s partial name; `done`
  // is called once it is on the disk under its name or failed, in the
  // order copies were added.
  void add(const std::string& source, const std::string& destination, Done done);
  // Puts every waiting copy on the disk and names it.
  void finish();

 private:
  struct Waiting {
    std::string source;
    std::string destination;
    std::unique_ptr<FilterStream> written;
    Done done;
  };
  std::vector<Waiting> waiting_;
};
