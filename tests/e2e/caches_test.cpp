// Geometry caches and nCaches of cacheFile nodes: the node's cache folder `cp` is staged as a folder of its bare
// name holding the description `<cn>.xml` and the data of the frames the jobs render, one frame around them,
// through the node's mapping; the copy names the folder by that name, so that the jobs find `<folder>/<cn>.xml`.
// Each case in an ASCII scene and in binary scenes of both widths.
#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "e2e/cache_fixture.h"

namespace {

using json = nlohmann::json;

// What a cacheFile node sets: its cache name and folder, and its mapping (sf, ss, se; none: not set).
struct CacheNode {
  std::string cn, cp;
  std::vector<std::pair<std::string, double>> numbers = {{"sf", 1}, {"ss", 1}, {"se", 10}};
};

class Caches : public CacheFixture {
 protected:
  static std::string xml(const std::string& type, const std::string& format, const std::string& range, int perFrame) {
    return "<?xml version=\"1.0\"?>\n<cacheDescription>\n  <cacheType Type=\"" + type + "\" Format=\"" + format +
           "\"/>\n  <time Range=\"" + range + "\"/>\n  <cacheTimePerFrame TimePerFrame=\"" +
           std::to_string(perFrame) + "\"/>\n  <cacheVersion Version=\"2.0\"/>\n</cacheDescription>\n";
  }
  static std::string number(double value) {
    std::string text = std::to_string(value);
    return text.substr(0, text.find('.'));
  }
  // The nodes as the scene holds them (`folders` empty) or as its copy does (each node's folder name).
  static std::string scene(int width, const std::vector<CacheNode>& nodes, const Names& folders = {}) {
    const MayaBinary m{width ? width : 4};
    std::string text = kMa;
    std::vector<std::string> groups{m.head({m.chunk("VERS", "2024")})};
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      const CacheNode& node = nodes[i];
      std::string cp = node.cp;
      if (!folders.empty()) cp = width ? folders[i] + std::string(cp.size() - folders[i].size(), ' ') : folders[i];
      text += "createNode cacheFile -n \"cacheFile" + std::to_string(i) + "\";\n\trename -uid \"ID\";\n"
              "\tsetAttr \".cn\" -type \"string\" \"" + node.cn + "\";\n"
              "\tsetAttr -k on \".cp\" -type \"string\" \"" + cp + "\";\n";
      std::vector<std::string> chunks{m.text("cn", node.cn), m.text("cp", cp)};
      for (const auto& [name, value] : node.numbers) {
        text += "\tsetAttr \"." + name + "\" " + number(value) + ";\n";
        chunks.push_back(m.dble(name, value));
      }
      groups.push_back(m.node("CCHF", "cacheFile" + std::to_string(i), "", chunks));
    }
    text += "select -ne :time1;\n";
    return width ? m.scene(groups) : text;
  }
  // Writes the scene into proj/scenes and renders frames `first` to `last` from a fresh folder.
  ProgramResult renderCaches(int width, const std::vector<CacheNode>& nodes, const std::string& first,
                             const std::string& last, Names extra = {}) {
    proj("scenes/" + sceneName(width), scene(width, nodes));
    return renderFresh(at("scenes/" + sceneName(width)), first, last, extra);
  }
};

