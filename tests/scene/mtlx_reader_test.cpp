// The reader of MaterialX documents: the files a document names, with the file prefix in force put in front; the
// prefixes its copy empties; and the documents it refuses. (That each value's bytes, escapes as written, read as what
// it names, and that a copy naming other names differs nowhere else and leaves no prefix in force, its fuzz target
// holds; a nodegraph's prefix over the document's, an include, and the copy byte for byte, the end-to-end MaterialX
// look.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/mtlx_reader.h"

namespace {

std::vector<std::string> writtenOf(const FilePlan& plan) {
  std::vector<std::string> written;
  for (const FoundPath& found : plan.found) written.push_back(found.named.written);
  return written;
}

// The raw text of each prefix the copy empties.
std::vector<std::string> emptiedOf(const std::string& document, const FilePlan& plan) {
  std::vector<std::string> emptied;
  for (const Edit& edit : plan.fixed) {
    EXPECT_TRUE(edit.bytes.empty());
    emptied.push_back(document.substr(edit.offset, edit.length));
  }
  return emptied;
}

TEST(MtlxReader, TheNearestPrefixAppliesAndOnlyPrefixesInForceAreEmptied) {
  const std::string document =
      "<materialx fileprefix=\"A/\">\n"
      " <nodegraph name=\"outer\" fileprefix=\"B/\">\n"
      "  <nodegraph name=\"inner\">\n"
      "   <image><input name=\"file\" type=\"filename\" value=\"b.png\"/></image>\n"
      "   <image fileprefix=\"C/\"><input name=\"file\" type=\"filename\" value=\"c.png\"/></image>\n"
      "   <image><input name=\"file\" type=\"filename\" fileprefix=\"D/\" value=\"d.png\"/></image>\n"
      "  </nodegraph>\n"
      "  <image fileprefix=\"\"><input name=\"file\" type=\"filename\" value=\"bare.png\"/></image>\n"
      " </nodegraph>\n"
      " <nodegraph name=\"unused\" fileprefix=\"E/\"><image><input name=\"x\" type=\"float\" value=\"1\"/></image></nodegraph>\n"
      " <image><input name=\"file\" type=\"filename\" value=\"a.png\"/></image>\n"
      "</materialx>\n";
  // Read as included under another prefix: the document's own prefixes win.
  const std::optional<FilePlan> plan = planMtlxDocument(document, "parent/");
  ASSERT_TRUE(plan);
  EXPECT_EQ(writtenOf(*plan), (std::vector<std::string>{"B/b.png", "C/c.png", "D/d.png", "bare.png", "A/a.png"}));
  // Each prefix once, in the document's order; E/, in force at no file, stays.
  EXPECT_EQ(emptiedOf(document, *plan), (std::vector<std::string>{"A/", "B/", "C/", "D/"}));
  EXPECT_LT(plan->fixed[0].offset, plan->fixed[1].offset);
}

TEST(MtlxReader, AnIncludedDocumentTakesThePrefixInForceWhereItWasIncluded) {
  const std::string shared =
      "<materialx>\n"
      "  <image><input name=\"file\" type=\"filename\" value=\"plank.png\"/></image>\n"
      "  <xi:include href=\"deeper.mtlx\"/>\n"
      "  <nodegraph fileprefix=\"own/\"><image><input name=\"file\" type=\"filename\" value=\"knot.png\"/></image></nodegraph>\n"
      "</materialx>\n";
  const std::optional<FilePlan> plan = planMtlxDocument(shared, "textures/");
  ASSERT_TRUE(plan);
  EXPECT_EQ(writtenOf(*plan), (std::vector<std::string>{"textures/plank.png", "deeper.mtlx", "own/knot.png"}));
  // Passed on to the document it includes in turn.
  EXPECT_EQ(plan->found[1].prefixInForce, "textures/");
  // Only its own prefix is its copy's to empty; the inherited one is the
  // including document's.
  EXPECT_EQ(emptiedOf(shared, *plan), (std::vector<std::string>{"own/"}));
}

TEST(MtlxReader, OnlyFilenameInputsAndIncludesNameFiles) {
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<materialx fileprefix=\"tex/\">\n"
      "  <!-- <input name=\"file\" type=\"filename\" value=\"commented.png\"/> -->\n"
      "  <?note <input type=\"filename\" value=\"instruction.png\"/> ?>\n"
      "  <doc><![CDATA[<input type=\"filename\" value=\"cdata.png\"/>]]></doc>\n"
      "  <image>\n"
      "    <input name=\"label\" type=\"string\" value=\"label.png\"/>\n"
      "    <input name=\"uv\" type=\"vector2\" value=\"0.5, 0.5\"/>\n"
      "    <input name=\"file\" value=\"untyped.png\"/>\n"
      "    <input name=\"file\" type=\"Filename\" value=\"wrongcase.png\"/>\n"
      "    <input name=\"file\" type=\"filename\" value=\"\"/>\n"
      "    <input name=\"file\" type=\"filename\" interfacename=\"texture\"/>\n"
      "    <output name=\"out\" type=\"filename\" value=\"output.png\"/>\n"
      "    <include href=\"not_xi.mtlx\"/>\n"
      "    <xi:include/>\n"
      "  </image>\n"
      "  <nodedef name=\"ND_tex\"><input name=\"file\" type=\"filename\" value=\"default.png\"/></nodedef>\n"
      "</materialx>\n";
  const std::optional<FilePlan> plan = planMtlxDocument(document);
  ASSERT_TRUE(plan);
  EXPECT_EQ(writtenOf(*plan), (std::vector<std::string>{"tex/default.png"}));
  EXPECT_EQ(emptiedOf(document, *plan), (std::vector<std::string>{"tex/"}));
  // A document naming no file needs no edit.
  const std::optional<FilePlan> none = planMtlxDocument("<materialx fileprefix=\"tex/\"><image/></materialx>");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->found.empty());
  EXPECT_TRUE(none->fixed.empty());
}

