#pragma once
// Scene scanning tests' fixture: scenes read at many block sizes through the readers and recognisers, and the walk
// over a project in a temp folder.
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <sstream>
#include "outcome/run_stop.h"
#include "job/run_options.h"
#include "job/scene_job.h"
#include "scene/ascii_scene_reader.h"
#include "scene/token_scene_reader.h"
#include "scene/walk_state.h"
#include "names/comparison_key.h"
#include "platform/platform.h"
#include "scene/scene_identity.h"
#include "support/buffer_sizes.h"
#include "support/maya_binary.h"
#include "support/temp_dir.h"
using namespace std::string_literals;
using Strings = std::vector<std::string>;
// What a reading leaves: the units read, the scene, texture and transfer lists, the copy, what was printed.
using Pass = std::tuple<Strings, Strings, Strings, Strings, std::string, std::string>;
// A marked scene text (see expectReadings) and the scene, texture and transfer lists it gives.
struct Row { std::string text; Strings scenes = {}, textures = {}, transfers = {}; };
const std::string N(1, '\0'), kTex = "setAttr \".ftn\" -type \"string\"", kHead = "//Maya ASCII 2008 scene\n",
                  kRef = "file -r -ns \"n\" -dr 1 -op \"v=0;\" -typ \"mayaAscii\"\n\t\t";
const std::size_t kLimit = 40958, kTokenLimit = 40957;  // the format's limits, not read from the program
inline std::string reference(const std::string& path) { return kRef + " \"" + path + "\";\n"; }

// Works in <temp>/work; the walk's scenes live in <temp>/proj.
class SceneTest : public ::testing::Test {
 protected:
  SceneTest() : work(temp.makeDir("work")), cd(work), cwd(platform::currentDirectory()) {}
  // Every statement (token) read and offered to the recognisers one by one; `marked`: read whole by the walk's reader
  // of the format, which hands out no units.
  Pass read(const std::string& scene, bool binary, bool marked) {
    SceneJob job(temp.write("work/s.ma", scene));
    testing::internal::CaptureStdout();
    EXPECT_EQ(job.openScene(), 1);
    Strings units;
    if (marked) {
      const ScenePlan plan = binary ? readTokenScene(*job.sceneStream) : readAsciiScene(*job.sceneStream);
      for (const Dependency& named : plan.named) {
        (named.kind == DependencyKind::kScene ? job.sceneFiles : job.textureFiles).push_back(named.recorded);
        job.transferFiles.push_back(named.transferName);
      }
    }
    while (!marked && (binary ? job.readToken() : job.nextStatement()) == 1) {
      units.emplace_back(job.statement, job.statementLength);
      if (binary ? job.rewriteBinaryReference() == 1 || job.rewriteBinaryTexture() == 1
                 : std::max({job.rewriteFileReference(), job.rewriteTextureAttribute()}) == 1) continue;
      job.sceneStream->putBytes(job.statement, job.statementLength);
    }
    job.sceneStream->commitOutput();
    return {units, job.sceneFiles, job.textureFiles, job.transferFiles, readFile(work + "/~s.ma"),
            testing::internal::GetCapturedStdout()};
  }
  // The reading, once it was the same at every block size (long scenes from 7 bytes up) and by the walk's readers,
  // which hand out fewer units but must leave the same.
  Pass readEverywhere(const std::string& scene, bool binary) {
    const Pass every = read(scene, binary, false);
    for (std::size_t block : {1, 2, 3, 7, 1024, 1025, 2048, 1 << 18}) {
      if (block < 7 && scene.size() > 4096) continue;
      ScopedBufferSizes sizes(block, block);
      Pass marked = read(scene, binary, true);
      std::get<0>(marked) = std::get<0>(every);
      EXPECT_EQ(read(scene, binary, false), every) << "block " << block;
      EXPECT_EQ(marked, every) << "block " << block;
    }
    return every;
  }
  // Each row's text is a scene with marks: '|' between statements, '[' and ']' around the tokens the walk is
  // offered, '^' after a statement that reaches the length limit and warns, "{bytes>new bytes}" where the copy differs.
  void expectReadings(bool binary, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      Strings units(binary ? 0 : 1);
      std::string scene, copy, out;
      bool inUnit = !binary, inScene = true, inCopy = true;
      for (char c : row.text) {
        if (c == '|' || c == '[') units.emplace_back();
        if (c == '|' || c == '[' || c == ']') inUnit = c != ']';
        else if (c == '{' || c == '>' || c == '}') inScene = c != '>', inCopy = c != '{';
        else if (c == '^') out += "\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\n"
                                  "Please send mail to render-support@example.com.\n";
        else if (inCopy) copy += c;
        if (!inScene || std::string_view("|[]{>}^").find(c) != std::string_view::npos) continue;
        scene += c;
        if (inUnit) units.back() += c;
      }
      const Pass expected(units, row.scenes, row.textures, row.transfers, copy, out);
      EXPECT_EQ(readEverywhere(scene, binary), expected) << row.text.substr(0, 80);
    }
  }
  std::string at(const std::string& relative) const { return windowsForm(temp.at(relative)); }
  // proj/scenes/<name>.ma: a `file -rdi` sibling and a reference for each child, then the texture t<name>.tif.
  void chainScene(char name, const std::string& children) {
    std::string bytes = kHead;
    for (char c : children) bytes += "file -rdi 1 \"" + (c + "\";\n"s) + reference("scenes/" + (c + ".ma"s));
    temp.write("proj/scenes/" + std::string(1, name) + ".ma", bytes + "\t" + kTex + " \"maps/t" + name + ".tif\";\n");
  }
  // What the walk prints, and the exit status it stops the run with.
  std::string scan(const std::string& path) {
    job = std::make_unique<SceneJob>();
    job->scenePath = path;
    testing::internal::CaptureStdout();
    std::string stop;
    RunLog log;
    WalkState walk;
    DependencyList found;
    try { job->scanScene(RunOptions{}, log, walk, found); } catch (const RunStop& run) { stop = "status " + std::to_string(run.status()); }
    return testing::internal::GetCapturedStdout() + stop;
  }
  TempDir temp;
  std::string work;
  ScopedCurrentDirectory cd;
  std::string cwd;  // the working folder as the system names it
  std::unique_ptr<SceneJob> job;
};
