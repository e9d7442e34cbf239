// Files that name files: USD layers in text form, Arnold scene files. Each is followed for what it names, resolved
// beside it; its copy "~" + name names every file by the name it is staged under, and the working folder the jobs
// get is closed: every path any file left there names for the render is a file there.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <nlohmann/json.hpp>

#include "e2e/run_fixture.h"
#include "names/base_name.h"
#include "names/name_pattern.h"
#include "scene/ascii_scene_reader.h"
#include "io/gzip.h"
#include "scene/ass_reader.h"
#include "scene/mtlx_reader.h"
#include "scene/usda_reader.h"
#include "support/maya_binary.h"

namespace {

bool endsWith(const std::string& name, const std::string& end) {
  return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
}

class FollowedFiles : public RunFixture {
 protected:
  // Every path that a file left in the working folder names for the render to load, with the file naming it, that
  // is not the bare name of a file there (a name with tokens: of at least one file there).
  Names openNames() const {
    const Names here = left();
    Names open;
    for (const std::string& name : here) {
      const std::string bytes = file(name);
      std::vector<Dependency> named;
      if (endsWith(name, ".ma")) {
        named = planAsciiScene(bytes).named;
      } else if (isUsdaLayer(bytes)) {
        for (const FoundPath& at : planUsdaLayer(bytes).found) named.push_back(at.named);
      } else if (endsWith(name, ".ass") || endsWith(name, ".ass.gz")) {
        const std::string text = endsWith(name, ".gz") ? inflateGzip(bytes).value_or("(not gzip)") : bytes;
        for (const FoundPath& at : planAssFile(text).found) named.push_back(at.named);
      } else if (endsWith(name, ".mtlx")) {
        const std::optional<FilePlan> plan = planMtlxDocument(bytes);
        if (!plan) open.push_back(name + ": no XML");
        for (const FoundPath& at : plan.value_or(FilePlan{}).found) named.push_back(at.named);
      }
      for (const Dependency& each : named) {
        const std::string& path = each.written;
        const auto pattern = NamePattern::of(path, 0, false);
        const bool there = path.find_first_of("/\\") == std::string::npos &&
                           std::any_of(here.begin(), here.end(), [&](const std::string& other) {
                             return pattern ? pattern->matches(other) : other == path;
                           });
        if (!there) open.push_back(name + ": " + path);
      }
    }
    return open;
  }

