// The walk over a tree of references: each scene read once, however many scenes name it and however deep it lies.
#include "e2e/run_fixture.h"

namespace {

std::string reference(const std::string& path) { return "file -r -ns \"n\" \"" + path + "\";\n"; }
std::string copyReference(const std::string& name) { return "file -r -ns \"n\" \"~" + name + "\";\n"; }

}  // namespace

// A chain of twelve scenes, each naming the next and one texture of its own: every scene examined and copied once,
// every texture staged once, the transfer line naming each file once.
TEST_F(RunFixture, ChainOfTwelveScenesReadOnce) {
  std::string out, staged;
  // The first scene's own names, then what its child handed up: textures first, then the scenes below it.
  Names textures, scenes, transfer = {"t1.tif", "~s2.ma"};
  for (int i = 1; i <= 12; ++i) {
    const std::string n = std::to_string(i), next = reference("scenes/s" + std::to_string(i + 1) + ".ma");
    const std::string path = proj("scenes/s" + n + ".ma", kMa + ftn("sourceimages/t" + n + ".tif") + (i < 12 ? next : ""));
    textures.push_back(proj("sourceimages/t" + n + ".tif", "texture " + n)), staged += copied("t" + n + ".tif");
    out += examining(i > 1 ? path : at("scenes/s1.ma"));
    if (i > 1) scenes.push_back(path), transfer.push_back("t" + n + ".tif");
  }
  for (int i = 3; i <= 12; ++i) transfer.push_back("~s" + std::to_string(i) + ".ma");
  transfer.push_back("~s1.ma");
  const ProgramResult result = run({"-s", "1", "-e", "1", at("scenes/s1.ma")});
  EXPECT_EQ(result.out, out + staged + report(textures, scenes) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(file("vantle_render.sub"), description(transfer));
  EXPECT_EQ(left().size(), 2u * 12 + 1);
  EXPECT_EQ(file("~s11.ma"), kMa + bare("t11.tif") + copyReference("s12.ma"));
}

// One rig named by two scenes of a shot, directly and through a set: each statement that names it keeps its entry,
// the rig is read, copied and its texture staged once.
TEST_F(RunFixture, SceneNamedTwiceReadOnce) {
  const std::string rigTexture = proj("sourceimages/rig.tif", "rig");
  const std::string rig = proj("scenes/rig.ma", kMa + ftn("sourceimages/rig.tif"));
  // The diamond: the shot names the set and the rig, the set names the rig.
  const std::string set = proj("scenes/set.ma", kMa + reference("scenes/rig.ma"));
  proj("scenes/shot.ma", kMa + reference("scenes/set.ma") + reference("scenes/rig.ma"));
  EXPECT_EQ(render().out, examining(at("scenes/shot.ma")) + examining(set) + examining(rig) + copied("rig.tif") +
                              report({rigTexture}, {set, rig, rig}) + kSubmitted);
  EXPECT_EQ(file("vantle_render.sub"), description({"~set.ma", "~rig.ma", "rig.tif", "~rig.ma", "~shot.ma"}));
  EXPECT_EQ(left(), (Names{"rig.tif", "vantle_render.sub", "~rig.ma", "~set.ma", "~shot.ma"}));
  EXPECT_EQ(file("~rig.ma"), kMa + bare("rig.tif"));
}

// A reference back up the chain is skipped once, where it is named; two scenes of one copy name met on two paths of
// the tree still end the run before the second is opened.
TEST_F(RunFixture, CyclesAndCopyNamesOnSecondPaths) {
  const std::string shot = at("scenes/shot.ma");
  {
    const std::string set = proj("scenes/set.ma", kMa + reference("scenes/shot.ma") + ftn("sourceimages/s.tif"));
    const std::string s = proj("sourceimages/s.tif", "s");
    proj("scenes/shot.ma", kMa + reference("scenes/set.ma"));
    const ProgramResult result = render("cycle", "shot.ma");
    EXPECT_EQ(result.out, examining(shot) + examining(set) + "Skipping '" + windowsForm(shot) +
                              "': circular reference.\n" + copied("s.tif") +
                              report({s}, {set, windowsForm(shot)}) + kSubmitted);
    EXPECT_EQ(file("~set.ma"), kMa + copyReference("shot.ma") + bare("s.tif"));
  }
  {
    const std::string setA = proj("scenes/setA.ma", kMa + reference("lib/a/rig.ma"));
    const std::string setB = proj("scenes/setB.ma", kMa + reference("lib/b/rig.ma"));
    const std::string rigA = proj("lib/a/rig.ma", kMa), rigB = proj("lib/b/rig.ma", kMa + "// another rig\n");
    proj("scenes/shot.ma", kMa + reference("scenes/setA.ma") + reference("scenes/setB.ma"));
    const ProgramResult result = render("collision", "shot.ma");
    EXPECT_EQ(result.out, examining(shot) + examining(setA) + examining(rigA) + examining(setB) + "ERROR: '" + rigA +
                              "' and '" + rigB + "' would both be copied to '~rig.ma'.\n");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(left(), (Names{"~rig.ma", "~setA.ma", "~setB.ma", "~shot.ma"}));  // each whole
    EXPECT_EQ(file("~rig.ma") + file("~setA.ma"), kMa + kMa + copyReference("rig.ma"));
  }
}

// A file that names files of its own, named by many nodes of one scene and another: staged once, warned of once.
TEST_F(RunFixture, FileThatNamesFilesWarnedOfOnce) {
  const std::string layer("PXR-USDC\x07\0\0\0", 12);  // a layer in binary form, which the run cannot read
  const std::string stage = proj("sourceimages/stage.usd", layer);
  std::string nodes;
  for (const std::string type : {"mayaUsdProxyShape", "pxrUsdReferenceAssembly", "mayaUsdProxyShape"})
    nodes += "createNode " + type + " -n \"s\";\n\tsetAttr \".fp\" -type \"string\" \"sourceimages/stage.usd\";\n";
  const std::string set = proj("scenes/set.ma", kMa + nodes);
  proj("scenes/shot.ma", kMa + reference("scenes/set.ma") + nodes);
  std::string foundAgain;  // by the other five nodes
  for (int i = 0; i < 5; ++i) foundAgain += "File '~stage.usd' found in current directory.\n";
  EXPECT_EQ(render().out, examining(at("scenes/shot.ma")) + examining(set) + copied("~stage.usd") + "WARNING: files "
            "that '" + stage + "' names itself are not staged.\n" + foundAgain + report(Names(6, stage), {set}) +
            kSubmitted);
  EXPECT_EQ(file("~stage.usd"), layer);
}