// Caches of each layout and format, the report of what was staged, the dry run, the stand-in submit tool. An nCache of
// one file per frame in `.mcx` with sub-frame samples (ticks between frames): a render of frames 4 to 6 stages frames 3
// to 7 and the samples between them, with the description; not the other frames, not another cache's files in the same
// folder, not a name that only begins like the cache's. A 200-frame cache placed at scene frame 51 (sf 51, ss 1),
// rendered from 100 to 120 in jobs of 10: the jobs read cache frames 50 to 70, and 49 to 71 are staged. One file per
// frame in `.mc` (Format "mcc") and from before `.mcx` (no Format), their folders with a trailing separator, their
// nodes setting nothing of the mapping or only ss: the cache is played from ss, else from the description's first
// frame, placed at the scene frame of that number. One file, `.mc` and `.mcx`: the description and the one data
// file, every frame of the range counted as staged.
TEST_F(Caches, EachLayoutAndFormat) {
  // The description, then the files of `cache` of frames `first` to `last`, with samples after frames to `sampled`.
  const auto framesFrom = [](const std::string& cache, int first, int last, int sampled) {
    Names frames;
    for (int frame = first; frame <= last; ++frame) {
      frames.push_back(cache + "Frame" + std::to_string(frame) + ".mcx");
      if (frame <= sampled) frames.push_back(cache + "Frame" + std::to_string(frame) + "Tick125.mcx");
    }
    std::sort(frames.begin(), frames.end());
    frames.insert(frames.begin(), cache + ".xml");
    return frames;
  };
  cacheFiles("cache/nCache", framesFrom("nParticleShape1", 1, 10, 10));
  cacheFiles("cache/nCache", {"nParticleShape10Frame5.mcx", "otherShape.xml", "otherShapeFrame5.mcx"});
  proj("cache/nCache/nParticleShape1.xml", xml("OneFilePerFrame", "mcx", "250-2500", 250));
  cacheFiles("cache/long", framesFrom("fluid", 1, 200, 0));
  proj("cache/long/fluid.xml", xml("OneFilePerFrame", "mcx", "250-50000", 250));
  for (const std::string format : {"mcc", ""}) {
    const std::string cloth = "cloth" + format;
    Names frames{cloth + ".xml"};  // frames 1 to 10 in `.mc`
    for (int frame = 1; frame <= 10; ++frame) frames.push_back(cloth + "Frame" + std::to_string(frame) + ".mc");
    cacheFiles("cache/" + cloth, frames);
    const std::string range = format.empty() ? "6000-60000" : "12000-60000";  // frames 1 or 2 to 10
    proj("cache/" + cloth + "/" + cloth + ".xml", xml("OneFilePerFrame", format, range, 6000));
    const std::string one = format.empty() ? "mcx" : format;
    cacheFiles("cache/one_" + one, {"geo_" + one + ".mc", "geo_" + one + ".mcx"});
    proj("cache/one_" + one + "/geo_" + one + ".xml", xml("OneFile", one, "6000-144000", 6000));
  }
  const std::vector<std::pair<std::string, double>> frames24{{"sf", 1}, {"ss", 1}, {"se", 24}};
  const Names jobs{"100", "109", "110", "119", "120", "120"};
  const struct { CacheNode node; std::string first, last; Names staged; int frames, all; Names jobs; } rows[] = {
      {{"nParticleShape1", "cache/nCache"}, "4", "6", framesFrom("nParticleShape1", 3, 7, 6), 5, 10, {"4", "6"}},
      {{"fluid", "cache/long", {{"sf", 51}, {"ss", 1}, {"se", 200}}}, "100", "120", framesFrom("fluid", 49, 71, 0),
       23, 200, jobs},
      {{"clothmcc", "cache/clothmcc/", {}}, "1", "2", {"clothmcc.xml", "clothmccFrame2.mc", "clothmccFrame3.mc"}, 2, 10,
       {"1", "2"}},
      {{"cloth", "cache/cloth/", {{"ss", 3}}}, "1", "2", {"cloth.xml", "clothFrame3.mc"}, 1, 10, {"1", "2"}},
      {{"geo_mcc", "cache/one_mcc", frames24}, "10", "12", {"geo_mcc.xml", "geo_mcc.mc"}, 24, 24, {"10", "12"}},
      {{"geo_mcx", "cache/one_mcx", frames24}, "10", "12", {"geo_mcx.xml", "geo_mcx.mcx"}, 24, 24, {"10", "12"}}};
  for (const auto& row : rows) {
    const std::string where = row.node.cp.substr(0, row.node.cp.find_last_not_of('/') + 1), cn = row.node.cn;
    const std::string folder = windowsForm(at(where)), staging = where.substr(where.rfind('/') + 1);
    for (const int width : kFormats) {
      SCOPED_TRACE(cn + " " + std::to_string(width));
      const std::string shot = "~" + sceneName(width);
      const ProgramResult result = renderCaches(width, {row.node}, row.first, row.last, {"--report", temp.at("r.json")});
      EXPECT_EQ(result.status, 0);
      EXPECT_EQ(result.out, examining(at("scenes/" + sceneName(width))) + cacheLine(folder, row.frames, row.all) +
                                copiedInto(staging, row.staged) + report(paths(folder, row.staged), {}) + kSubmitted);
      EXPECT_EQ(left(), (Names{staging, "vantle_render.sub", shot}));
      expectStaged(staging, row.staged, where);
      EXPECT_EQ(file(shot), scene(width, {row.node}, {staging}));
      EXPECT_EQ(file("vantle_render.sub"), description({staging, shot}, row.jobs));
      if (&row != rows) continue;  // the report, the submit tool and the dry run: once, for every scene format
      EXPECT_EQ(submitted(), 0);
      // The stand-in refuses the description once the folder it names is gone.
      std::filesystem::remove_all(temp.at(work + "/" + staging));
      const ProgramResult refused = runProgram({VANTLE_SUBMIT_EXE, {"vantle_render.sub"}, temp.at(work), {}});
      EXPECT_NE(refused.status, 0);
      EXPECT_NE(refused.err.find("'" + staging + "' is not in the current directory."), std::string::npos);
      const json written = reportedFirst(1, {{"kind", "cache"}, {"node_type", "cacheFile"}, {"attribute", "cp"},
          {"path", row.node.cp}, {"resolved", folder}, {"cache", {{"name", cn}, {"folder", staging},
          {"frames_staged", row.frames}, {"frames_in_all", row.all}}}});
      const json& cache = written["dependencies"][0];
      ASSERT_EQ(cache["files"].size(), row.staged.size());
      EXPECT_EQ(cache["files"][1], (json{{"name", staging + "\\" + row.staged[1]}, {"status", "copied"},
                                         {"size", row.staged[1].size()}}));
      EXPECT_EQ(written["transfer"], (json{staging, shot}));

      const ProgramResult dry = renderFresh(at("scenes/" + sceneName(width)), row.first, row.last, {"--dry-run"});
      EXPECT_EQ(dry.status, 0);
      EXPECT_EQ(dry.out, examining(at("scenes/" + sceneName(width))) + cacheLine(folder, row.frames, row.all) +
                             copiedInto(staging, row.staged, kWouldBe) + report(paths(folder, row.staged), {}) +
                             kDryRun);
      EXPECT_EQ(left(), Names{});
    }
  }
}

