// The transfer line made from the run's dependencies: the command-line scene's own entries as its recognisers made
// them, then each branch's textures and then its scenes by name; expanded names in place of the name they stood for.
#include <gtest/gtest.h>

#include "job/dependency.h"
#include "staging/transfer_line.h"

namespace {

Dependency named(DependencyKind kind, const std::string& resolved, const std::string& transferName,
                 std::vector<std::string> files = {}) {
  Dependency d;
  d.kind = kind;
  d.resolved = resolved;
  d.transferName = transferName;
  for (const std::string& file : files) d.files.push_back({file, FileStatus::kPending, {}});
  d.expanded = !files.empty();
  return d;
}

TEST(TransferLine, OwnEntriesThenEachBranchTexturesBeforeScenes) {
  const auto scene = DependencyKind::kScene, texture = DependencyKind::kTexture;
  DependencyList found;
  found.add(named(texture, "C:\\p\\a.tif", "a.tif"));
  found.add(named(scene, "C:\\p\\set.ma", "~set.ma"));
  // A binary token's entry keeps the delimiters it was read with: the command-line scene's own entry as made.
  found.add(named(texture, "C:\\p\\b.tif", "b.tif\")"));
  found.openBranch(1);
  found.add(named(scene, "C:\\p\\rig.ma", "~rig.ma"));
  found.add(named(texture, "C:\\p\\s.tif", "ignored.tif"));
  found.add(named(texture, "C:\\p\\t.<UDIM>.tif", "t.<UDIM>.tif", {"C:\\p\\t.1001.tif", "C:\\p\\t.1002.tif"}));
  found.closeBranch();
  found.openBranch(2);
  found.add(named(texture, "C:\\q\\none.<UDIM>.tif", "none.<UDIM>.tif", {"C:\\q\\none.<UDIM>.tif"}));
  found.items().back().matchedNothing = true;
  found.add(named(texture, "C:\\q\\w.tif", "w.tif", {"C:\\q\\w.tif", "C:\\q\\w.tx"}));
  found.add(named(texture, "C:\\q\\x.tif", "x.tif", {"C:\\q\\x.tif"}));
  found.closeBranch();
  EXPECT_EQ(transferLine(found), (std::vector<std::string>{"a.tif", "~set.ma", "b.tif\")", "s.tif", "t.1001.tif",
                                                           "t.1002.tif", "~rig.ma", "w.tif", "w.tx", "x.tif"}));
}

// What a run stopped half way through a branch reports: the command-line scene's own entries and whole branches.
TEST(TransferLine, HeldEntriesAreTheCommandLineScenesOwnAndWholeBranches) {
  DependencyList found;
  found.add(named(DependencyKind::kTexture, "a", "a"));
  found.openBranch(1);
  found.add(named(DependencyKind::kTexture, "b", "b"));
  EXPECT_TRUE(found.held(found.items()[0]));
  EXPECT_FALSE(found.held(found.items()[1]));
  found.closeBranch();
  EXPECT_TRUE(found.held(found.items()[1]));
}

}  // namespace
