// File names beyond ASCII: a scene, a referenced scene, a texture and the
// working directory whose names hold accented letters and CJK characters,
// written as UTF-8. The program passes the bytes of a name through
// unchanged; on Windows its manifest makes UTF-8 the code page of those
// bytes.

#include "e2e/run_fixture.h"

namespace {

const std::string kMaya = "//Maya ASCII 2024 scene\n";

class NonAsciiNames : public WholeRun {};

TEST_F(NonAsciiNames, SceneTextureAndWorkingDirectory) {
  const std::string shotName = "pl\xC3\xA1no-\xE5\x9C\xBA\xE6\x99\xAF.ma";     // "pláno-场景.ma"
  const std::string setName = "d\xC3\xA9" "cor.ma";                            // "décor.ma"
  const std::string woodName = "\xC3\xA9" "rable-\xE6\x9C\xA8.tif";            // "érable-木.tif"
  const std::string workName = "arbeit-\xC3\xBC" "ber-\xE4\xBD\x9C\xE6\xA5\xAD";  // "arbeit-über-作業"

  const std::string woodBytes = std::string("II*\0", 4) + woodName;
  const std::string wood = project("sourceimages/" + woodName, woodBytes);
  const std::string setBytes = kMaya + "createNode transform -n \"set\";\n";
  const std::string set = project("scenes/" + setName, setBytes);
  const std::string texture = "setAttr \".ftn\" -type \"string\" \"sourceimages/" + woodName + "\";\n";
  const std::string reference = "file -r -ns \"set\" -rfn \"setRN\" \"scenes/" + setName + "\";\n";
  project("scenes/" + shotName, kMaya + reference + texture);
  const std::string here = temp.makeDir(workName);

  ProgramResult result = runIn(here, {"-s", "1", "-e", "1", spelled("scenes/" + shotName)});

  EXPECT_EQ(result.out, "Examining '" + spelled("scenes/" + shotName) + "'.\n" +
                            "Examining '" + set + "'.\n" +
                            "File '" + woodName + "' copied to current directory.\n" +
                            report({wood}, {set}) + kSubmitted);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(temp.list(workName),
            (std::vector<std::string>{"vantle_render.sub", "~" + setName, "~" + shotName, woodName}));
  EXPECT_EQ(readFile(temp.at(workName + "/" + woodName)), woodBytes);
  EXPECT_EQ(readFile(temp.at(workName + "/~" + setName)), setBytes);
  EXPECT_EQ(readFile(temp.at(workName + "/~" + shotName)),
            kMaya + "file -r -ns \"set\" -rfn \"setRN\" \"~" + setName + "\";\n" +
                "setAttr \".ftn\" -type \"string\" (\"" + woodName + "\");\n");
  EXPECT_EQ(readFile(temp.at(workName + "/vantle_render.sub")),
            std::string(kHeader) + "transfer_input_files = ~" + setName + ", " + woodName + ", ~" + shotName +
                jobs("~" + shotName, {{"1.0000", "1.0000"}}));
}

TEST_F(NonAsciiNames, TheSceneNamedFromItsOwnFolder) {
  const std::string shotName = "\xC3\xB6" "ga-\xE3\x82\xB7\xE3\x83\xA7\xE3\x83\x83\xE3\x83\x88.ma";  // "öga-ショット.ma"
  const std::string shot = kMaya + "createNode transform -n \"a\";\n";
  temp.write("work/" + shotName, shot);
  ProgramResult result = run({"-s", "2", "-e", "3", shotName});
  EXPECT_EQ(result.out, "Examining '" + shotName + "'.\n" + report({}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFile("~" + shotName), shot);
}

}  // namespace