// A render outside the cache's used part (ss..se), or in its range but between files that are there, or of a cache
// whose description is missing or is no description: no job could read the cache. The run ends as for a name that
// matches nothing: the error at its turn in staging, status 2, no description, nothing submitted, no folder. A name
// in the folder or the folder's own that may not be staged ends it before anything is staged.
TEST_F(Caches, RunsThatEndWithoutTheCache) {
  Names all;
  for (int frame = 1; frame <= 20; ++frame) all.push_back("dropFrame" + std::to_string(frame) + ".mcx");
  cacheFiles("cache/drops", all);
  proj("cache/drops/drop.xml", xml("OneFilePerFrame", "mcx", "250-5000", 250));
  cacheFiles("cache/gaps", {"gapFrame1.mcx", "gapFrame50.mcx"});
  proj("cache/gaps/gap.xml", xml("OneFilePerFrame", "mcx", "250-12500", 250));
  cacheFiles("cache/bare", {"bareFrame1.mcx"});
  cacheFiles("cache/broken", {"brokenFrame1.mcx"});
  proj("cache/broken/broken.xml", "<cacheType Type=\"Many\"/>");
  cacheFiles("cache/ok", {"co,nFrame1.mcx"});
  proj("cache/ok/co,n.xml", xml("OneFilePerFrame", "mcx", "250-250", 250));
  cacheFiles("cache/n,ul", {"fineFrame1.mcx"});
  proj("cache/n,ul/fine.xml", xml("OneFilePerFrame", "mcx", "250-250", 250));
  const auto noMatch = [&](const std::string& path) { return "ERROR: No file matches '" + windowsForm(at(path)) + "'.\n"; };
  const auto refused = [&](const std::string& path, const std::string& name) {
    return "ERROR: '" + windowsForm(at(path)) + "' cannot be staged under the name '" + name + "'.\n";
  };
  const struct {
    CacheNode node;
    std::string first, last, error;
  } cases[] = {{{"drop", "cache/drops", {{"sf", 1}, {"ss", 1}, {"se", 20}}}, "300", "310", noMatch("cache/drops")},
               {{"drop", "cache/drops", {{"sf", 10}, {"ss", 1}, {"se", 20}}}, "1", "2", noMatch("cache/drops")},
               {{"gap", "cache/gaps", {{"sf", 1}, {"ss", 1}, {"se", 50}}}, "10", "20", noMatch("cache/gaps")},
               {{"bare", "cache/bare"}, "1", "1", noMatch("cache/bare")},
               {{"broken", "cache/broken"}, "1", "1", noMatch("cache/broken")},
               {{"co,n", "cache/ok"}, "1", "1", refused("cache/ok/co,n.xml", "co,n.xml")},
               {{"fine", "cache/n,ul"}, "1", "1", refused("cache/n,ul", "n,ul")}};
  for (const auto& each : cases) {
    SCOPED_TRACE(each.node.cp + " " + each.first);
    for (const int width : kFormats) {
      SCOPED_TRACE(width);
      const ProgramResult result = renderCaches(width, {each.node}, each.first, each.last);
      EXPECT_EQ(result.status, 2);
      EXPECT_EQ(result.out, examining(at("scenes/" + sceneName(width))) + each.error);
      EXPECT_EQ(left(), Names{"~" + sceneName(width)});
    }
  }
}

