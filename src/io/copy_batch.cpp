#include "io/copy_batch.h"

#include <utility>

#include "io/file_copy.h"
#include "io/filter_stream.h"

CopyBatch::~CopyBatch() = default;

void CopyBatch::add(const std::string& source, const std::string& destination, Done done) {
  if (waiting_.size() >= kMostWaiting) finish();
  waiting_.push_back({source, destination, writeCopy(source, destination), std::move(done)});
}

void CopyBatch::finish() {
  // Taken out first: a `done` that throws leaves the rest to be removed.
  std::vector<Waiting> waiting = std::move(waiting_);
  waiting_.clear();
  for (Waiting& copy : waiting) {
    const bool copied = commitCopy(std::move(copy.written), copy.source, copy.destination) == 1;
    copy.done(copied);
  }
}
