// XGen collections: an xgmPalette's `.xgen` file, found beside the scene, is followed: its data folder is staged
// whole as a folder of its name with its layout, the archives it names as files, the palette's guide cache beside the
// scene under the name XGen looks for beside the scene's copy; the copy `~<name>.xgen` names all of them in the
// working folder. In an ASCII scene and in binary scenes of both widths.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "e2e/cache_fixture.h"

namespace {

using json = nlohmann::json;

class Xgen : public CacheFixture {
 protected:
  // A collection file as XGen writes it, naming its data folder, project and two archives as given.
  static std::string collection(const std::string& data, const std::string& project, const std::string& abc,
                                const std::string& ass) {
    return "# XGen Collection File\n#\nFileVersion 18\n\nPalette\n\tname\t\t\tcoll\n\tparent\t\t\t\n"
           "\txgDataPath\t\t" + data + "\n\txgProjectPath\t\t" + project + "\n\tendAttrs\n\n"
           "Description\n\tname\t\t\thair\n\tendAttrs\n\nPrimitive\tArchivePrimitive\n"
           "\tfiles\t\t\t#ArchiveGroup 0 name=\"Archive\" thumbnail=\"Archive.png\" abc=\"" + abc + "\"\n"
           "#ass=\\\"" + ass + "\\\"\n#EndArchiveGroup\n\tendAttrs\n\nPrimitive\tSplinePrimitive\n"
           "\tcacheFileName\t\t${DESC}/guides.abc\n\tendAttrs\n";
  }
  // The scene: a palette naming `xfn`, ASCII (width 0) or binary, the palette's type known from the PLUG chunk.
  static std::string scene(int width, const std::string& xfn) {
    if (!width) {
      return kMa + "createNode xgmPalette -n \"coll\";\n\tsetAttr \".xfn\" -type \"string\" \"" + xfn + "\";\n";
    }
    const MayaBinary m{width};
    const std::string plug = std::string("xgenToolkit\0" "1.0\0" "xgmPalette\0" "XGMP", 31);
    return m.scene({m.head({m.chunk("VERS", "2024"), m.chunk("PLUG", plug)}),
                    m.node("XGMP", "coll", "", {m.text("xfn", xfn)})});
  }
  static std::string foundElsewhere(const std::string& recorded, const std::string& used) {
    return "File '" + recorded + "' not found; using '" + used + "'.\n";
  }
};

const std::string kOther = "C:/Users/artist/proj/";  // the project of the machine that saved the collection
const Names kData = {"hair/guides.abc", "hair/paintmaps/mask/pPlane1.ptx", "hair/paintmaps/width/pPlane1.ptx"};

TEST_F(Xgen, CollectionStagedWithDataArchivesAndGuides) {
  for (const std::string& each : kData) proj("xgen/collections/coll/" + each, each);
  proj("xgen/archives/Archive.abc", "archive geometry");
  proj("xgen/archives/ass/Archive__pCone1.ass", "options\n{\n AA_samples 3\n}\n");
  const std::string source = collection("${PROJECT}xgen/collections/coll/", kOther,
                                        "${PROJECT}xgen/archives/Archive.abc",
                                        "${PROJECT}xgen/archives/ass/Archive__pCone1.ass");
  for (const int width : kFormats) {
    SCOPED_TRACE(width);
    const std::string sceneFile = sceneName(width), shot = sceneFile.substr(0, sceneFile.size() - 3);
    proj("scenes/" + sceneFile, scene(width, shot + "__coll.xgen"));
    const std::string xgen = proj("scenes/" + shot + "__coll.xgen", source);
    const std::string guides = proj("scenes/" + shot + "__coll.abc", "guides of " + shot);
    const std::string other = windowsForm(kOther), data = windowsForm(at("xgen/collections/coll"));
    const std::string abc = windowsForm(at("xgen/archives/Archive.abc"));
    const std::string ass = windowsForm(at("xgen/archives/ass/Archive__pCone1.ass"));
    const std::string found = foundElsewhere(other + "xgen\\collections\\coll\\", data) +
                              foundElsewhere(other + "xgen\\archives\\Archive.abc", abc) +
                              foundElsewhere(other + "xgen\\archives\\ass\\Archive__pCone1.ass", ass);
    const Names staged = {"~" + shot + "__coll.xgen", "coll\\hair\\guides.abc",
                          "coll\\hair\\paintmaps\\mask\\pPlane1.ptx",
                          "coll\\hair\\paintmaps\\width\\pPlane1.ptx", "Archive.abc", "~Archive__pCone1.ass",
                          "~" + shot + "__coll.abc"};
    Names paths = {xgen};
    for (const std::string& each : kData) paths.push_back(windowsForm(at("xgen/collections/coll/" + each)));
    paths.insert(paths.end(), {abc, ass, guides});

    const Names transfer{staged[0], "coll", "Archive.abc", "~Archive__pCone1.ass", staged.back(), "~" + sceneFile};

    // A dry run prints what it would stage and reports it; it writes nothing here.
    const ProgramResult dry = renderFresh(at("scenes/" + sceneFile), "1", "1", {"--dry-run", "--report", "../r.json"});
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(dry.out, examining(at("scenes/" + sceneFile)) + found + copiedInto("", staged, kWouldBe) +
                           report(paths, {}) + kDryRun);
    EXPECT_EQ(left(), Names{});
    const json document = json::parse(readFile(temp.at("r.json")));
    Names kinds, names;
    for (const json& dependency : document.at("dependencies")) {
      kinds.push_back(dependency.at("kind"));
      for (const json& file : dependency.at("files")) names.push_back(file.at("name"));
    }
    EXPECT_EQ(kinds, (Names{"file", "folder", "file", "file", "file"}));
    EXPECT_EQ(names, staged);
    EXPECT_EQ(document.at("transfer"), json(transfer));

    const ProgramResult result = renderFresh(at("scenes/" + sceneFile), "1", "1");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              examining(at("scenes/" + sceneFile)) + found + copiedInto("", staged) + report(paths, {}) + kSubmitted);
    EXPECT_EQ(left(), (Names{"Archive.abc", "coll", "vantle_render.sub", "~Archive__pCone1.ass", "~" + sceneFile,
                             staged.back(), "~" + shot + "__coll.xgen"}));
    expectStaged("coll", kData, "xgen/collections/coll");
    EXPECT_EQ(file("Archive.abc"), "archive geometry");
    EXPECT_EQ(file(staged.back()), "guides of " + shot);
    EXPECT_EQ(file("~" + sceneFile), scene(width, "~" + shot + "__coll.xgen"));
    EXPECT_EQ(file("~" + shot + "__coll.xgen"), collection("./coll/", "./", "./Archive.abc", "./~Archive__pCone1.ass"));
    EXPECT_EQ(file("vantle_render.sub"), description(transfer));
    EXPECT_EQ(submitted(), 0);
  }
}

