// Particle disk caches: a particle shape's startup cache (`scp`) and the scene's disk cache (dynGlobals `cd`, with
// `upd` on) are folders under the project's particles folder (its workspace.mel's rule, else `particles`) holding
// `<shape>.<ticks>.pdc`, ticks = frame * 6000 / the scene's frames per second. Both are staged in the working folder's
// `particles` folder, with a workspace.mel leading there; the disk cache for the frames rendered, one frame around.
#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>

#include "e2e/run_fixture.h"
#include "support/maya_binary.h"

namespace {

using json = nlohmann::json;

const std::string kWorkspace =
    "// The project of the render jobs is their working folder; its particle caches are staged in particles.\n"
    "workspace -fr \"particles\" \"particles\";\n";

// A project's scene at a rate, with its caches: the startup cache `test_startup` of particleShape1 (and a file of
// another shape beside it) and the disk cache `test` of frames 1 to 20, each with a sample half a frame after it.
class ParticleCaches : public RunFixture {
 protected:
  struct Project {
    std::string unit;  // currentUnit -t
    int ticks;         // per frame
    std::string rule;  // the particles rule of its workspace.mel; none when empty
    std::string particles() const { return rule.empty() ? "particles" : "cache/parts"; }
  };
  static std::string dble(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    std::string bytes;
    for (int shift = 56; shift >= 0; shift -= 8) bytes += static_cast<char>(bits >> shift & 0xFF);
    return bytes;
  }
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
                    m.node("DYNG", "dynGlobals1", "", {m.attribute("DBLE", "upd", dble(diskOn)), m.text("cd", disk)})});
  }
  static std::string sceneName(int width) { return width ? "shot" + std::to_string(width) + ".mb" : "shot.ma"; }
  static std::string pdc(const std::string& shape, int ticks) { return shape + "." + std::to_string(ticks) + ".pdc"; }
  // Writes the project `name` (its caches, its workspace.mel, the scene); returns the scene's path.
  std::string project(const std::string& name, int width, const Project& p, const std::string& startup = "test_startup",
                      bool diskOn = true, const std::string& disk = "test") {
    const std::string folder = name + "/" + p.particles();
    const std::string rules = "workspace -fr \"scene\" \"scenes\";\nworkspace -fr \"particles\" \"" + p.rule + "\";\n";
    if (!p.rule.empty()) temp.write(name + "/workspace.mel", "//Maya 2024 Project Definition\n\n" + rules);
    temp.write(folder + "/test_startup/" + pdc("particleShape1", p.ticks), "startup");
    temp.write(folder + "/test_startup/" + pdc("particleShape2", p.ticks), "other");
    for (int frame = 1; frame <= 20; ++frame) {
      temp.write(folder + "/test/" + pdc("particleShape1", frame * p.ticks), std::to_string(frame));
      temp.write(folder + "/test/" + pdc("particleShape1", frame * p.ticks + p.ticks / 2), "sample");
    }
    return temp.write(name + "/scenes/" + sceneName(width), scene(width, p, startup, diskOn, disk));
  }
  ProgramResult renderIn(const std::string& folder, const std::string& scenePath, const std::string& first,
                         const std::string& last, Names extra = {}) {
    temp.makeDir(work = folder);
    Names arguments{"-s", first, "-e", last};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    arguments.push_back(scenePath);
    return run(arguments);
  }
  static std::string cacheLine(const std::string& folder, int staged, int all) {
    return "Cache '" + folder + "': " + std::to_string(staged) + " of " + std::to_string(all) + " frames.\n";
  }
};

