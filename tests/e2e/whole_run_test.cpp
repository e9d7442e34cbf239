#include <filesystem>

#include "e2e/run_fixture.h"

namespace {

namespace fs = std::filesystem;

const char kMayaHeader[] = "//Maya ASCII 2024 scene\n//Name: shot.ma\n";

class WorkedExample : public WholeRun {};

TEST_F(WorkedExample, ReferenceThenTexture) {
  const std::string set = project("scenes/set.ma", "//Maya ASCII 2024 scene\ncreateNode transform -n \"set\";\n");
  const std::string wood = project("sourceimages/wood.tif", std::string("II*\0wood\xff", 9));
  const std::string shot = project(
      "scenes/shot.ma",
      std::string(kMayaHeader) + "file -r -ns \"set\" -dr 1 -rfn \"setRN\" \"" + spelled("scenes/set.ma") +
          "\";\ncreateNode file -n \"wood\";\n\tsetAttr \".ftn\" -type \"string\" \"" +
          spelled("sourceimages/wood.tif") + "\";\n");

  ProgramResult result = run({"-s", "1", "-e", "25", "-j", "10", "-b", "1", spelled("scenes/shot.ma")});

  EXPECT_EQ(result.out, "Examining '" + spelled("scenes/shot.ma") + "'.\n" +
                            "Examining '" + set + "'.\n" +
                            "File 'wood.tif' copied to current directory.\n" +
                            report({wood}, {set}) + kSubmitted);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (std::vector<std::string>{"vantle_render.sub", "wood.tif", "~set.ma", "~shot.ma"}));
  EXPECT_EQ(workFile("~set.ma"), readFile(temp.at("proj/scenes/set.ma")));
  EXPECT_EQ(workFile("wood.tif"), readFile(temp.at("proj/sourceimages/wood.tif")));
  EXPECT_EQ(workFile("~shot.ma"), std::string(kMayaHeader) +
                                      "file -r -ns \"set\" -dr 1 -rfn \"setRN\" \"~set.ma\";\n"
                                      "createNode file -n \"wood\";\n"
                                      "setAttr \".ftn\" -type \"string\" (\"wood.tif\");\n");
  EXPECT_EQ(workFile("vantle_render.sub"),
            std::string(kHeader) + "transfer_input_files = ~set.ma, wood.tif, ~shot.ma" +
                jobs("~shot.ma", {{"1.0000", "10.0000"}, {"11.0000", "20.0000"}, {"21.0000", "25.0000"}}));
}

TEST_F(WorkedExample, RelativePathsResolveAboveTheScenesFolder) {
  const std::string set = project("scenes/set.ma", "//Maya ASCII\n");
  const std::string wood = project("sourceimages/wood.tif", "wood");
  project("scenes/shot.ma", std::string(kMayaHeader) + "file -r -rfn \"setRN\" \"scenes/set.ma\";\n" +
                                "setAttr \".ftn\" -type \"string\" \"sourceimages\\wood.tif\";\n");
  ProgramResult result = run({"-s", "1", "-e", "1", "../proj/scenes/shot.ma"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find(report({wood}, {set})), std::string::npos) << result.out;
  EXPECT_EQ(workFile("~shot.ma"), std::string(kMayaHeader) + "file -r -rfn \"setRN\" \"~set.ma\";\n" +
                                      "setAttr \".ftn\" -type \"string\" (\"wood.tif\");\n");
}

class DependencyReport : public WholeRun {};

TEST_F(DependencyReport, NoneWithoutDependencies) {
  const std::string scene = std::string(kMayaHeader) + "createNode transform -n \"a\";\n";
  project("scenes/shot.ma", scene);
  ProgramResult result = run({"-s", "5", "-e", "5", spelled("scenes/shot.ma")});
  EXPECT_EQ(result.out, "Examining '" + spelled("scenes/shot.ma") + "'.\n" + report({}, {}) + kSubmitted);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFiles(), (std::vector<std::string>{"vantle_render.sub", "~shot.ma"}));
  EXPECT_EQ(workFile("~shot.ma"), scene);
  EXPECT_EQ(workFile("vantle_render.sub"),
            std::string(kHeader) + "transfer_input_files = ~shot.ma" + jobs("~shot.ma", {{"5.0000", "5.0000"}}));
}

TEST_F(DependencyReport, ATextureOfTwoScenesIsReportedTwice) {
  const std::string wood = project("sourceimages/wood.tif", "wood");
  const std::string texture = "setAttr \".ftn\" -type \"string\" \"" + spelled("sourceimages/wood.tif") + "\";\n";
  const std::string set = project("scenes/set.ma", "//Maya ASCII\n" + texture);
  project("scenes/shot.ma", "//Maya ASCII\n" + texture + "file -r -ns \"set\" \"" + spelled("scenes/set.ma") + "\";\n");
  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("File 'wood.tif' copied to current directory.\n"
                            "File 'wood.tif' found in current directory.\n" +
                            report({wood, wood}, {set})),
            std::string::npos)
      << result.out;
  EXPECT_EQ(workFile("vantle_render.sub"),
            std::string(kHeader) + "transfer_input_files = wood.tif, ~set.ma, wood.tif, ~shot.ma" +
                jobs("~shot.ma", {{"1.0000", "1.0000"}}));
}

