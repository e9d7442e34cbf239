// Bifrost caches: a container's pairs `<kind>CachePath` / `<kind>CacheFileName` name the folder `<path>/<name>/`,
// staged as the folder `<name>` with its object folders, holding the `.bif` files of the frames the jobs render, one
// frame around them; the copy names the pair's path `./`, the job's folder. Each case in an ASCII scene and in
// binary scenes of both widths.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "e2e/cache_fixture.h"

namespace {

using json = nlohmann::json;
using Pairs = std::vector<std::pair<std::string, std::string>>;  // a container's attributes, name and value

const std::string kContainerId("\x00\x13\x70\x0B", 4);

class BifrostCaches : public CacheFixture {
 protected:
  // The container as the scene holds it, or as its copy does (`copy`): every path of a pair names the job's folder,
  // in a binary scene at the path's own length.
  static std::string scene(int width, const Pairs& attributes, bool copy = false) {
    const MayaBinary m{width ? width : 4};
    std::string text = kMa + "createNode bifrostContainer -n \"bifrostLiquidContainer1\";\n\trename -uid \"ID\";\n";
    std::vector<std::string> chunks;
    for (auto [name, value] : attributes) {
      const bool path = name.find("CachePath") != std::string::npos && !value.empty();
      if (copy && path) value = width ? jobFolder(value.size()) : "./";
      text += "\taddAttr -ci true -sn \"" + name + "\" -ln \"" + name + "\" -dt \"string\";\n"
              "\tsetAttr -k on \"." + name + "\" -type \"string\" \"" + value + "\";\n";
      chunks.push_back(m.text(name, value));
    }
    text += "select -ne :time1;\n";
    const std::string plug = std::string("bifrostvisplugin\0" "2.0\0" "bifrostContainer\0", 38) + kContainerId;
    return width ? m.scene({m.head({m.chunk("VERS", "2024"), m.chunk("PLUG", plug)}),
                            m.node(kContainerId, "bifrostLiquidContainer1", "", chunks)})
                 : text;
  }
  static std::string jobFolder(std::size_t length) {
    std::string path;
    while (path.size() < length) path += path.size() % 2 ? '/' : '.';
    return path;
  }
  ProgramResult renderBifrost(int width, const Pairs& attributes, const std::string& first, const std::string& last) {
    proj("scenes/" + sceneName(width), scene(width, attributes));
    return renderFresh(at("scenes/" + sceneName(width)), first, last, {"--report", temp.at("r.json")});
  }
  // The `.bif` files of `objects` (object and channel) for frames `first` to `last`, as `<object>/<file>`.
  static Names bifFiles(const Pairs& objects, int first, int last) {
    Names names;
    for (const auto& [object, channel] : objects) {
      for (int frame = first; frame <= last; ++frame) {
        std::string digits = std::to_string(frame);
        names.push_back(object + "/" + object + "_" + channel + "." + std::string(4 - digits.size(), '0') + digits +
                        ".bif");
      }
    }
    return names;
  }
};

// A liquid cache of two objects, 30 frames, rendered from 10 to 12: frames 9 to 13 of both objects are staged with
// their object folders, nothing else of the folder (other frames, a file of another object's name, a file beside the
// object folders). The liquid mesh's pair names the same folder (its path spelled without the trailing '/', its kind
// in other case): staged once. The solid pair names a folder the container never wrote: one warning, the run goes
// on. The report shows the cache.
TEST_F(BifrostCaches, LiquidCacheOfTwoObjects) {
  const std::string where = "cache/bifrost/test/liquid1";
  const Pairs objects{{"liquid_particle", "position"}, {"voxel_liquid", "volume"}};
  cacheFiles(where, bifFiles(objects, 1, 30));
  cacheFiles(where, {"voxel_liquid/liquid_particle_position.0010.bif", "notes_volume.0010.bif"});
  const Names staged = bifFiles(objects, 9, 13);
  const Pairs attributes{{"liquidCacheFileName", "liquid1"},      {"liquidCachePath", "./cache/bifrost/test/"},
                         {"LiquidMeshCacheFileName", "liquid1"},  {"liquidmeshCachePath", "./cache/bifrost/test"},
                         {"solidCacheFileName", "solid1"},        {"solidCachePath", "./"},
                         {"foamCacheFileName", ""},               {"foamCachePath", "./cache/bifrost/foam/"},
                         {"liquidCacheFormat", "bif"}};
  const std::string folder = windowsForm(at(".")) + "\\cache\\bifrost\\test\\liquid1";
  const std::string solid = windowsForm(at(".")) + "\\solid1";
  const std::string warning = "cache '" + solid + "' holds no frame the jobs render; nothing of it is staged.";
  for (const int width : kFormats) {
    SCOPED_TRACE(width);
    const std::string shot = at("scenes/" + sceneName(width));
    const ProgramResult result = renderBifrost(width, attributes, "10", "12");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, examining(shot) + cacheLine(folder, 5, 30) + copiedInto("liquid1", staged) + "WARNING: " +
                              warning + "\n" + report(paths(folder, staged), {}) + kSubmitted);
    EXPECT_EQ(left(), (Names{"liquid1", "vantle_render.sub", "~" + sceneName(width)}));
    expectStaged("liquid1", staged, where);
    EXPECT_EQ(file("~" + sceneName(width)), scene(width, attributes, true));
    EXPECT_EQ(file("vantle_render.sub"), description({"liquid1", "~" + sceneName(width)}, {"10", "12"}));
    EXPECT_EQ(submitted(), 0);

    const json written = reportedFirst(2, {{"node_type", "bifrostContainer"}, {"attribute", "liquidCachePath"},
        {"path", "./cache/bifrost/test/liquid1/"}, {"cache", {{"name", "liquid1"}, {"folder", "liquid1"},
        {"frames_staged", 5}, {"frames_in_all", 30}}}});
    EXPECT_EQ(written["dependencies"][1]["files"], json::array());
    EXPECT_EQ(written["warnings"], json::array({warning}));
  }
}

}  // namespace