  static std::string proxyShape(const std::string& path) {
    return "createNode mayaUsdProxyShape -n \"stage\";\n\tsetAttr \".fp\" -type \"string\" \"" + path + "\";\n";
  }
  static std::string textureNode(const std::string& path) { return "createNode file -n \"f\";\n\t" + ftn(path); }
};

// A stage: two sublayers, a reference with a prim path, a payload, a UDIM texture, an assetInfo identifier that
// names no file to stage; a layer three levels down; a cycle back to the root; two asset folders that each hold a
// geo.usda; a texture of the scene and a file of the same name that a layer names.
TEST_F(FollowedFiles, UsdStageStagedWholeAndClosed) {
  // The root layer naming, in order: two sublayers, the ball's geometry, payload and texture, the crate's geometry.
  const auto rootLayer = [](const Names& n) {
    return "#usda 1.0\n(\n    subLayers = [\n        @" + n[0] + "@,\n        @" + n[1] + "@\n    ]\n)\n"
           "def Xform \"Ball_1\" (\n    prepend references = @" + n[2] + "@</Ball>\n    prepend payload = @" + n[3] +
           "@\n    assetInfo = {\n        asset identifier = @./Missing.usda@\n        string name = \"Ball\"\n    }\n)\n"
           "{\n    asset inputs:file = @" + n[4] + "@\n}\ndef \"Crate\" (\n    references = @" + n[5] +
           "@</Crate>\n)\n{\n}\n";
  };
  const std::string root = proj("assets/root.usda", rootLayer({"./layers/anim.usda", "edits.usda", "./ball/geo.usda",
      "./ball/payload.usd", "./tex/ball.<UDIM>.png", "crate/geo.usda"}));
  const std::string anim = proj("assets/layers/anim.usda", "#usda 1.0\n(\n    subLayers = [@../deep/one.usda@]\n)\n");
  const std::string edits = proj("assets/edits.usda", "#usda 1.0\n(\n    subLayers = [@root.usda@]\n)\n");
  const std::string one = proj("assets/deep/one.usda", "#usda 1.0\n(\n    subLayers = [@two/two.usda@]\n)\n");
  const std::string two = proj("assets/deep/two/two.usda", "#usda 1.0\n(\n    subLayers = [@three.usda@]\n)\n");
  const std::string three = proj("assets/deep/two/three.usda", "#usda 1.0\ndef \"Leaf\" {}\n");
  const std::string ballGeo = proj("assets/ball/geo.usda", "#usda 1.0\ndef \"Ball\" {}\n");
  const std::string crateGeo = proj("assets/crate/geo.usda", "#usda 1.0\ndef \"Crate\" {}\n");
  const std::string payload = proj("assets/ball/payload.usd", "#usda 1.0\ndef \"Ball\" {\n"
                                                              "    asset inputs:file = @wood.png@\n}\n");
  const std::string layerWood = proj("assets/ball/wood.png", "layer's wood");
  const std::string tile1 = proj("assets/tex/ball.1001.png", "1001"), tile2 = proj("assets/tex/ball.1002.png", "1002");
  const std::string sceneWood = proj("sourceimages/wood.png", "scene's wood");
  proj("scenes/shot.ma", kMa + proxyShape("assets/root.usda") + textureNode("sourceimages/wood.png"));

  const ProgramResult result = render();
  EXPECT_EQ(result.status, 0);
  // In the order the files are met: the scene's, then what each followed file names, file by file.
  const Names staged{root, sceneWood, anim, edits, ballGeo, payload, tile1, tile2, crateGeo, one, root, layerWood,
                     two, three};
  EXPECT_EQ(result.out, examining(at("scenes/shot.ma")) + copied("~root.usda") + copied("wood.png") +
                            copied("~anim.usda") + copied("~edits.usda") + copied("~geo.usda") +
                            copied("~payload.usd") + copied("ball.1001.png") + copied("ball.1002.png") +
                            copied("2~geo.usda") + copied("~one.usda") +
                            "File '~root.usda' found in current directory.\n" + copied("2~wood.png") +
                            copied("~two.usda") + copied("~three.usda") + report(staged, {}) + kSubmitted);
  EXPECT_EQ(file("~root.usda"), rootLayer({"~anim.usda", "~edits.usda", "~geo.usda", "~payload.usd",
                                          "ball.<UDIM>.png", "2~geo.usda"}));
  EXPECT_EQ(file("~edits.usda"), "#usda 1.0\n(\n    subLayers = [@~root.usda@]\n)\n");
  EXPECT_EQ(file("~payload.usd"), "#usda 1.0\ndef \"Ball\" {\n    asset inputs:file = @2~wood.png@\n}\n");
  EXPECT_EQ(file("wood.png"), "scene's wood");
  EXPECT_EQ(file("2~wood.png"), "layer's wood");
  EXPECT_EQ(file("2~geo.usda"), "#usda 1.0\ndef \"Crate\" {}\n");
  EXPECT_EQ(file("~shot.ma"), kMa + proxyShape("~root.usda") + "createNode file -n \"f\";\n" + bare("wood.png"));
  EXPECT_EQ(file("vantle_render.sub"),
            description({"~root.usda", "wood.png", "~anim.usda", "~edits.usda", "~geo.usda", "~payload.usd",
                         "ball.1001.png", "ball.1002.png", "2~geo.usda", "~one.usda", "2~wood.png", "~two.usda",
                         "~three.usda", "~shot.ma"}));
  // The assetInfo identifier names no file to load: it is left as written.
  EXPECT_EQ(openNames(), Names{});

  // A dry run reads the whole tree and writes nothing; its report tells each file, what named it and its name here.
  temp.makeDir(work = "dry");
  const ProgramResult dry = run({"-s", "1", "-e", "1", at("scenes/shot.ma"), "--dry-run", "--report",
                                 temp.at("report.json")});
  EXPECT_EQ(dry.status, 0);
  EXPECT_NE(dry.out.find("File '~three.usda' would be copied to current directory.\n"), std::string::npos);
  EXPECT_EQ(left(), Names{});
  const nlohmann::json report = nlohmann::json::parse(readFile(temp.at("report.json")));
  Names namedByPayload;
  for (const auto& entry : report["dependencies"]) {
    if (entry["scene"] == payload) namedByPayload.push_back(entry["path"].get<std::string>() + " -> " +
                                                            entry["files"][0]["name"].get<std::string>());
  }
  EXPECT_EQ(namedByPayload, Names{"wood.png -> 2~wood.png"});
}

// An Arnold stand-in names a texture, a volume and a nested stand-in; an output driver's file and a commented line
// are no dependencies. A mesh rendered as a procedural names a sequence of stand-ins through dso, in an ASCII and a
// binary scene.
TEST_F(FollowedFiles, ArnoldStandInsStagedAndClosed) {
  const auto chairFile = [](const std::string& wood, const std::string& smoke, const std::string& leg) {
    return "### exported\noptions\n{\n AA_samples 3\n}\ndriver_exr\n{\n name out\n filename \"beauty.exr\"\n}\n"
           "image\n{\n name file1\n filename \"" + wood + "\"\n # filename \"old.tx\"\n}\nvolume\n{\n name smoke\n "
           "filename \"" + smoke + "\"\n}\nprocedural\n{\n name leg\n filename \"" + leg + "\"\n}\n";
  };
  const std::string chair = proj("props/chair.ass", chairFile("tex/wood.tx", "cache/smoke.0101.vdb", "nested/leg.ass"));
  const std::string leg = proj("props/nested/leg.ass", "image\n{\n name i\n filename \"leg.png\"\n}\n");
  const std::string wood = proj("props/tex/wood.tx", "tx"), smoke = proj("props/cache/smoke.0101.vdb", "vdb");
  const std::string legPng = proj("props/nested/leg.png", "png");
  const std::string s1 = proj("props/standin.001.ass", "image\n{\n filename \"s.png\"\n}\n");
  const std::string s2 = proj("props/standin.002.ass", "image\n{\n filename \"s.png\"\n}\n");
  const std::string png = proj("props/s.png", "s");
  const std::string mesh = "createNode mesh -n \"m\";\n\tsetAttr \".ai_translator\" -type \"string\" \"procedural\";\n"
                           "\tsetAttr \".dso\" -type \"string\" \"";
  proj("scenes/shot.ma", kMa + "createNode aiStandIn -n \"a\";\n\tsetAttr \".dso\" -type \"string\" \"props/chair.ass\";\n" +
                             mesh + "props/standin.###.ass\";\n");
  const ProgramResult result = render();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, examining(at("scenes/shot.ma")) + copied("~chair.ass") + copied("~standin.001.ass") +
                            copied("~standin.002.ass") + copied("wood.tx") + copied("smoke.0101.vdb") +
                            copied("~leg.ass") + copied("s.png") + "File 's.png' found in current directory.\n" +
                            copied("leg.png") +
                            report({chair, s1, s2, wood, smoke, leg, png, png, legPng}, {}) + kSubmitted);
  EXPECT_EQ(file("~chair.ass"), chairFile("wood.tx", "smoke.0101.vdb", "~leg.ass"));
  EXPECT_EQ(file("~shot.ma"), kMa + "createNode aiStandIn -n \"a\";\n\tsetAttr \".dso\" -type \"string\" \"~chair.ass\";\n" +
                                  mesh + "~standin.###.ass\";\n");
  EXPECT_EQ(file("vantle_render.sub"), description({"~chair.ass", "~standin.001.ass", "~standin.002.ass", "wood.tx",
                                                    "smoke.0101.vdb", "~leg.ass", "s.png", "leg.png", "~shot.ma"}));
  EXPECT_EQ(openNames(), Names{});