class SubmitOutcome : public WholeRun {
 protected:
  void SetUp() override { project("scenes/shot.ma", "//Maya ASCII\n"); }
  ProgramResult submit() { return run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")}); }
  const std::string kFailed = "\nVantle_submit failed. Make sure vantle_submit is in your search path.\n";
};

TEST_F(SubmitOutcome, TheToolFails) {
  setSubmitTool(3);
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out.substr(result.out.size() - kFailed.size()), kFailed);
  EXPECT_NE(result.out.find("\n\nCalling vantle_submit:\nvantle_submit vantle_render.sub\n" + kFailed),
            std::string::npos);
}

TEST_F(SubmitOutcome, TheToolIsNowhere) {
  removeSubmitTool();
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out.substr(result.out.size() - kFailed.size()), kFailed);
  EXPECT_EQ(workFiles(), (std::vector<std::string>{"vantle_render.sub", "~shot.ma"}));
}

TEST_F(SubmitOutcome, TheToolSeesCompleteFiles) {
  const std::string big = "//Maya ASCII\n" + std::string(100000, 'x') + ";\n";
  project("scenes/shot.ma", big);
  // The tool prints the size of the copy it finds.
#ifdef _WIN32
  setSubmitScript("@for %%f in (\"~shot.ma\") do @echo %%~zf\r\n");
#else
  setSubmitScript("#!/bin/sh\nwc -c < '~shot.ma'\n");
#endif
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("Calling vantle_submit:\n" + std::to_string(big.size()) + "\n"), std::string::npos)
      << result.out;
}

class SubmitHeader : public WholeRun {
 protected:
  void SetUp() override { project("scenes/shot.ma", "//Maya ASCII\n"); }
  ProgramResult submit() { return run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")}); }
};

TEST_F(SubmitHeader, MissingEndsTheRunBeforeTheReport) {
  environment["VANTLE_RENDER_PATH"] = std::nullopt;
  ProgramResult result = submit();
  EXPECT_EQ(result.out, "Examining '" + spelled("scenes/shot.ma") + "'.\n" +
                            "ERROR: Can not open file for reading: 'C:\\vantle_render\\vantle_render.hdr'\n"
                            "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFile("vantle_render.sub"), "");
}

TEST_F(SubmitHeader, EmptyIsReportedAndTheRunGoesOn) {
  temp.write("header.hdr", "");
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err.rfind("Error loading file", 0), 0u) << result.err;
  EXPECT_EQ(workFile("vantle_render.sub"), "transfer_input_files = ~shot.ma" + jobs("~shot.ma", {{"1.0000", "1.0000"}}));
}

TEST_F(SubmitHeader, CarriageReturnsAreKept) {
  temp.write("header.hdr", "universe = vanilla\r\nlog = render.log\r\n");
  ProgramResult result = submit();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFile("vantle_render.sub"), "universe = vanilla\r\nlog = render.log\r\ntransfer_input_files = ~shot.ma" +
                                               jobs("~shot.ma", {{"1.0000", "1.0000"}}));
}

TEST_F(SubmitHeader, AFullDiskIsNeverSubmitted) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  fs::create_symlink("/dev/full", temp.at("work/vantle_render.sub"));
  ProgramResult result = submit();
  EXPECT_EQ(result.out, "Examining '" + spelled("scenes/shot.ma") + "'.\n" +
                            "ERROR: Unable to create Vantle Submit File.\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(workFiles(), (std::vector<std::string>{"~shot.ma"}));
}

class StagingInARun : public WholeRun {
 protected:
  std::string textureStatement(const std::string& relative) {
    return "setAttr \".ftn\" -type \"string\" \"" + spelled(relative) + "\";\n";
  }
};

TEST_F(StagingInARun, CopiedFoundAndMissing) {
  project("a/wood.tif", "oak");
  project("a/stone.tif", "granite");
  temp.write("work/stone.tif", "user's stone");
  project("scenes/shot.ma", "//Maya ASCII\n" + textureStatement("a/wood.tif") + textureStatement("a/stone.tif") +
                                textureStatement("a/missing.tif"));
  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")});
  EXPECT_NE(result.out.find("File 'wood.tif' copied to current directory.\n"
                            "File 'stone.tif' found in current directory.\n"
                            "ERROR: Unable to copy '" + windowsForm(spelled("a/missing.tif")) +
                            "' to 'missing.tif'\n"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(workFile("wood.tif"), "oak");
  EXPECT_EQ(workFile("stone.tif"), "user's stone");
  EXPECT_FALSE(temp.exists("work/missing.tif"));
}

TEST_F(StagingInARun, DifferentImagesUnderOneNameAreNeverSubmitted) {
  project("a/wood.tif", "oak");
  project("b/wood.tif", "pine");
  project("scenes/shot.ma", "//Maya ASCII\n" + textureStatement("a/wood.tif") + textureStatement("b/wood.tif"));
  ProgramResult result = run({"-s", "1", "-e", "1", spelled("scenes/shot.ma")});
  EXPECT_EQ(result.status, 2);
  const std::string clash = "ERROR: '" + windowsForm(spelled("a/wood.tif")) + "' and '" +
                            windowsForm(spelled("b/wood.tif")) + "' would both be copied to 'wood.tif'.\n";
  EXPECT_EQ(result.out.substr(result.out.size() - clash.size()), clash);
  EXPECT_FALSE(temp.exists("work/vantle_render.sub"));
}

}  // namespace
