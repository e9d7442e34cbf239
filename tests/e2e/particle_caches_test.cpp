// Particle disk caches: a particle shape's startup cache (`scp`) and the scene's disk cache (dynGlobals `cd`, with
// `upd` on) are folders under the project's particles folder (its workspace.mel's rule, else `particles`) holding
// `<shape>.<ticks>.pdc`, ticks = frame * 6000 / the scene's frames per second. Both are staged in the working folder's
// `particles` folder, with a workspace.mel leading there; the disk cache for the frames rendered, one frame around.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "e2e/cache_fixture.h"

namespace {

using json = nlohmann::json;

const std::string kWorkspace =
    "// The project of the render jobs is their working folder; its particle caches are staged in particles.\n"
    "workspace -fr \"particles\" \"particles\";\n";

// A project's scene at a rate, with its caches: the startup cache `test_startup` of particleShape1 (and a file of
// another shape beside it) and the disk cache `test` of frames 1 to 20, each with a sample half a frame after it, and
// frame 6 of another shape.
class ParticleCaches : public CacheFixture {
 protected:
  struct Project {
    std::string unit;  // currentUnit -t
    int ticks;         // per frame
    std::string rule;  // the particles rule of its workspace.mel; none when empty
    std::string particles() const { return rule.empty() ? "particles" : "cache/parts"; }
  };
  // An ASCII scene (width 0) or a binary one of that width.
  static std::string scene(int width, const Project& p, const std::string& startup = "test_startup", bool diskOn = true,
                           const std::string& disk = "test") {
    if (width == 0) {
      return kMa + "currentUnit -l centimeter -a degree -t " + p.unit +
             ";\ncreateNode transform -n \"particle1\";\ncreateNode particle -p \"particle1\" -n \"particleShape1\";\n"
             "\tsetAttr -k off \".v\";\n\tsetAttr \".scp\" -type \"string\" \"" +
             startup + "\";\nselect -ne :dynGlobals1;\n\tsetAttr \".upd\" " + (diskOn ? "yes" : "no") +
             ";\n\tsetAttr \".cd\" -type \"string\" \"" + disk + "\";\nselect -ne :time1;\n";
    }
    const MayaBinary m{width};
    return m.scene({m.head({m.chunk("VERS", "2024"), m.chunk("TUNI", p.unit + '\0')}),
                    m.node("PART", "particleShape1", "particle1", {m.text("scp", startup)}),
                    m.node("DYNG", "dynGlobals1", "", {m.dble("upd", diskOn), m.text("cd", disk)})});
  }
  static std::string pdc(const std::string& shape, int ticks) { return shape + "." + std::to_string(ticks) + ".pdc"; }
  // Writes the project proj/`name` (its caches, its workspace.mel, the scene); returns the scene's path.
  std::string project(const std::string& name, int width, const Project& p, const std::string& startup = "test_startup",
                      bool diskOn = true, const std::string& disk = "test") {
    const std::string folder = name + "/" + p.particles();
    const std::string rules = "workspace -fr \"scene\" \"scenes\";\nworkspace -fr \"particles\" \"" + p.rule + "\";\n";
    if (!p.rule.empty()) proj(name + "/workspace.mel", "//Maya 2024 Project Definition\n\n" + rules);
    proj(folder + "/test_startup/" + pdc("particleShape1", p.ticks), "startup");
    proj(folder + "/test_startup/" + pdc("particleShape2", p.ticks), "other");
    for (int frame = 1; frame <= 20; ++frame) {
      proj(folder + "/test/" + pdc("particleShape1", frame * p.ticks), std::to_string(frame));
      proj(folder + "/test/" + pdc("particleShape1", frame * p.ticks + p.ticks / 2), "sample");
    }
    proj(folder + "/test/" + pdc("particleShape2", 6 * p.ticks), "other");
    proj(name + "/scenes/" + sceneName(width), scene(width, p, startup, diskOn, disk));
    return at(name + "/scenes/" + sceneName(width));
  }
};

// Frames 5 to 7 rendered stage frames 4 to 8 of the disk cache and the samples between them (not the sample after
// frame 8), of every shape, and the startup cache's file of the shape whatever its frame, each in the scene's rate
// (film 24 fps in the default particles folder, pal 25 fps under a workspace.mel rule), in ASCII and binary scenes of
// both widths. The copy names the folders as the scene does; the transfer line names the particles folder and the
// workspace.mel; the report shows each cache.
TEST_F(ParticleCaches, StagedForTheFramesRenderedAtTheScenesRate) {
  const Project projects[] = {{"film", 250, ""}, {"pal", 240, "cache/parts/"}};
  for (const Project& p : projects) {
    for (const int width : kFormats) {
      SCOPED_TRACE(p.unit + " " + std::to_string(width));
      const std::string name = "p" + p.unit + std::to_string(width), shot = "~" + sceneName(width);
      const std::string scenePath = project(name, width, p), folder = windowsForm(at(name + "/" + p.particles()));
      Names staged{"test_startup/" + pdc("particleShape1", p.ticks), "test/" + pdc("particleShape2", 6 * p.ticks)};
      for (int frame = 4; frame <= 8; ++frame) {
        staged.push_back("test/" + pdc("particleShape1", frame * p.ticks));
        if (frame < 8) staged.push_back("test/" + pdc("particleShape1", frame * p.ticks + p.ticks / 2));
      }
      std::sort(staged.begin() + 1, staged.end());
      const ProgramResult result = renderFresh(scenePath, "5", "7", {"--report", temp.at("r.json")});
      EXPECT_EQ(result.status, 0) << result.out;
      EXPECT_EQ(result.out, examining(scenePath) + cacheLine(folder + "\\test_startup", 1, 1) +
                                "File 'workspace.mel' written to current directory.\n" +
                                copiedInto("particles", {staged[0]}) + cacheLine(folder + "\\test", 5, 20) +
                                copiedInto("particles", Names(staged.begin() + 1, staged.end())) +
                                report(paths(folder, staged), {}) + kSubmitted);
      EXPECT_EQ(left(), (Names{"particles", "vantle_render.sub", "workspace.mel", shot}));
      expectStaged("particles", staged, name + "/" + p.particles());
      EXPECT_EQ(file("workspace.mel"), kWorkspace);
      EXPECT_EQ(file(shot), readFile(scenePath));
      EXPECT_EQ(file("vantle_render.sub"), description({"particles", "workspace.mel", shot}, {"5", "7"}));
      const json written = reportedFirst(2, {{"cache", {{"name", "particleShape1"},
          {"folder", "particles\\test_startup"}, {"frames_staged", 1}, {"frames_in_all", 1}}}});
      EXPECT_EQ(written["dependencies"][1]["cache"],
                (json{{"name", ""}, {"folder", "particles\\test"}, {"frames_staged", 5}, {"frames_in_all", 20}}));
      EXPECT_EQ(written["transfer"], (json{"particles", "workspace.mel", shot}));
    }
  }
}

// A range outside the disk cache and a startup cache folder that is not there end the run as a name that matches
// nothing does (status 2, nothing described or submitted); so does a workspace.mel of the user's here that leads
// particle caches elsewhere, left as it was (before anything is staged, the scene's copy written as ever). A disk cache
// the scene has off is not staged, and a dry run writes nothing.
TEST_F(ParticleCaches, CachesNoJobCouldReadEndTheRun) {
  const Project film{"film", 250, ""};
  for (const int width : {0, 4}) {
    SCOPED_TRACE(width);
    const std::string name = "q" + std::to_string(width), scenePath = project(name, width, film);
    ProgramResult result = renderFresh(scenePath, "30", "32");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.out.find("ERROR: No file matches '" + windowsForm(at(name + "/particles/test")) + "'.\n"),
              std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("vantle_submit"), std::string::npos);
    EXPECT_EQ(temp.list(work + "/particles"), Names{"test_startup"});  // staged before the run ended

    const std::string missing = project(name + "m", width, film, "gone", false);
    result = renderFresh(missing, "5", "7");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, examining(missing) + "ERROR: No file matches '" + windowsForm(at(name + "m/particles/gone")) +
                              "'.\n");

