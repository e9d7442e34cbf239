// Edits applied while copying: each stretch replaced in place, the bytes between them as they were.
#include <gtest/gtest.h>

#include "io/edits.h"

TEST(Edits, AppliedInPlaceOnMemory) {
  const std::string file = "0123456789";
  const struct { std::vector<Edit> edits; std::string copy; } rows[] = {
      {{}, file},
      {{{0, 0, "<"}}, "<0123456789"},
      {{{2, 3, "ab"}, {7, 1, "XYZ"}}, "01ab56XYZ89"},
      {{{8, 2, ""}}, "01234567"},
      {{{10, 0, ">"}}, "0123456789>"},
  };
  for (const auto& row : rows) EXPECT_EQ(applyEdits(file, row.edits), row.copy);
}
