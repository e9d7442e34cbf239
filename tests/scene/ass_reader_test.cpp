// The reader of Arnold scene files on memory: the paths the table's nodes load, with what named them and the text
// renamed. (That the copy is the file and the plan is the same at every block size, its fuzz target holds.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/memory_cursor.h"
#include "scene/ass_reader.h"

namespace {

using Strings = std::vector<std::string>;

// Each path found as "node.attribute written".
Strings namedIn(const FilePlan& plan) {
  Strings named;
  for (const FoundPath& found : plan.found)
    named.push_back(found.named.nodeType + "." + found.named.attribute + " " + found.named.written);
  return named;
}

TEST(AssReader, NodesThatLoadFiles) {
  const FilePlan plan = planAssFile(
      "### exported: a scene of four nodes\noptions\n{\n AA_samples 3\n outputs \"RGBA RGBA filter driver\"\n}\n"
      "image\n{\n name file1\n filename \"sourceimages/wood.<UDIM>.tx\"\n color_space \"sRGB\"\n}\n"
      "procedural\n{\n name standin1\n filename \"props/chair.ass\"\n matrix\n 1 0 0 0\n 0 1 0 0\n 0 0 1 0\n 0 0 0 1\n}\n"
      "volume\n{\n name smoke\n filename \"cache/smoke.0101.vdb\"\n}\n"
      "photometric_light\n{\n name lamp\n filename \"ies/6.ies\"\n}\n"
      "driver_exr\n{\n name driver\n filename \"beauty.exr\"\n}\n");
  EXPECT_EQ(namedIn(plan), (Strings{"image.filename sourceimages/wood.<UDIM>.tx", "procedural.filename props/chair.ass",
                                    "volume.filename cache/smoke.0101.vdb", "photometric_light.filename ies/6.ies"}));
  ASSERT_EQ(plan.found.size(), 4u);
  const Dependency& texture = plan.found[0].named;
  EXPECT_EQ(texture.kind, DependencyKind::kTexture);
  EXPECT_EQ(texture.recorded, "sourceimages\\wood.<UDIM>.tx");
  EXPECT_EQ(texture.resolved, texture.recorded);
  EXPECT_EQ(plan.found[1].named.recorded, "props\\chair.ass");
}

TEST(AssReader, GrammarCorners) {
  // What a case is about, the file, what it loads.
  const struct { const char* what; std::string file; Strings named; } cases[] = {
      {"an output driver writes its file", "driver_exr\n{\n name out\n filename \"beauty.exr\"\n}\n", {}},
      {"comments naming files", "# filename \"x.tx\"\nimage\n{\n # filename \"y.tx\"\n name a # filename \"z.tx\"\n}\n",
       {}},
      {"a # inside a string", "image\n{\n filename \"maps/#1/a#b.tx\" # the map\n}\n", {"image.filename maps/#1/a#b.tx"}},
      {"a procedural's dso", "procedural\n{\n name p\n dso \"C:/lib/cube.ass\"\n}\n", {"procedural.dso C:/lib/cube.ass"}},
      {"an empty string names nothing", "image\n{\n filename \"\"\n}\nvolume\n{\n filename \"v.vdb\"\n}\n",
       {"volume.filename v.vdb"}},
      {"a string not closed on its line", "image\n{\n filename \"a.tx\n \"b.tx\"\n}\n", {}},
      {"whole words only", "image\n{\n filenames \"a.tx\"\n my_filename \"b.tx\"\n}\n", {}},
      {"a parameter of another node", "polymesh\n{\n filename \"a.tx\"\n dso \"b.so\"\n}\nimage\n{\n dso \"c\"\n}\n", {}},
      {"nested braces keep the depth",
       "image\n{\n uv_set { 1 2\n filename \"inner.tx\"\n }\n filename \"outer.tx\"\n}\n"
       "image\n{\n}\nfilename \"after.tx\"\n",
       {"image.filename outer.tx"}},
      {"braces inside strings and comments", "image\n{\n name \"}{\" # }}\n filename \"a.tx\"\n}\n",
       {"image.filename a.tx"}},
      {"brace on the type's line, first parameter on the brace's line",
       "image {filename \"a.tx\"\n}\r\nvolume{\r\n\tfilename\t\"b.vdb\"\r\n}\r\n",
       {"image.filename a.tx", "volume.filename b.vdb"}},
      {"other nodes that load files",
       "usd\n{\n filename \"set.usda\"\n}\nalembic\n{\n filename \"a.abc\"\n}\nmaterialx\n{\n filename \"m.mtlx\"\n}\n",
       {"usd.filename set.usda", "alembic.filename a.abc", "materialx.filename m.mtlx"}}};
  for (const auto& c : cases) {
    const FilePlan plan = planAssFile(c.file);
    EXPECT_EQ(namedIn(plan), c.named) << c.what;
    for (const FoundPath& found : plan.found)  // the range renamed
      EXPECT_EQ(c.file.substr(found.offset, found.length), found.named.written) << c.what;
  }
}

// A path at the reader's limit, read whole and in blocks that split it and
// the words before it: 32768 bytes are a path, a byte more none.
TEST(AssReader, LimitsHoldAcrossBlocks) {
  const std::string limit(32768, 'p'), over(32769, 'q');
  const std::string file = "image\n{\n filename \"" + over + "\"\n}\nvolume\n{\n filename \"" + limit + "\"\n}\n";
  for (const std::size_t block : {std::size_t{0}, std::size_t{3}, std::size_t{4096}}) {
    MemoryCursor in(file, block);
    EXPECT_EQ(namedIn(readAssFile(in)), Strings{"volume.filename " + limit}) << block;
  }
}

}  // namespace