    temp.write("work" + std::to_string(runs + 1) + "/workspace.mel", "workspace -fr \"particles\" \"sim\";\n");
    result = renderFresh(scenePath, "5", "7");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, examining(scenePath) + "ERROR: 'workspace.mel' here sets the particles folder to 'sim', not "
                              "to 'particles', where the particle caches are staged; it is left as it is.\n");
    EXPECT_EQ(left(), (Names{"workspace.mel", "~" + sceneName(width)}));
    EXPECT_EQ(file("workspace.mel"), "workspace -fr \"particles\" \"sim\";\n");

    const std::string off = project(name + "off", width, film, "test_startup", false);
    result = renderFresh(off, "5", "7", {"--dry-run"});
    EXPECT_EQ(result.status, 0);
    const std::string folder = windowsForm(at(name + "off/particles"));
    const std::string startup = "test_startup/" + pdc("particleShape1", 250);
    EXPECT_EQ(result.out, examining(off) + cacheLine(folder + "\\test_startup", 1, 1) +
                              "File 'workspace.mel' would be written to current directory.\n" +
                              copiedInto("particles", {startup}, kWouldBe) + report(paths(folder, {startup}), {}) +
                              kDryRun);
    EXPECT_EQ(left(), Names{});
  }
}

// A disk cache folder saved on another machine is found by its name in the particles folder, and the copy names it
// by that name (padded with spaces in a binary scene). A second run in the same folder finds the workspace.mel the
// first wrote, and the files.
TEST_F(ParticleCaches, FolderFromAnotherMachineAndARunAgain) {
  const Project film{"film", 250, ""};
  const std::string saved = "D:/farm/proj/particles/test/";
  for (const int width : {0, 8}) {
    SCOPED_TRACE(width);
    const std::string name = "r" + std::to_string(width);
    const std::string scenePath = project(name, width, film, "gone", true, saved);
    const std::string folder = windowsForm(at(name + "/particles"));
    const std::string moved = "File 'D:\\farm\\proj\\particles\\test\\' not found; using '" + folder + "\\test'.\n";
    const Names staged{"gone/" + pdc("particleShape1", 0), "test/" + pdc("particleShape1", 250),
                       "test/" + pdc("particleShape1", 375), "test/" + pdc("particleShape1", 500)};
    proj(name + "/particles/" + staged[0], "startup");
    const Names disk(staged.begin() + 1, staged.end());
    const auto lines = [&](const std::string& workspace, const std::string& done) {
      return examining(scenePath) + moved + cacheLine(folder + "\\gone", 1, 1) + "File 'workspace.mel' " + workspace +
             " current directory.\n" + copiedInto("particles", {staged[0]}, done) +
             cacheLine(folder + "\\test", 2, 20) + copiedInto("particles", disk, done) +
             report(paths(folder, staged), {}) + kSubmitted;
    };
    ProgramResult result = renderFresh(scenePath, "1", "1");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, lines("written to", "copied to"));
    EXPECT_EQ(file("~" + sceneName(width)),
              scene(width, film, "gone", true, width ? "test" + std::string(saved.size() - 4, ' ') : "test"));
    result = run({"-s", "1", "-e", "1", scenePath});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, lines(kFound, kFound));
    EXPECT_EQ(file("workspace.mel"), kWorkspace);
  }
}

}  // namespace
