// Whole runs over trees of referenced scenes: what is printed, how the run
// ends and what is left in the working directory, byte for byte.

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/run_fixture.h"

namespace {

using Names = std::vector<std::string>;

const std::string kMaya = "//Maya ASCII 2024 scene\n";
const std::string kNul(1, '\0');

std::string referenceHead(const std::string& ns) {
  return "file -r -ns \"" + ns + "\" -dr 1 -rfn \"" + ns + "RN\" -op \"v=0;\" -typ \"mayaAscii\"\n\t\t";
}
std::string reference(const std::string& ns, const std::string& path) {
  return referenceHead(ns) + " \"" + path + "\";\n";
}
std::string sibling(const std::string& ns, const std::string& path) {
  return "file -rdi 1 -ns \"" + ns + "\" -rfn \"" + ns + "RN\" -op \"v=0;\" -typ \"mayaAscii\"\n\t\t \"" + path +
         "\";\n";
}

class SceneTree : public WholeRun {
 protected:
  std::string examining(const std::string& path) { return "Examining '" + path + "'.\n"; }
  std::string skipping(const std::string& path) { return "Skipping '" + path + "': circular reference.\n"; }
};

TEST_F(SceneTree, AsciiToBinaryToAscii) {
  const std::string woodBytes = std::string("II*\0wood\x80\xff", 10);
  const std::string wood = project("sourceimages/wood.tif", woodBytes);
  const std::string setBody = "createNode file -n \"wood\";\n";
  const std::string set =
      project("scenes/set.ma", kMaya + setBody + "\tsetAttr \".ftn\" -type \"string\" \"sourceimages/wood.tif\";\r\n");
  const std::string propBefore = "FOR4" + kNul + kNul + kNul + "\x30" "MayaFREFFREF" + kNul + kNul + "\x0e";
  const std::string propAfter = kNul + "\x01\x02\xfe" "DAG" + kNul;
  const std::string prop = project("scenes/prop.mb", propBefore + "scenes/set.ma" + propAfter);
  const std::string shotBody = "requires maya \"2024\";\ncreateNode transform -n \"root\";\n";
  project("scenes/shot.ma", kMaya + sibling("prop", "scenes/prop.mb") + reference("prop", "scenes/prop.mb") + shotBody);

  ProgramResult result = run({"-s", "1", "-e", "12", spelled("scenes/shot.ma")});

  EXPECT_EQ(result.out, examining(spelled("scenes/shot.ma")) + examining(prop) + examining(set) + examining(set) +
                            "File 'wood.tif' copied to current directory.\n"
                            "File 'wood.tif' found in current directory.\n" +
                            report({wood, wood}, {prop, set}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "wood.tif", "~prop.mb", "~set.ma", "~shot.ma"}));
  EXPECT_EQ(workFile("~shot.ma"), kMaya + sibling("prop", "scenes/prop.mb") + referenceHead("prop") +
                                      " \"~prop.mb\";\n" + shotBody);
  EXPECT_EQ(workFile("~prop.mb"), propBefore + "~set.ma      " + propAfter);
  EXPECT_EQ(workFile("~set.ma"), kMaya + setBody + "setAttr \".ftn\" -type \"string\" (\"wood.tif\");\n\r\n");
  EXPECT_EQ(workFile("wood.tif"), woodBytes);
  // The scene two levels down travels with the jobs too.
  EXPECT_EQ(workFile("vantle_render.sub"),
            std::string(kHeader) + "transfer_input_files = ~prop.mb, wood.tif, ~set.ma, wood.tif, ~shot.ma" +
                jobs("~shot.ma", {{"1.0000", "10.0000"}, {"11.0000", "12.0000"}}));
}

TEST_F(SceneTree, MissingReferencedScene) {
  const std::string shot = kMaya + reference("gone", "scenes/gone.ma");
  project("scenes/shot.ma", shot);
  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")});
  EXPECT_EQ(result.out, examining(spelled("scenes/shot.ma")) + "Unable to open '" +
                            windowsForm(spelled("scenes/gone.ma")) + "'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), Names{"~shot.ma"});
  EXPECT_EQ(workFile("~shot.ma"), kMaya + referenceHead("gone") + " \"~gone.ma\";\n");
}

TEST_F(SceneTree, CircularReferenceIsSkipped) {
  const std::string set = project("scenes/set.ma", kMaya + reference("shot", "scenes/shot.ma"));
  const std::string shot = project("scenes/shot.ma", kMaya + reference("set", "scenes/set.ma"));
  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")});
  // Once where the set names the shot, once more where the shot scans what
  // it took over from the set.
  EXPECT_EQ(result.out, examining(spelled("scenes/shot.ma")) + examining(set) + skipping(shot) + skipping(shot) +
                            report({}, {set, shot}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (Names{"vantle_render.sub", "~set.ma", "~shot.ma"}));
  EXPECT_EQ(workFile("~shot.ma"), kMaya + referenceHead("set") + " \"~set.ma\";\n");
  EXPECT_EQ(workFile("~set.ma"), kMaya + referenceHead("shot") + " \"~shot.ma\";\n");
  EXPECT_EQ(workFile("vantle_render.sub"), std::string(kHeader) + "transfer_input_files = ~set.ma, ~shot.ma, ~shot.ma" +
                                               jobs("~shot.ma", {{"1.0000", "1.0000"}}));
}

TEST_F(SceneTree, TwoScenesWithOneCopyName) {
  const std::string setBytes = kMaya + "createNode transform -n \"set\";\n";
  const std::string set = project("scenes/set.ma", setBytes);
  const std::string other = project("library/set.ma", kMaya + "createNode transform -n \"other\";\n");
  project("scenes/shot.ma", kMaya + reference("set", "scenes/set.ma") + reference("lib", "library/set.ma"));
  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")});
  EXPECT_EQ(result.out, examining(spelled("scenes/shot.ma")) + examining(set) + "ERROR: '" + set + "' and '" +
                            other + "' would both be copied to '~set.ma'.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (Names{"~set.ma", "~shot.ma"}));
  EXPECT_EQ(workFile("~set.ma"), setBytes);
}

TEST_F(SceneTree, CopyThatCannotBeCreated) {
  const std::string set = project("scenes/set.ma", kMaya);
  project("scenes/shot.ma", kMaya + reference("set", "scenes/set.ma"));
  temp.makeDir("work/~set.ma");
  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")});
  EXPECT_EQ(result.out, examining(spelled("scenes/shot.ma")) + "ERROR: Can not open file for writing: '~set.ma'\n" +
                            examining(set) + "ERROR: Can not write file: '~set.ma'\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (Names{"~set.ma", "~shot.ma"}));
  EXPECT_TRUE(std::filesystem::is_directory(temp.at("work/~set.ma")));
}

TEST_F(SceneTree, CopyThatCannotBeWrittenWhole) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no full device";
  project("scenes/set.ma", kMaya);
  project("scenes/shot.ma", kMaya + reference("set", "scenes/set.ma"));
  std::filesystem::create_symlink("/dev/full", temp.at("work/~shot.ma"));
  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")});
  EXPECT_EQ(result.out, examining(spelled("scenes/shot.ma")) + "ERROR: Can not write file: '~shot.ma'\n");
  EXPECT_EQ(result.status, 2);
  // The run ends before the referenced scene and the description.
  EXPECT_FALSE(temp.exists("work/~set.ma"));
  EXPECT_FALSE(temp.exists("work/vantle_render.sub"));
}

}  // namespace
