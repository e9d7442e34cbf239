#pragma once
// Streams opened while the object lives read and write with the given
// block sizes, so that tests can put block boundaries anywhere.

#include <cstddef>

#include "io/filter_stream.h"

class ScopedBufferSizes {
 public:
  ScopedBufferSizes(std::size_t inputBlock, std::size_t outputCapacity)
      : before_(FilterStream::setBufferSizes({inputBlock, outputCapacity})) {}
  ~ScopedBufferSizes() { FilterStream::setBufferSizes(before_); }
  ScopedBufferSizes(const ScopedBufferSizes&) = delete;
  ScopedBufferSizes& operator=(const ScopedBufferSizes&) = delete;

 private:
  FilterStream::BufferSizes before_;
};
