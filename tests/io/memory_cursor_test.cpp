// A cursor over memory: the copy it makes, and its edits, which leave out bytes put back as they were.
#include <gtest/gtest.h>

#include "io/memory_cursor.h"

TEST(MemoryCursor, CopyAndEdits) {
  MemoryCursor in("0123456789", 4);
  EXPECT_EQ(in.ahead(), "0123");
  in.pass(2);
  in.skip(2);
  in.put("23", 2);  // put back as it was: no edit
  in.pass(1);
  in.skip(3);
  in.put("abc!", 4);
  EXPECT_EQ(in.offset(), 8);
  EXPECT_EQ(in.ahead(), "89");
  in.pass(2);
  EXPECT_TRUE(in.ahead().empty());
  EXPECT_EQ(in.copy(), "01234abc!89");
  const std::vector<Edit> edits = in.edits();
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].offset, 5);
  EXPECT_EQ(edits[0].length, 3);
  EXPECT_EQ(edits[0].bytes, "abc!");
  EXPECT_EQ(applyEdits("0123456789", edits), in.copy());
}
