// The reader of USD layers in text form, on memory: the paths a layer names, what named them and where their text
// stands. (That the copy is the layer and the plan the same at every block size, its fuzz target holds.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/edits.h"
#include "io/memory_cursor.h"
#include "scene/usda_reader.h"
#include "scene/renamed_copy.h"

namespace {

std::vector<std::string> writtenOf(const FilePlan& plan) {
  std::vector<std::string> written;
  for (const FoundPath& found : plan.found) written.push_back(found.named.written);
  return written;
}

const std::string kShot =
    "#usda 1.0\n"
    "(\n"
    "    subLayers = [\n"
    "        @./layout.usda@,\n"
    "        @edits.usda@\n"
    "    ]\n"
    ")\n"
    "def Xform \"Crate_1\" (\n"
    "    prepend references = @./crate.usd@</Crate>\n"
    "    prepend payload = @crate_payload.usd@\n"
    "    assetInfo = {\n"
    "        asset identifier = @./CrateModel.usda@\n"
    "        string name = \"CrateModel\"\n"
    "    }\n"
    ")\n"
    "{\n"
    "    asset inputs:file = @./tex/crate.<UDIM>.png@\n"
    "    uniform asset model:cardTextureXPos = @CrateCard.png@\n"
    "}\n";

TEST(UsdaReader, FindsWhatTheLayerLoads) {
  const FilePlan plan = planUsdaLayer(kShot);
  EXPECT_EQ(writtenOf(plan), (std::vector<std::string>{"./layout.usda", "edits.usda", "./crate.usd",
                                                       "crate_payload.usd", "./tex/crate.<UDIM>.png", "CrateCard.png"}));
  ASSERT_EQ(plan.found.size(), 6u);
  EXPECT_EQ(plan.found[2].named.attribute, "references");
  EXPECT_EQ(plan.found[4].named.recorded, ".\\tex\\crate.<UDIM>.png");
  // Each range is the path's text: renamed in place, the rest of the layer stays.
  const std::string expected = std::string(kShot).replace(kShot.find("./tex/crate.<UDIM>.png"), 22, "crate.<UDIM>.png");
  EXPECT_EQ(renamed(kShot, plan, {"./layout.usda", "edits.usda", "./crate.usd", "crate_payload.usd", "crate.<UDIM>.png",
                                  "CrateCard.png"}),
            expected);
}

struct Case {
  const char* what;
  std::string layer;
  std::vector<std::string> written;
  std::vector<std::string> attributes;
};

const std::vector<Case>& cases() {
  static const std::vector<Case> all = {
      {"a path holding @ between three", "#usda 1.0\n(\n    subLayers = [@@@shot@v2.usda@@@]\n)\n",
       {"shot@v2.usda"}, {"subLayers"}},
      {"@ in comments and strings", "#usda 1.0 @header.usda@\n"
       "# @commented.usda@\n"
       "def \"A\" (\n"
       "    doc = \"\"\"a long\n@doc.usda@ string \"\" '' \"\"\"\n"
       "    string note = \"say \\\"@quoted.usda@\\\" here\"\n"
       "    string other = 'and @single.usda@'\n"
       "    string more = '''three @three.usda@ ' '''\n"
       ")\n"
       "{\n"
       "    asset a = @real.usda@ # @after.usda@\n"
       "}\n",
       {"real.usda"}, {"a"}},
      {"nested dictionaries in assetInfo",
       "#usda 1.0\n"
       "def \"A\" (\n"
       "    assetInfo = {\n"
       "        asset identifier = @./id.usda@\n"
       "        dictionary extra = {\n"
       "            dictionary deeper = { asset other = @./deep.usda@ }\n"
       "            asset[] list = [@./l1.usda@, @./l2.usda@]\n"
       "        }\n"
       "        asset more = @./more.usda@\n"
       "    }\n"
       "    prepend references = @./after.usda@\n"
       ")\n"
       "{\n"
       "    custom dictionary notInfo = { asset kept = @./kept.png@ }\n"
       "}\n",
       {"./after.usda", "./kept.png"}, {"references", "kept"}},
      {"arrays and references with prim paths and offsets",
       "#usda 1.0\n"
       "over \"B\" (\n"
       "    references = [@./a.usd@</A> (offset = 10; scale = 2), @./b.usd@, </Local>]\n"
       ")\n"
       "{\n"
       "    asset[] inputs:files = [@one.png@, @two.png@]\n"
       "}\n",
       {"./a.usd", "./b.usd", "one.png", "two.png"}, {"references", "references", "inputs:files", "inputs:files"}},
      {"value clips",
       "#usda 1.0\n"
       "def \"C\" (\n"
       "    clips = {\n"
       "        dictionary default = {\n"
       "            asset[] assetPaths = [@./clip.101.usd@, @./clip.102.usd@]\n"
       "            asset manifestAssetPath = @./manifest.usda@\n"
       "            string templateAssetPath = \"./clip.###.usd\"\n"
       "            string primPath = \"/C\"\n"
       "        }\n"
       "    }\n"
       ")\n"
       "{\n}\n",
       {"./clip.101.usd", "./clip.102.usd", "./manifest.usda", "./clip.###.usd"},
       {"assetPaths", "assetPaths", "manifestAssetPath", "templateAssetPath"}},
      {"empty paths name nothing",
       "#usda 1.0\n(\n    subLayers = [@@, @@@@@@, @x.usda@]\n)\ndef \"D\" { asset a = @@ }\n"
       "def \"E\" ( clips = { dictionary d = { string templateAssetPath = \"\" } } ) {}\n",
       {"x.usda"}, {"subLayers"}},
      {"a path or string left open names nothing",
       "#usda 1.0\ndef \"F\" { asset a = @broken.png\n asset b = @ok.png@\n string c = \"open\n asset d = @end.png",
       {"ok.png"}, {"b"}},
      {"a path past any a render opens names nothing",
       "#usda 1.0\ndef \"G\" { asset a = @" + std::string(40000, 'x') + "@\n asset b = @ok.png@ }\n", {"ok.png"}, {"b"}},
  };
  return all;
}

TEST(UsdaReader, Cases) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.what);
    const FilePlan plan = planUsdaLayer(c.layer);
    EXPECT_EQ(writtenOf(plan), c.written);
    std::vector<std::string> attributes;
    for (const FoundPath& found : plan.found) attributes.push_back(found.named.attribute);
    EXPECT_EQ(attributes, c.attributes);
    for (const FoundPath& found : plan.found) {
      EXPECT_EQ(c.layer.substr(static_cast<std::size_t>(found.offset), static_cast<std::size_t>(found.length)),
                found.named.written);
    }
  }
}