// A cache folder saved on another machine (an absolute path that does not exist here, with a trailing separator)
// is found by its name in the project; one whose folder is nowhere by its description beside the scene, where the
// folder's files then are. The copy names the folder by the name the path gave it.
TEST_F(Caches, FolderFromAnotherMachine) {
  cacheFiles("nCache", {"hairFrame1.mcx", "hairFrame2.mcx", "hairFrame3.mcx"});
  proj("nCache/hair.xml", xml("OneFilePerFrame", "mcx", "250-750", 250));
  cacheFiles("scenes", {"rainFrame1.mc", "rainFrame9.mc"});
  proj("scenes/rain.xml", xml("OneFilePerFrame", "", "250-2250", 250));
  const std::vector<CacheNode> nodes{{"hair", "D:/farm/shots/cache/nCache/"}, {"rain", "D:/farm/sim//"}};
  for (const int width : kFormats) {
    SCOPED_TRACE(width);
    const ProgramResult result = renderCaches(width, nodes, "1", "1");
    EXPECT_EQ(result.status, 0);
    const std::string hair = windowsForm(at("nCache")), rain = windowsForm(at("scenes"));
    const Names hairFiles{"hair.xml", "hairFrame1.mcx", "hairFrame2.mcx"}, rainFiles{"rain.xml", "rainFrame1.mc"};
    Names listed = paths(hair, hairFiles);
    for (const std::string& path : paths(rain, rainFiles)) listed.push_back(path);
    EXPECT_EQ(result.out, examining(at("scenes/" + sceneName(width))) +
                              "File 'D:\\farm\\shots\\cache\\nCache\\' not found; using '" + hair + "'.\n" +
                              "File 'D:\\farm\\sim\\\\' not found; using '" + rain + "'.\n" + cacheLine(hair, 2, 3) +
                              copiedInto("nCache", hairFiles) + cacheLine(rain, 1, 2) + copiedInto("sim", rainFiles) +
                              report(listed, {}) + kSubmitted);
    expectStaged("nCache", hairFiles, "nCache");
    expectStaged("sim", rainFiles, "scenes");
    EXPECT_EQ(file("~" + sceneName(width)), scene(width, nodes, {"nCache", "sim"}));
    EXPECT_EQ(file("vantle_render.sub"), description({"nCache", "sim", "~" + sceneName(width)}));
  }
}

