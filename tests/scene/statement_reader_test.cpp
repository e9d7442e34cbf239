// ASCII scenes cut into statements and offered to the recognisers, at every block size.
#include "scene/scene_fixture.h"

TEST_F(SceneTest, AsciiScenes) {
  const std::string x(kLimit, 'x');
  const std::string rdi = "file -rdi 1 -ns \"s\" -op \"v=0;\" -typ \"mayaAscii\"\n\t\t \"C:/p/set.ma\";\n";
  expectReadings(false, {{"ab;\n|\n|cd;| ef;"}, {"a;b;|c"}, {"/* a; */| b;|/*/|x;"}, {"ab;|\r\n//c;|\r\nb;|\r\n"},
      {"ab" + N + "cd;\n|x;"}, {"xy;|\r\n\t file\t-r -op \"v=0;\" \"a.ma\";|\r\n"},  // quotes count in `file` only
      {"fileInfo \"a;|b\";|file\n-r \"a;|b\";"}, {x + "\n^|w;"}, {x.substr(1) + ";^|w;"}, {x + "^|//a;b\n|c;"},
      {"file -r x.ma;|\"" + kTex + "\"a\";"},  // no space outside quotes after the keyword: not taken
      {rdi + "|" + kRef + "{ \"C:/p/set.ma\";\n> \"~set.ma\";\n}|file -r -op \"v=0;\"{ \"C:/p/prop.ma\";> \"~prop.ma\";"
       "\n}", {"C:\\p\\set.ma", "C:\\p\\prop.ma"}, {}, {"~set.ma", "~prop.ma"}},
      {"//file -r -ns \"x\"{ \"old/x.ma\"\n> \"~x.ma\";\n}|file -r \"ball.ma\"{ ;> \"~\";\n}|file -r -ns \"n\"{ "
       "\"a/b.ma\"" + N + " \"c/d\";> \"~b.ma\";\n}", {"old\\x.ma", "", "a\\b.ma"}, {}, {"~x.ma", "~", "~b.ma"}},
      {"{\t>}" + kTex + "{ (\"C:/tex/wood.tif\");\n> (\"wood.tif\");\n}|ab;|{\r\n\t>}" + kTex + "{ \"m/a b.tif\";"
       "> (\"a b.tif\");\n}", {}, {"C:\\tex\\wood.tif", "m\\a b.tif"}, {"wood.tif", "a b.tif"}}});
  std::string text = " '(wood.tif)' \r(a ;b)\n'\"();\t ";  // a carriage return is no delimiter
  SceneJob::trimDelimiters(text);
  // Only spaces outside quotes count, and every quote flips, also one after a backslash.
  EXPECT_EQ(text + SceneJob::findLastUnquoted("a b \"c\\\" d\" e", ' '), "wood.tif)' \r(a ;b d\" e");
  EXPECT_EQ(SceneJob::findLastUnquoted("x\"y z\"", ' '), nullptr);
  EXPECT_EQ(SceneJob().nextStatement() + SceneJob("missing.ma").nextStatement(), 0);
}
