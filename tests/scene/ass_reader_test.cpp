// The reader of Arnold scene files on memory: the paths the table's nodes load, with what named them and the text
// renamed. (That the copy is the file and the plan is the same at every block size, its fuzz target holds; images,
// volumes, procedurals and output drivers in a plain file, the end-to-end Arnold stand-ins.)
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

TEST(AssReader, GrammarCorners) {
  // What a case is about, the file, what it loads.
  const struct { const char* what; std::string file; Strings named; } cases[] = {
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
       "usd\n{\n filename \"set.usda\"\n}\nalembic\n{\n filename \"a.abc\"\n}\nmaterialx\n{\n filename \"m.mtlx\"\n}\n"
       "photometric_light\n{\n filename \"6.ies\"\n}\n",
       {"usd.filename set.usda", "alembic.filename a.abc", "materialx.filename m.mtlx",
        "photometric_light.filename 6.ies"}}};
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
