// The reader of USD layers in text form, on memory: the paths a layer names, what named them and the text renamed.
// (That the copy is the layer and the plan the same at every block size, its fuzz target holds; sublayers,
// references, payloads and assetInfo in a plain layer, the end-to-end USD stage.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/memory_cursor.h"
#include "scene/usda_reader.h"

namespace {

using Strings = std::vector<std::string>;

Strings writtenOf(const FilePlan& plan) {
  Strings written;
  for (const FoundPath& found : plan.found) written.push_back(found.named.written);
  return written;
}

TEST(UsdaReader, GrammarCorners) {
  // What a case is about, the layer, the paths it names and the attributes naming them.
  const struct { const char* what; std::string layer; Strings written, attributes; } cases[] = {
      {"a path holding @ between three", "#usda 1.0\n(\n    subLayers = [@@@shot@v2.usda@@@, @c.usda@]\n)\n",
       {"shot@v2.usda", "c.usda"}, {"subLayers", "subLayers"}},
      {"@ in comments and strings",
       "#usda 1.0 @header.usda@\n# @commented.usda@\ndef \"A\" (\n    doc = \"\"\"a long\n@doc.usda@ string \"\" '' \"\"\"\n"
       "    string note = \"say \\\"@quoted.usda@\\\" here\"\n    string other = 'and @single.usda@'\n"
       "    string more = '''three @three.usda@ ' '''\n)\n{\n    asset a = @real.usda@ # @after.usda@\n}\n",
       {"real.usda"}, {"a"}},
      {"nested dictionaries in assetInfo",
       "#usda 1.0\ndef \"A\" (\n    assetInfo = {\n        asset identifier = @./id.usda@\n"
       "        dictionary extra = {\n            dictionary deeper = { asset other = @./deep.usda@ }\n"
       "            asset[] list = [@./l1.usda@, @./l2.usda@]\n        }\n        asset more = @./more.usda@\n    }\n"
       "    prepend references = @./after.usda@\n)\n{\n    custom dictionary notInfo = { asset kept = @./kept.png@ }\n}\n",
       {"./after.usda", "./kept.png"}, {"references", "kept"}},
      {"arrays and references with prim paths and offsets",
       "#usda 1.0\nover \"B\" (\n    references = [@./a.usd@</A> (offset = 10; scale = 2), @./b.usd@, </Local>]\n)\n"
       "{\n    asset[] inputs:files = [@one.png@, @two.png@]\n}\n",
       {"./a.usd", "./b.usd", "one.png", "two.png"}, {"references", "references", "inputs:files", "inputs:files"}},
      {"value clips",
       "#usda 1.0\ndef \"C\" (\n    clips = {\n        dictionary default = {\n"
       "            asset[] assetPaths = [@./clip.101.usd@, @./clip.102.usd@]\n"
       "            asset manifestAssetPath = @./manifest.usda@\n            string templateAssetPath = \"./clip.###.usd\"\n"
       "            string primPath = \"/C\"\n        }\n    }\n)\n{\n}\n",
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
       "#usda 1.0\ndef \"G\" { asset a = @" + std::string(40000, 'x') + "@\n asset b = @ok.png@ }\n", {"ok.png"}, {"b"}}};
  for (const auto& c : cases) {
    const FilePlan plan = planUsdaLayer(c.layer);
    Strings attributes;
    for (const FoundPath& found : plan.found) {
      attributes.push_back(found.named.attribute);
      EXPECT_EQ(c.layer.substr(found.offset, found.length), found.named.written) << c.what;  // the range renamed
    }
    EXPECT_EQ(writtenOf(plan), c.written) << c.what;
    EXPECT_EQ(attributes, c.attributes) << c.what;
  }
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
    EXPECT_EQ(writtenOf(plan), (Strings{limit, limit, "ok.png"}));
    ASSERT_EQ(plan.found.size(), 3u);
    EXPECT_EQ(plan.found[1].named.attribute, "b");
    EXPECT_EQ(plan.found[2].named.attribute, name.substr(0, 256));
  }
}

}  // namespace