// Two caches in one folder, named by two nodes, and a third node naming the first cache again: one folder holding
// the files of both, named once on the transfer line; a file met again is found there. Two different folders of one
// name would be one folder on the render nodes: the run ends before it copies into the second.
TEST_F(Caches, NodesNamingOneFolder) {
  cacheFiles("cache/shared", {"aFrame1.mcx", "aFrame2.mcx", "bFrame1.mcx", "bFrame5.mcx"});
  proj("cache/shared/a.xml", xml("OneFilePerFrame", "mcx", "250-500", 250));
  proj("cache/shared/b.xml", xml("OneFilePerFrame", "mcx", "250-1250", 250));
  cacheFiles("other/shared", {"cFrame1.mcx"});
  proj("other/shared/c.xml", xml("OneFilePerFrame", "mcx", "250-250", 250));
  const std::string folder = windowsForm(at("cache/shared"));
  const std::vector<CacheNode> nodes{{"a", "cache/shared"}, {"b", "cache/shared/"}, {"a", "cache/shared"}};
  for (const int width : kFormats) {
    SCOPED_TRACE(width);
    const ProgramResult result = renderCaches(width, nodes, "1", "1");
    EXPECT_EQ(result.status, 0);
    Names listed = paths(folder, {"a.xml", "aFrame1.mcx", "aFrame2.mcx", "b.xml", "bFrame1.mcx", "a.xml",
                                  "aFrame1.mcx", "aFrame2.mcx"});
    EXPECT_EQ(result.out, examining(at("scenes/" + sceneName(width))) + cacheLine(folder, 2, 2) +
                              copiedInto("shared", {"a.xml", "aFrame1.mcx", "aFrame2.mcx"}) + cacheLine(folder, 1, 2) +
                              copiedInto("shared", {"b.xml", "bFrame1.mcx"}) + cacheLine(folder, 2, 2) +
                              copiedInto("shared", {"a.xml", "aFrame1.mcx", "aFrame2.mcx"}, kFound) +
                              report(listed, {}) + kSubmitted);
    expectStaged("shared", {"a.xml", "aFrame1.mcx", "aFrame2.mcx", "b.xml", "bFrame1.mcx"}, "cache/shared");
    EXPECT_EQ(file("vantle_render.sub"), description({"shared", "~" + sceneName(width)}));

    const std::vector<CacheNode> clash{{"a", "cache/shared"}, {"c", "other/shared"}};
    const ProgramResult refused = renderCaches(width, clash, "1", "2");
    EXPECT_EQ(refused.status, 2);
    const std::string other = windowsForm(at("other/shared"));
    EXPECT_EQ(refused.out, examining(at("scenes/" + sceneName(width))) + cacheLine(folder, 2, 2) +
                               copiedInto("shared", {"a.xml", "aFrame1.mcx", "aFrame2.mcx"}) + cacheLine(other, 1, 1) +
                               "ERROR: '" + folder + "' and '" + other + "' would both be copied to 'shared'.\n");
    expectStaged("shared", {"a.xml", "aFrame1.mcx", "aFrame2.mcx"}, "cache/shared");
  }
}

}  // namespace
