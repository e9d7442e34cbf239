#pragma once
// Streams opened while the object lives read and write in blocks of the
// given sizes, so tests can put block boundaries anywhere.

#include "io/filter_stream.h"

class ScopedBufferSizes {
 public:
  ScopedBufferSizes(std::size_t inputBlock, std::size_t outputCapacity)
      : before_(FilterStream::setBufferSizes({inputBlock, outputCapacity})) {}
  ~ScopedBufferSizes() { FilterStream::setBufferSizes(before_); }

 private:
  FilterStream::BufferSizes before_;
};
