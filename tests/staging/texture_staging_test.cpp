// Textures staged into the working folder: copied, found there already, or
// refused when two of one name would both be copied.

#include <gtest/gtest.h>

#include <filesystem>

#include "job/run_options.h"
#include "job/dependency.h"
#include "job/run_log.h"
#include "outcome/run_stop.h"
#include "staging/followed_files.h"
#include "staging/texture_staging.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Two textures of one base name: identical, different (a clash that stops the
// run), or beside the user's own file, which settles the clash.
TEST(TextureStaging, TwoTexturesOfOneName) {
  TempDir temp;  // the working folder
  ScopedCurrentDirectory cd(temp.path());
  const std::string oak = temp.write("a/wood.tif", "oak"), pine = temp.write("b/wood.tif", "pine");
  const std::string copied = "File 'wood.tif' copied to current directory.\n";
  const std::string found = "File 'wood.tif' found in current directory.\n";
  const std::string clash = "ERROR: '" + oak + "' and '" + pine + "' would both be copied to 'wood.tif'.\n";
  struct Case { std::string second; bool usersOwn; int status; std::string printed; };
  for (const Case& k : {Case{temp.write("c/wood.tif", "oak"), false, -1, copied + found},
                        Case{pine, false, 2, copied + clash}, Case{pine, true, -1, found + found}}) {
    fs::remove("wood.tif");
    if (k.usersOwn) temp.write("wood.tif", "user's own");
    RunLog log;
    DependencyList found;
    for (const std::string& texture : {oak, k.second}) {
      Dependency named;
      named.files = {{texture, FileStatus::kPending, {}}};
      named.expanded = true;
      found.add(named);
    }
    testing::internal::CaptureStdout();
    int status = -1;
    try { stageTextures(found, FollowedFiles{}, RunOptions{}, log); } catch (const RunStop& stop) { status = stop.status(); }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), k.printed) << k.second;
    EXPECT_EQ(status, k.status) << k.second;
  }
}

}  // namespace