  // The same mesh in a binary scene: a node of a type the program knows nothing of still names its stand-in.
  const MayaBinary m{4};
  const std::string value = "props/standin.###.ass";
  proj("scenes/mesh.mb", m.scene({m.head({m.chunk("VERS", "2024")}),
                                  m.node("DMSH", "m", "", {m.text("ai_translator", "procedural"), m.text("dso", value)})}));
  temp.makeDir(work = "binary");
  const ProgramResult binary = run({"-s", "1", "-e", "1", at("scenes/mesh.mb")});
  EXPECT_EQ(binary.status, 0);
  EXPECT_EQ(file("~standin.001.ass"), "image\n{\n filename \"s.png\"\n}\n");
  const std::string copy = file("~mesh.mb");
  EXPECT_NE(copy.find("~standin.###.ass" + std::string(value.size() - 16, ' ')), std::string::npos);
}

// Two layers of one name that the scene names end the run as two textures of one name do, even with the same bytes:
// each names the files beside it, and one copy cannot name both.
TEST_F(FollowedFiles, TwoLayersOfOneNameInTheScene) {
  const std::string layer = "#usda 1.0\ndef \"A\" {\n    asset inputs:file = @wood.png@\n}\n";
  const std::string first = proj("a/geo.usda", layer), second = proj("b/geo.usda", layer);
  proj("a/wood.png", "a"), proj("b/wood.png", "b");
  proj("scenes/shot.ma", kMa + proxyShape("a/geo.usda") + proxyShape("b/geo.usda"));
  const ProgramResult result = render();
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, examining(at("scenes/shot.ma")) + copied("~geo.usda") + "ERROR: '" + first + "' and '" +
                            second + "' would both be copied to '~geo.usda'.\n");
}