TEST(UsdaReader, ReplacesAPathHoldingAt) {
  const std::string layer = "#usda 1.0\n(\n    subLayers = [@@@a@b.usda@@@, @c.usda@]\n)\n";
  const FilePlan plan = planUsdaLayer(layer);
  ASSERT_EQ(writtenOf(plan), (std::vector<std::string>{"a@b.usda", "c.usda"}));
  EXPECT_EQ(renamed(layer, plan, {"a_b.usda", "2~c.usda"}),
            "#usda 1.0\n(\n    subLayers = [@@@a_b.usda@@@, @2~c.usda@]\n)\n");
}

// Texts at the reader's limits, read whole and in blocks that split them:
// a path of 32768 bytes is one, a byte more is none, and a name keeps its
// first 256 bytes.
TEST(UsdaReader, LimitsHoldAcrossBlocks) {
  const std::string limit(32768, 'p'), over(32769, 'q'), name(300, 'n');
  const std::string layer = "#usda 1.0\ndef \"L\" {\n asset a = @" + limit + "@\n asset b = @@@" + limit +
                            "@@@\n asset c = @" + over + "@\n asset d = @@@" + over + "@@@\n asset " + name +
                            " = @ok.png@\n}\n";
  for (const std::size_t block : {std::size_t{0}, std::size_t{3}, std::size_t{4096}}) {
    SCOPED_TRACE(block);
    MemoryCursor in(layer, block);
    const FilePlan plan = readUsdaLayer(in);
    EXPECT_EQ(writtenOf(plan), (std::vector<std::string>{limit, limit, "ok.png"}));
    ASSERT_EQ(plan.found.size(), 3u);
    EXPECT_EQ(plan.found[1].named.attribute, "b");
    EXPECT_EQ(plan.found[2].named.attribute, name.substr(0, 256));
  }
}

}  // namespace