TEST(MtlxReader, RefusesWhatIsNotWellFormedXml) {
  const std::string input = "<input type=\"filename\" value=\"a.png\"/>";
  for (const std::string& document : {
           std::string(),
           std::string("not xml at all"),
           std::string("<materialx>") + input,                      // never closed
           std::string("<materialx>") + input + "</nodegraph>",     // closed by another
           std::string("<materialx><input type=\"filename\" value=\"a.png\"></materialx>"),
           std::string("<materialx><input type=\"filename\" value=a.png/></materialx>"),
           std::string("<materialx><input type=\"filename\" value=\"a.png\" value=\"b.png\"/></materialx>"),
           "<materialx>" + input + "</materialx>" + input,          // two roots
           std::string("<!-- only a comment -->"),
           "<materialx>" + input + "</materialx>" + std::string(1, '\0') + "<more/>",
           std::string("<materialx><input type=\"filename\" value=\"a&undeclared;.png\"/></materialx>"),
           std::string("<materialx><input type=\"filename\" value=\"a & b.png\"/></materialx>"),
           std::string("<materialx><input type=\"filename\" value=\"a&#0;.png\"/></materialx>"),
           std::string("<materialx><input type=\"filename\" value=\"a&#xD800;.png\"/></materialx>"),
           std::string("<materialx fileprefix=\"&dir;\">") + input + "</materialx>",
           std::string("\xFF\xFE<\0m\0/\0>\0", 10),                 // UTF-16
       }) {
    EXPECT_EQ(planMtlxDocument(document), std::nullopt) << document;
  }
  // A root with text or comments around it is well-formed.
  EXPECT_TRUE(planMtlxDocument("<!-- c -->\n<materialx>" + input + "</materialx>\n<!-- d -->\n"));
}

}  // namespace