// A compressed stand-in is read through its inflated text, and its copy is compressed again.
TEST_F(FollowedFiles, CompressedStandInFollowed) {
  const std::string cube = proj("props/cube.ass.gz", deflateGzip("image\n{\n name i\n filename \"tex/cube.png\"\n}\n"));
  const std::string png = proj("props/tex/cube.png", "c");
  proj("scenes/shot.ma", kMa + "createNode mesh -n \"m\";\n\tsetAttr \".dso\" -type \"string\" \"props/cube.ass.gz\";\n");
  const ProgramResult result = render();
  EXPECT_EQ(result.out, examining(at("scenes/shot.ma")) + copied("~cube.ass.gz") + copied("cube.png") +
                            report({cube, png}, {}) + kSubmitted);
  EXPECT_EQ(inflateGzip(file("~cube.ass.gz")), "image\n{\n name i\n filename \"cube.png\"\n}\n");
  EXPECT_EQ(openNames(), Names{});
}

// A MaterialX look: the prefix in force is put in front of each file name, across an include; the copy names bare
// names with no prefix left in force, and keeps the XML escapes.
TEST_F(FollowedFiles, MaterialXLookWithPrefixesAndInclude) {
  const std::string head = "<?xml version=\"1.0\"?>\n<materialx version=\"1.38\" fileprefix=\"";
  const std::string tail = "\" xmlns:xi=\"http://www.w3.org/2001/XInclude\">\n  <xi:include href=\"";
  const auto look = [&](const std::string& prefix, const std::string& include, const std::string& wood,
                        const std::string& woodFile, const std::string& rough) {
    return head + prefix + tail + include + "\" />\n  <nodegraph name=\"NG_wood\" fileprefix=\"" + wood +
           "\">\n    <image name=\"base\" type=\"color3\">\n      <input name=\"file\" type=\"filename\" value=\"" +
           woodFile + "\" />\n    </image>\n  </nodegraph>\n  <image name=\"r\" type=\"float\"><input name=\"file\" "
           "type=\"filename\" value=\"" + rough + "\"/></image>\n</materialx>\n";
  };
  const std::string lookPath = proj("looks/look.mtlx", look("textures/", "common.mtlx", "wood/", "wood_&lt;UDIM&gt;.png",
                                                           "rough.png"));
  const std::string common = "<materialx version=\"1.38\">\n  <image name=\"n\" type=\"vector3\"><input name=\"file\" "
                             "type=\"filename\" value=\"normal.png\"/></image>\n</materialx>\n";
  const std::string commonPath = proj("looks/common.mtlx", common);
  const std::string w1 = proj("looks/wood/wood_1001.png", "1"), w2 = proj("looks/wood/wood_1002.png", "2");
  const std::string rough = proj("looks/textures/rough.png", "r"), normal = proj("looks/textures/normal.png", "n");
  proj("scenes/shot.ma", kMa + "createNode aiMaterialx -n \"x\";\n\tsetAttr \".filename\" -type \"string\" "
                             "\"looks/look.mtlx\";\n");
  const ProgramResult result = render();
  EXPECT_EQ(result.out, examining(at("scenes/shot.ma")) + copied("~look.mtlx") + copied("~common.mtlx") +
                            copied("wood_1001.png") + copied("wood_1002.png") + copied("rough.png") +
                            copied("normal.png") + report({lookPath, commonPath, w1, w2, rough, normal}, {}) +
                            kSubmitted);
  EXPECT_EQ(file("~look.mtlx"), look("", "~common.mtlx", "", "wood_&lt;UDIM&gt;.png", "rough.png"));
  EXPECT_EQ(file("~common.mtlx"), common);
  EXPECT_EQ(openNames(), Names{});
}

