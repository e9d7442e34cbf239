// What a render loads besides `file -r` scenes and `ftn` textures: variables in paths, the table's node attributes,
// names that stand for several files, paths from another machine; and the dry run.
#include "e2e/run_fixture.h"

namespace {
const std::string kMa = "//Maya ASCII 2024 scene\n", kFtn = "setAttr \".ftn\" -type \"string\" ";
std::string copied(const std::string& name) { return "File '" + name + "' copied to current directory.\n"; }
std::string unable(const std::string& path, const std::string& name) {
  return "ERROR: Unable to copy '" + path + "' to '" + name + "'\n";
}
std::string ftn(const std::string& path) { return kFtn + "\"" + path + "\";\n"; }
std::string bare(const std::string& name) { return kFtn + "(\"" + name + "\");\n"; }
}  // namespace

// $NAME and ${NAME} in references and textures; an unset variable stays as written and its path is reported.
TEST_F(RunFixture, EnvironmentVariables) {
  how.environment["PROJ"] = temp.at("proj"), how.environment["LIB"] = temp.at("lib");
  how.environment["NOPE"] = std::nullopt;
  const std::string wood = windowsForm(temp.write("lib/wood.tif", "w")), grain = windowsForm(temp.write("lib/g.tif", "g"));
  const std::string set = proj("scenes/set.ma", kMa + ftn("$LIB/g.tif"));
  proj("scenes/shot.ma", kMa + "file -r -ns \"set\" \"$PROJ/scenes/set.ma\";\n" + ftn("${LIB}/wood.tif") +
                         ftn("$NOPE/${NOPE}.tif"));
  const std::string nope = windowsForm(at("$NOPE/${NOPE}.tif"));
  EXPECT_EQ(render().out, examining(at("scenes/shot.ma")) + examining(set) + copied("wood.tif") +
            unable(nope, "${NOPE}.tif") + copied("g.tif") + report({wood, nope, grain}, {set}) + kSubmitted);
  EXPECT_EQ(file("~shot.ma"), kMa + "file -r -ns \"set\" \"~set.ma\";\n" + bare("wood.tif") + bare("${NOPE}.tif"));
  EXPECT_EQ(file("vantle_render.sub"), description({"~set.ma", "wood.tif", "${NOPE}.tif", "g.tif", "~shot.ma"}));
}