// Without its guide cache, and with a data folder found nowhere, a collection is staged with what there is: a
// warning for each, and the copy keeps the missing folder's path. A second folder of the same name takes a number.
// Names inside a data folder are checked.
TEST_F(Xgen, MissingGuidesAndDataFolderWarn) {
  proj("xgen/collections/coll/hair/mask.ptx", "mask");
  const std::string shared = proj("lib/coll/shared.ptx", "shared");
  const std::string source = collection("${PROJECT}xgen/collections/coll/;D:/lib/gone/;${PROJECT}lib/coll", "", "", "");
  const std::string xgen = proj("scenes/shot__coll.xgen", source);
  proj("scenes/shot.ma", scene(0, "shot__coll.xgen"));
  // The lines of a run of proj/scenes/<shot>.ma up to the collection's copy.
  const auto warned = [&](const std::string& shot) {
    return examining(at("scenes/" + shot + ".ma")) +
           "WARNING: the XGen data folder 'D:\\lib\\gone\\' is not there; it is not staged.\n"
           "WARNING: the XGen guide cache '" + windowsForm(at("scenes/" + shot + "__coll.abc")) +
           "' is not there; it is not staged.\n" + copied("~" + shot + "__coll.xgen");
  };
  const ProgramResult result = render();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, warned("shot") + copied("coll\\hair\\mask.ptx") + copied("2~coll\\shared.ptx") +
                            report({xgen, windowsForm(at("xgen/collections/coll/hair/mask.ptx")), shared}, {}) +
                            kSubmitted);
  EXPECT_EQ(file("~shot__coll.xgen"), collection("./coll/;D:/lib/gone/;./2~coll/", "", "", ""));
  EXPECT_EQ(file("coll/hair/mask.ptx") + file("2~coll/shared.ptx"), "maskshared");

  // With none of its data folders here the collection could not render: the run ends as for a cache no job could
  // read.
  proj("scenes/gone__coll.xgen", collection("D:/lib/gone/", "", "", ""));
  proj("scenes/gone.ma", scene(0, "gone__coll.xgen"));
  const ProgramResult gone = render("gone", "gone.ma");
  EXPECT_EQ(gone.status, 2);
  EXPECT_EQ(gone.out, warned("gone") + "ERROR: No file matches 'D:\\lib\\gone\\'.\n");
  EXPECT_EQ(left(), (Names{"~gone.ma", "~gone__coll.xgen"}));

  // A name inside the data folder that the render nodes cannot take, a subfolder's here, ends the run before
  // anything is staged.
  const std::string bad = proj("xgen/collections/coll/a,b/x.ptx", "x");
  const ProgramResult refused = render("refused", "shot.ma");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out.substr(refused.out.find("ERROR")),
            "ERROR: '" + bad + "' cannot be staged under the name 'a,b'.\n");
  EXPECT_EQ(left(), Names{"~shot.ma"});
}

}  // namespace