// A file that a layer names and that is not there is reported as a missing texture is; names a file may not be
// staged under end the run before anything is staged, whichever format named them.
TEST_F(FollowedFiles, MissingAndHostileNamesInsideFollowedFiles) {
  proj("assets/root.usda", "#usda 1.0\ndef \"A\" {\n    asset inputs:file = @./tex/gone.png@\n}\n");
  proj("scenes/shot.ma", kMa + proxyShape("assets/root.usda"));
  const ProgramResult missing = render();
  EXPECT_EQ(missing.out, examining(at("scenes/shot.ma")) + copied("~root.usda") +
                             unable(windowsForm(at("assets/tex/gone.png")), "gone.png") +
                             report({windowsForm(at("assets/root.usda")), windowsForm(at("assets/tex/gone.png"))}, {}) +
                             kSubmitted);

  // The file, what it holds, the name refused, where its file lies; Windows can make no file of a device's name nor
  // with a '|', and a name is refused whether its file is there or not; the node naming the file.
  const struct { std::string path, text, name, where; bool made; std::string node; } hostile[] = {
      {"assets/root.usda", "#usda 1.0\ndef \"A\" {\n    asset inputs:file = @../CON.png@\n}\n", "CON.png", "CON.png",
       false, "mayaUsdProxyShape -n \"a\";\n\tsetAttr \".fp\""},
      {"assets/root.usda", "#usda 1.0\n(\n    subLayers = [@vantle_render.sub@]\n)\n", "vantle_render.sub",
       "assets/vantle_render.sub", true, "mayaUsdProxyShape -n \"a\";\n\tsetAttr \".fp\""},
      {"props/chair.ass", "image\n{\n filename \"a,b.png\"\n}\n", "a,b.png", "props/a,b.png", true,
       "aiStandIn -n \"a\";\n\tsetAttr \".dso\""},
      {"looks/look.mtlx", "<materialx><image><input name=\"f\" type=\"filename\" value=\"a&#124;b.png\"/></image>"
       "</materialx>\n", "a|b.png", "looks/a|b.png", false, "aiMaterialx -n \"a\";\n\tsetAttr \".filename\""}};
  int round = 0;
  for (const auto& row : hostile) {
    proj(row.path, row.text);
    if (row.made) proj(row.where, "x");
    proj("scenes/shot.ma", kMa + "createNode " + row.node + " -type \"string\" \"" + row.path + "\";\n");
    const ProgramResult refused = render("hostile" + std::to_string(round++), "shot.ma");
    EXPECT_EQ(refused.status, 2) << row.name;
    EXPECT_EQ(refused.out, examining(at("scenes/shot.ma")) + "ERROR: '" + windowsForm(at(row.where)) +
                               "' cannot be staged under the name '" + row.name + "'.\n") << row.name;
    EXPECT_EQ(left(), Names{"~shot.ma"}) << row.name;
  }
}

}  // namespace
