// Bifrost caches: the folders a container's attribute pairs name, the frames of .bif files, and those a render
// range needs.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "caches/bifrost_cache.h"
#include "names/comparison_key.h"

TEST(BifrostCache, FoldersOfTheAttributePairs) {
  const std::vector<std::pair<std::string, std::string>> attributes = {
      {".liquidCachePath", "./cache/bifrost/test/"}, {".liquidCacheFileName", "bifrostLiquidContainer1"},
      {"liquidmeshCacheFileName", "mesh"}, {"LiquidMeshCachePath", "C:\\sim"},
      {"solidCachePath", "./"}, {"solidCacheFileName", ""}, {"foamCacheFileName", "orphan"},
      {"aeroCachePath", "./cache/bifrost/test"}, {"aeroCacheFileName", "bifrostLiquidContainer1"},
      {"GUIDECACHEPATH", "x/"}, {"guideCacheFileName", "g"}, {"liquidCacheFormat", "bif"}, {"cachePath", "y"}};
  const std::vector<BifrostCacheFolder> folders = bifrostCacheFolders(attributes);
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_EQ(folders[0].folder, "./cache/bifrost/test/bifrostLiquidContainer1/");
  EXPECT_EQ(folders[0].kinds, (std::vector<std::string>{"liquid", "aero"}));
  EXPECT_EQ(folders[1].folder, "C:\\sim\\mesh\\");
  EXPECT_EQ(folders[1].kinds, std::vector<std::string>{"LiquidMesh"});
  EXPECT_EQ(folders[2].folder, "x/g/");
  EXPECT_EQ(folders[2].kinds, std::vector<std::string>{"GUIDE"});
  EXPECT_EQ(std::make_pair(folders[0].name, folders[0].pathAttribute),
            std::make_pair(std::string("bifrostLiquidContainer1"), std::string(".liquidCachePath")));
  // Each folder goes to the first path that names it, once; a later pair's path and a half of no pair get none.
  std::vector<BifrostCacheFolder> open = folders;
  EXPECT_FALSE(takeFolderNamedBy(open, "aeroCachePath"));
  EXPECT_FALSE(takeFolderNamedBy(open, "solidCachePath"));
  EXPECT_EQ(takeFolderNamedBy(open, "LiquidMeshCachePath")->name, "mesh");
  EXPECT_FALSE(takeFolderNamedBy(open, "LiquidMeshCachePath"));
  EXPECT_EQ(open.size(), 2u);
}

TEST(BifrostCache, FramesOfBifFiles) {
  const std::pair<std::string, std::optional<std::int64_t>> rows[] = {
      {"voxel_liquid/voxel_liquid_volume.0052.bif", 52}, {"Solids/Solids_volume.0000.bif", 0},
      {"a/b/Solids/Solids_volume.12345.bif", 12345}, {"Solids\\Solids_volume.-001.bif", -1},
      {"voxel_liquid_volume.0052.bif", 52}, {"Solids/Other_volume.0052.bif", std::nullopt},
      {"Solids/Solids.0052.bif", std::nullopt}, {"Solids/Solids_volume.0052.bif.tmp", std::nullopt},
      {"Solids/Solids_volume.bif", std::nullopt}, {"Solids/Solids_volume.00a2.bif", std::nullopt},
      {"Solids/Solids_volume.0052.vdb", std::nullopt}, {"volume.0052.bif", std::nullopt}};
  for (const auto& [name, frame] : rows) EXPECT_EQ(bifrostFrame(name), frame) << name;
  EXPECT_EQ(bifrostFrame("Solids/solids_volume.0052.BIF").has_value(), comparisonKey("A") == "a");
}

TEST(BifrostCache, SubFrameRenders) {
  std::vector<std::string> folder;
  for (int frame = 50; frame <= 60; ++frame) {
    for (const char* object : {"voxel_liquid/voxel_liquid_volume", "Solids/Solids_volume"}) {
      folder.push_back(std::string(object) + ".00" + std::to_string(frame) + ".bif");
    }
  }
  // Rendered by half frames from 52.5 to 54.5: frames 52 to 55 of both, none beyond the window's ends.
  EXPECT_EQ(selectBifrostFiles(folder, renderedWindow(52.5, 54.5)).files,
            std::vector<std::string>(folder.begin() + 4, folder.begin() + 12));
}