// Frames 5 to 7 rendered stage frames 4 to 8 of the disk cache and the samples between them (not the sample after
// frame 8), and the startup cache's file of the shape whatever its frame, each in the scene's rate (film 24 fps in
// the default particles folder, pal 25 fps under a workspace.mel rule), in ASCII and binary scenes of both widths. The
// copy names the folders as the scene does; the transfer line names the particles folder and the workspace.mel; the
// report shows each cache.
TEST_F(ParticleCaches, StagedForTheFramesRenderedAtTheScenesRate) {
  const Project projects[] = {{"film", 250, ""}, {"pal", 240, "cache/parts/"}};
  for (const Project& p : projects) {
    for (const int width : {0, 4, 8}) {
      SCOPED_TRACE(p.unit + " " + std::to_string(width));
      const std::string name = "p" + p.unit + std::to_string(width);
      const std::string scenePath = project(name, width, p);
      const std::string folder = windowsForm(temp.at(name + "/" + p.particles()));
      Names disk;
      for (int frame = 4; frame <= 8; ++frame) {
        disk.push_back(pdc("particleShape1", frame * p.ticks));
        if (frame < 8) disk.push_back(pdc("particleShape1", frame * p.ticks + p.ticks / 2));
      }
      std::sort(disk.begin(), disk.end());
      const std::string startup = pdc("particleShape1", p.ticks);
      std::string lines = cacheLine(folder + "\\test_startup", 1, 1) +
                          "File 'workspace.mel' written to current directory.\n" +
                          copied("particles\\test_startup\\" + startup) + cacheLine(folder + "\\test", 5, 20);
      Names listed{folder + "\\test_startup\\" + startup};
      for (const std::string& file : disk)
        lines += copied("particles\\test\\" + file), listed.push_back(folder + "\\test\\" + file);
      const ProgramResult result = renderIn("w" + name, scenePath, "5", "7", {"--report", temp.at(name + ".json")});
      EXPECT_EQ(result.status, 0) << result.out;
      EXPECT_EQ(result.out, examining(scenePath) + lines + report(listed, {}) + kSubmitted);
      EXPECT_EQ(left(), (Names{"particles", "vantle_render.sub", "workspace.mel", "~" + sceneName(width)}));
      EXPECT_EQ(temp.list(work + "/particles"), (Names{"test", "test_startup"}));
      EXPECT_EQ(temp.list(work + "/particles/test"), disk);
      EXPECT_EQ(temp.list(work + "/particles/test_startup"), Names{startup});
      EXPECT_EQ(file("particles/test/" + pdc("particleShape1", 4 * p.ticks)), "4");
      EXPECT_EQ(file("workspace.mel"), kWorkspace);
      EXPECT_EQ(file("~" + sceneName(width)), readFile(scenePath));
      EXPECT_EQ(file("vantle_render.sub"),
                description({"particles", "workspace.mel", "~" + sceneName(width)}, {"5", "7"}));
      const json written = json::parse(readFile(temp.at(name + ".json")));
      ASSERT_EQ(written["dependencies"].size(), 2u);
      EXPECT_EQ(written["dependencies"][0]["kind"], "cache");
      EXPECT_EQ(written["dependencies"][0]["cache"], (json{{"name", "particleShape1"},
                                                           {"folder", "particles\\test_startup"},
                                                           {"frames_staged", 1},
                                                           {"frames_in_all", 1}}));
      EXPECT_EQ(written["dependencies"][1]["cache"],
                (json{{"name", ""}, {"folder", "particles\\test"}, {"frames_staged", 5}, {"frames_in_all", 20}}));
      EXPECT_EQ(written["transfer"], (json{"particles", "workspace.mel", "~" + sceneName(width)}));
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
    const std::string name = "q" + std::to_string(width);
    const std::string folder = windowsForm(temp.at(name + "/particles"));
    const std::string scenePath = project(name, width, film);
    ProgramResult result = renderIn("outside" + name, scenePath, "30", "32");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.out.find("ERROR: No file matches '" + folder + "\\test'.\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("vantle_submit"), std::string::npos);
    EXPECT_EQ(temp.list(work + "/particles"), Names{"test_startup"});  // staged before the run ended

    const std::string missing = project(name + "m", width, film, "gone", false);
    result = renderIn("missing" + name, missing, "5", "7");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, examining(missing) + "ERROR: No file matches '" +
                              windowsForm(temp.at(name + "m/particles/gone")) + "'.\n");

    temp.write("own" + name + "/workspace.mel", "workspace -fr \"particles\" \"sim\";\n");
    result = renderIn("own" + name, scenePath, "5", "7");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, examining(scenePath) +
                              "ERROR: 'workspace.mel' here sets the particles folder to 'sim', "
                              "not to 'particles', where the particle caches are staged; it is "
                              "left as it is.\n");
    EXPECT_EQ(left(), (Names{"workspace.mel", "~" + sceneName(width)}));
    EXPECT_EQ(file("workspace.mel"), "workspace -fr \"particles\" \"sim\";\n");

    const std::string off = project(name + "off", width, film, "test_startup", false);
    result = renderIn("dry" + name, off, "5", "7", {"--dry-run"});
    EXPECT_EQ(result.status, 0);
    const std::string startup = "particles\\test_startup\\" + pdc("particleShape1", 250);
    EXPECT_EQ(
        result.out,
        examining(off) + cacheLine(windowsForm(temp.at(name + "off/particles/test_startup")), 1, 1) +
            "File 'workspace.mel' would be written to current directory.\nFile '" + startup +
            "' would be copied to current directory.\n" +
            report({windowsForm(temp.at(name + "off/particles/test_startup/")) + pdc("particleShape1", 250)}, {}) +
            "\nDry run: nothing written, nothing submitted.\n");
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
    const std::string folder = windowsForm(temp.at(name + "/particles/test"));
    const std::string moved = "File 'D:\\farm\\proj\\particles\\test\\' not found; using '" + folder + "'.\n";
    const Names staged{pdc("particleShape1", 250), pdc("particleShape1", 375), pdc("particleShape1", 500)};
    std::string lines = cacheLine(folder, 2, 20), again = lines;
    Names listed;
    for (const std::string& file : staged) {
      lines += copied("particles\\test\\" + file), listed.push_back(folder + "\\" + file);
      again += "File 'particles\\test\\" + file + "' found in current directory.\n";
    }
    temp.write(name + "/particles/gone/" + pdc("particleShape1", 0), "startup");
    ProgramResult result = renderIn("again" + name, scenePath, "1", "1");
    const std::string startup = "particles\\gone\\" + pdc("particleShape1", 0);
    const std::string gone = cacheLine(windowsForm(temp.at(name + "/particles/gone")), 1, 1);
    listed.insert(listed.begin(), windowsForm(temp.at(name + "/particles/gone/")) + pdc("particleShape1", 0));
    const std::string dependencies = report(listed, {});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, examining(scenePath) + moved + gone + "File 'workspace.mel' written to current directory.\n" +
                              copied(startup) + lines + dependencies + kSubmitted);
    const std::string copy = file("~" + sceneName(width));
    EXPECT_EQ(copy, scene(width, film, "gone", true, width ? "test" + std::string(saved.size() - 4, ' ') : "test"));
    result = run({"-s", "1", "-e", "1", scenePath});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, examining(scenePath) + moved + gone + "File 'workspace.mel' found in current directory.\n" +
                              "File '" + startup + "' found in current directory.\n" + again + dependencies +
                              kSubmitted);
    EXPECT_EQ(file("workspace.mel"), kWorkspace);
  }
}

}  // namespace
