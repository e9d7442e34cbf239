#pragma once
#include "io/filter_stream.h"

// Streams opened while the object lives read and write in blocks of the given
// sizes, so tests can put block boundaries anywhere.
struct ScopedBufferSizes {
  ScopedBufferSizes(std::size_t input, std::size_t output) : before(FilterStream::setBufferSizes({input, output})) {}
  ~ScopedBufferSizes() { FilterStream::setBufferSizes(before); }
  FilterStream::BufferSizes before;
};
