// Names that stand for no file the run can stage, in both formats: a name standing for several files that matches
// nothing anywhere fails the run once the rest is staged (a dry run goes on and counts it); an empty file name names
// nothing at all.
#include <nlohmann/json.hpp>

#include "e2e/run_fixture.h"
#include "support/maya_binary.h"

namespace {
using namespace std::string_literals;
// A node naming `value` by `attribute` ("ftn" of a file node, or "filename" of an image node), with `uvt` 3 or not.
struct Node {
  std::string attribute, value;
  bool uvt = false;
};
// The scene of the nodes: ASCII for width 0, else binary in that width.
std::string sceneOf(int width, const std::vector<Node>& nodes) {
  const MayaBinary m{width ? width : 4};
  std::string ascii = RunFixture::kMa;
  std::vector<std::string> top = {m.head({m.chunk("VERS", "2024")})};
  for (const Node& node : nodes) {
    const bool file = node.attribute == "ftn";
    ascii += (file ? "createNode file -n \"f\";\n" : "createNode aiImage -n \"i\";\n") +
             (node.uvt ? "\tsetAttr \".uvt\" 3;\n"s : "") + "\tsetAttr \"." + node.attribute +
             "\" -type \"string\" \"" + node.value + "\";\n";
    std::vector<std::string> chunks = {m.text(node.attribute, node.value)};
    if (node.uvt) chunks.push_back(m.attribute("DBLE", "uvt", "@\x08\0\0\0\0\0\0"s));  // 3.0
    top.push_back(m.node(file ? "RTFT" : "\0\x11\x5D\x17"s, file ? "f" : "i", "", chunks));
  }
  return width ? m.scene(top) : ascii;
}
std::string noMatch(const std::string& path) { return "ERROR: No file matches '" + path + "'.\n"; }
std::string wouldCopy(const std::string& name) { return "File '" + name + "' would be copied to current directory.\n"; }
}  // namespace

TEST_F(RunFixture, NamesMatchingNothingFailTheRun) {
  const std::string s = "sourceimages/", injected = "a.tif\nqueue 1000\n#";
  const std::vector<Node> nodes = {{"ftn", s + "wood.<UDIM>.tif"}, {"ftn", s + "real.tif"},
      {"ftn", s + "anim.####.png"}, {"ftn", s + "tile.1001.tif", true}, {"filename", s + injected},
      {"filename", "textures/stone.<UDIM>.tif"}};  // not beside the scene: found in the project's sourceimages
  const Names found = {proj(s + "real.tif", "real"), proj(s + "stone.1001.tif", "1"), proj(s + "stone.1002.tif", "2")};
  proj(s + "tile.tif", "a decoy"), proj(s + "anim.png", "a decoy");
  const Names unmatched = {windowsForm(at(s + "wood.<UDIM>.tif")), windowsForm(at(s + "anim.####.png")),
                           windowsForm(at(s + "tile.1001.tif")), windowsForm(at(s + injected))};
  const std::string fallback = "File 'textures\\stone.<UDIM>.tif' not found; using '" +
                               windowsForm(at(s + "stone.<UDIM>.tif")) + "'.\n";
  for (const int width : {0, 4, 8}) {
    const std::string shot = width ? "shot.mb" : "shot.ma";
    proj("scenes/" + shot, sceneOf(width, nodes));
    // The other textures are staged; then the run ends: no description, no submit tool, no dependency report.
    temp.makeDir(work = "w" + std::to_string(width));
    const std::string reportPath = temp.at("report" + std::to_string(width) + ".json");
    const ProgramResult result = run({"-s", "1", "-e", "1", "--report", reportPath, at("scenes/" + shot)});
    const auto printed = [&](std::string (*staged)(const std::string&)) {  // up to the end, `staged` per file copied
      return examining(at("scenes/" + shot)) + fallback + noMatch(unmatched[0]) + staged("real.tif") + noMatch(unmatched[1])
             + noMatch(unmatched[2]) + noMatch(unmatched[3]) + staged("stone.1001.tif") + staged("stone.1002.tif");
    };
    EXPECT_EQ(result.out, printed(copied)) << width;
    EXPECT_EQ(result.status, 2) << width;
    EXPECT_EQ(left(), (Names{"real.tif", "stone.1001.tif", "stone.1002.tif", "~" + shot})) << width;
    const nlohmann::json written = nlohmann::json::parse(readFile(reportPath));
    Names statuses;
    for (const auto& dependency : written["dependencies"])
      for (const auto& file : dependency["files"]) statuses.push_back(file["status"]);
    EXPECT_EQ(statuses, (Names{"missing", "copied", "missing", "missing", "missing", "copied", "copied"})) << width;
    EXPECT_EQ(written["submit"]["called"], false) << width;

    // A dry run says the same and goes on to the end.
    temp.makeDir(work = "d" + std::to_string(width));
    const ProgramResult dry = run({"-s", "1", "-e", "1", "--dry-run", at("scenes/" + shot)});
    EXPECT_EQ(dry.out, printed(wouldCopy) +
              report({unmatched[0], found[0], unmatched[1], unmatched[2], unmatched[3], found[1], found[2]}, {}) +
              "\nDry run: nothing written, nothing submitted.\n") << width;
    EXPECT_EQ(dry.status, 2) << width;
    EXPECT_EQ(left(), Names{}) << width;
  }
}

// A file node without an image ("", or blanks within the quotes) and an image node's empty file name: nothing is
// staged, reported or transferred for them, and the copy is written as ever.
TEST_F(RunFixture, EmptyFileNamesNameNothing) {
  const std::string real = proj("sourceimages/real.tif", "real");
  const std::vector<Node> nodes = {{"ftn", ""}, {"ftn", " "}, {"filename", ""}, {"filename", " "},
                                   {"ftn", "sourceimages/real.tif"}};
  std::vector<Node> copies = nodes;
  for (const int width : {0, 4, 8}) {
    const std::string shot = width ? "shot.mb" : "shot.ma";
    copies.back().value = width ? "real.tif" + std::string(13, ' ') : "real.tif";
    std::string copy = sceneOf(width, copies);
    if (!width) {  // the ftn rule writes its own form
      for (const std::string empty : {"\"\";\n", "\" \";\n", "\"real.tif\";\n"}) {
        const std::string name = empty == "\"real.tif\";\n" ? "real.tif" : "";
        copy.replace(copy.find("\t" + kFtn + empty), 1 + kFtn.size() + empty.size(), bare(name));
      }
    }
    proj("scenes/" + shot, sceneOf(width, nodes));
    temp.makeDir(work = "w" + std::to_string(width));
    const std::string reportPath = temp.at("report" + std::to_string(width) + ".json");
    const ProgramResult result = run({"-s", "1", "-e", "1", "--report", reportPath, at("scenes/" + shot)});
    EXPECT_EQ(result.out, examining(at("scenes/" + shot)) + copied("real.tif") + report({real}, {}) + kSubmitted);
    EXPECT_EQ(result.status, 0) << width;
    EXPECT_EQ(file("~" + shot), copy) << width;
    EXPECT_EQ(file("vantle_render.sub"), description({"real.tif", "~" + shot})) << width;
    EXPECT_EQ(nlohmann::json::parse(readFile(reportPath))["dependencies"].size(), 1u) << width;
  }
}
