// The recognisers on memory: from one statement or token, the path it names as written and as recorded, the name the
// copy gives it and the unit as the copy has it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "scene/recognisers.h"

namespace {

struct Expected {
  std::string written, recorded, newName, rewritten;
};

void expectRecognised(const std::optional<Recognised>& found, const Expected& expected, const std::string& unit) {
  ASSERT_TRUE(found.has_value()) << unit;
  EXPECT_EQ(found->written, expected.written) << unit;
  EXPECT_EQ(found->recorded, expected.recorded) << unit;
  EXPECT_EQ(found->newName, expected.newName) << unit;
  EXPECT_EQ(found->rewritten, expected.rewritten) << unit;
}

TEST(Recognisers, StatementsOnMemory) {
  // A reference keeps its options: the quoted semicolon and blank are no separators.
  const std::string reference = "file -r -ns \"set\" -op \"v=0; x\" \"scenes/set.ma\";\n";
  expectRecognised(recogniseFileReference(reference.c_str()),
                   {"scenes/set.ma", "scenes\\set.ma", "~set.ma", "file -r -ns \"set\" -op \"v=0; x\" \"~set.ma\";\n"},
                   reference);
  const std::string texture = "\tsetAttr \".ftn\" -type \"string\" \"C:/maps/wood.<UDIM>.tif\";\n";
  expectRecognised(recogniseTextureStatement(texture.c_str()),
                   {"C:/maps/wood.<UDIM>.tif", "C:\\maps\\wood.<UDIM>.tif", "wood.<UDIM>.tif",
                    "setAttr \".ftn\" -type \"string\" (\"wood.<UDIM>.tif\");\n"},
                   texture);
  // A blank inside the quoted path does not separate it.
  const std::string attribute = "setAttr -k on \".fn\" -type \"string\" \"cache/a b.abc\";";
  expectRecognised(recogniseAttributeStatement(attribute.c_str()),
                   {"cache/a b.abc", "cache\\a b.abc", "a b.abc", "setAttr -k on \".fn\" -type \"string\" \"a b.abc\";\n"},
                   attribute);
  // An empty name: the `ftn` statement is rewritten and names nothing; an attribute's stays as written.
  const std::optional<Recognised> empty = recogniseTextureStatement("setAttr \".ftn\" -type \"string\" \" \";");
  ASSERT_TRUE(empty.has_value());
  EXPECT_FALSE(empty->namesFile);
  EXPECT_EQ(empty->rewritten, "setAttr \".ftn\" -type \"string\" (\"\");\n");
  EXPECT_FALSE(recogniseAttributeStatement("setAttr \".fn\" -type \"string\" \"\";").has_value());
  // Statements that are none of theirs.
  EXPECT_FALSE(recogniseFileReference("file -rdi 1 \"a.ma\";").has_value());
  EXPECT_FALSE(recogniseTextureStatement("setAttr \".fn\" -type \"string\" \"a.tif\";").has_value());
  EXPECT_FALSE(recogniseAttributeStatement("setAttr \".uvt\" 3;").has_value());
}

TEST(Recognisers, MarkedTokensOverwrittenInPlace) {
  // Delimiters at the token's end stay in the new name, which is padded to the token's length.
  expectRecognised(recogniseMarkedToken("C:/tex/wood.tif\"", ""),
                   {"C:/tex/wood.tif", "C:\\tex\\wood.tif", "wood.tif\"", "wood.tif\"       "}, "texture");
  expectRecognised(recogniseMarkedToken("ball.mb", "~"), {"ball.mb", "ball.mb", "~ball.mb", "~ball.m"}, "cut");
#ifndef _WIN32
  setenv("VANTLE_TEST_MAPS", "D:/shared/maps", 1);
  expectRecognised(recogniseMarkedToken("$VANTLE_TEST_MAPS/grain.tif", ""),
                   {"$VANTLE_TEST_MAPS/grain.tif", "D:\\shared\\maps\\grain.tif", "grain.tif",
                    "grain.tif                  "},
                   "variable");
  unsetenv("VANTLE_TEST_MAPS");
#endif
}

}  // namespace
