#include "io/copy_progress.h"

#include <gtest/gtest.h>

TEST(CopyProgress, Line) {
  const struct { std::int64_t done, total; double seconds; const char* line; } rows[] = {
      {1 << 20, 4 << 20, 1.0, "Copying 'a.tif': 1.0 MiB of 4.0 MiB, 1.0 MiB/s, 3 s left"},
      {std::int64_t{3} << 30, std::int64_t{6} << 30, 2.0, "Copying 'a.tif': 3.0 GiB of 6.0 GiB, 1.5 GiB/s, 2 s left"},
      {0, 1 << 20, 0.0, "Copying 'a.tif': 0.0 MiB of 1.0 MiB, 0.0 MiB/s"}};
  for (const auto& row : rows) EXPECT_EQ(progressLine("a.tif", row.done, row.total, row.seconds), row.line);
}
