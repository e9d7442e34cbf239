// Binary scenes read token by token and offered to the binary recognisers, at every block size.
#include "scene/scene_fixture.h"

TEST_F(SceneTest, BinaryScenes) {
  const std::string q(kTokenLimit, 'q'), rest(50000 - kTokenLimit, 'q'), z(kTokenLimit - 1, 'z');
  expectReadings(true, {{"[abc]" + N + "ab" + N + "12[abc]" + N + "[a b;]\x01. [abc]"},
      {"[abc]\x80[def]\x01" "ab\x7f[cde]\xc3\xa9[bar]\t[def]\n[ghi]\rjk"s}, {"[" + q + "][" + rest + "]"},
      {"[abc]" + N + "[FREFFRE ft n]" + N + "[ftn]"}, {"[" + z + "f]tn" + N + "[path/a.tif]"},  // a marker cut short
      {N + "\x03\x10[FREFFREF]" + N + "\x11{C:/scenes/ball.mb>~ball.mb         }" + N + "\x7f[more]" + N +
       "[FREFFREF]" + N + "{ball.mb>~ball.m}", {"C:\\scenes\\ball.mb", "ball.mb"}, {}, {"~ball.mb", "~ball.mb"}},
      {"\x05[ftn]" + N + N + "{C:/tex/wood.tif >wood.tif        }" + N + "[softness]" + N +  // ftn in a word
       "{maps\\grain.tif>grain.tif     }", {}, {"C:\\tex\\wood.tif", "maps\\grain.tif"}, {"wood.tif ", "grain.tif"}},
      {"[xFREFFREFftn]" + N + "{s/a.mb>~a.mb }" + N + "[t/w.tif]" + N + "[FREFFREF]" + N + "./{sc/b.mb>~b.mb  }",
       {"s\\a.mb", "sc\\b.mb"}, {}, {"~a.mb", "~b.mb"}}});  // both markers in one token: a reference
}
