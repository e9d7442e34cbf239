// The walk over a tree of references: each scene examined once, circles skipped. (Two scenes of one copy name: the
// end-to-end walk tests.)
#include "scene/scene_fixture.h"

// "w:xy": scene w references x and y. The walk prints "x" examined, "!x" skipped as circular, "?x" unable to open.
TEST_F(SceneTest, WalkChains) {
  // Each scene is examined once however many scenes name it; a reference
  // back up its own chain is skipped once, where it is named.
  const std::pair<const char*, std::string> rows[] = {{"w:xy x: y:", "wxy"}, {"w:xy x:y y:", "wxy"},
      {"w:x x:y y:z z:v v:", "wxyzv"}, {"w:xx x:", "wx"}, {"w:xy x:w y:", "wx!wy"},
      {"w:x x:y y:x", "wxy!x"}, {"w:xg x:", "wx?g"}, {"", "?w"}};
  auto path = [&](char name) { return at("proj/scenes/" + std::string(1, name) + ".ma"); };
  for (const auto& [tree, printed] : rows) {
    std::filesystem::remove_all(temp.at("proj"));
    std::istringstream scenes(tree);
    for (std::string scene; scenes >> scene;) chainScene(scene[0], scene.substr(2));
    std::string out;
    for (std::size_t i = 0; i < printed.size(); ++i) {
      out += printed[i] == '!' ? "Skipping '" + path(printed[++i]) + "': circular reference.\n"
             : printed[i] == '?' ? "Unable to open '" + path(printed[++i]) + "'\nstatus 2"
                                 : "Examining '" + path(printed[i]) + "'.\n";
    }
    EXPECT_EQ(scan(path('w')), out) << tree;
  }
}
