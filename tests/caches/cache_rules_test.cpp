// The rules of caches at the corners the end-to-end runs do not reach: NTSC rates and their rounded ticks, samples
// between frames, the ends of a render's window and of a cache's, the particles rule of workspace.mel, Bifrost's
// attribute pairs in any case, and the paths of XGen collections.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "caches/bifrost_cache.h"
#include "caches/cache_description.h"
#include "caches/frame_rate.h"
#include "caches/geometry_cache.h"
#include "caches/particle_cache.h"
#include "caches/particle_workspace.h"
#include "caches/time_window.h"
#include "caches/xgen_reader.h"
#include "names/comparison_key.h"

namespace {
using Time = std::optional<std::int64_t>;
const bool kCaseBlind = comparisonKey("A") == "a";
const Time kNone = std::nullopt;
const CacheDescription kPerFrame = *describeCache("OneFilePerFrame", "mcx", "250-7500", "250");
const double kNtsc = 24000.0 / 1001;

void expectWindow(FrameWindow window, double first, double last) {
  EXPECT_DOUBLE_EQ(window.first, first);
  EXPECT_DOUBLE_EQ(window.last, last);
}
void expectTicks(TickWindow window, std::int64_t first, std::int64_t last) {
  EXPECT_EQ(window.first, first);
  EXPECT_EQ(window.last, last);
}
std::string frame(int n, int tick = 0) {
  return "nParticleShape1Frame" + std::to_string(n) + (tick ? "Tick" + std::to_string(tick) : "") + ".mcx";
}
std::vector<std::string> pdc(const std::string& shape, const std::vector<long long>& ticks) {
  std::vector<std::string> names;
  for (long long t : ticks) names.push_back(shape + "." + std::to_string(t) + ".pdc");
  return names;
}
}  // namespace

// Rates as exact fractions, the time unit however currentUnit spells it, and ticks of frames at 23.976 fps: frame 2
// is tick 500.5, written as 500 or 501, both in; frame 1000 is tick 250250 exactly, whatever the arithmetic rounds.
TEST(CacheRules, RatesAndTicks) {
  const std::pair<std::string, double> rates[] = {{"ntsc", 30}, {"2.5fps", 2.5}, {"23.976fps", kNtsc},
                                                  {"59.94fps", 60000.0 / 1001}};
  for (const auto& [name, rate] : rates) EXPECT_EQ(framesPerSecond(name), rate) << name;
  for (const char* none : {"", "Film", "0fps", "-24fps", "24 fps", "24FPS", "inffps", "nanfps", "24"}) {
    EXPECT_EQ(framesPerSecond(none), std::nullopt) << none;
  }
  const std::pair<std::string, std::optional<std::string>> units[] = {
      {"currentUnit -time \"pal\" -l meter;", "pal"}, {"currentUnit\t-t 23.976fps -ua 0;", "23.976fps"},
      {"currentUnit -l centimeter -a degree;", std::nullopt}, {"currentUnit -t;", std::nullopt},
      {"fileInfo \"-t\" \"film\";", std::nullopt}, {"currentUnits -t film;", std::nullopt}};
  for (const auto& [statement, unit] : units) {
    const std::optional<std::string_view> found = timeUnitOf(statement);
    EXPECT_EQ(found ? std::optional<std::string>(*found) : std::nullopt, unit) << statement;
  }
  expectTicks(ticksOf({2, 2}, ticksPerFrame(kNtsc)), 500, 501);
  expectTicks(ticksOf({1000, 1000}, ticksPerFrame(kNtsc)), 250250, 250250);
  expectTicks(ticksOf({3, 3}, ticksPerFrame(30000.0 / 1001)), 600, 601);
}

// One frame around sub-frames, reversed and negative ranges; a cacheFile node's cache held at its last frame, one
// starting before its frame 1, one played at half speed or at no scale.
TEST(CacheRules, WindowsAndTheirEnds) {
  expectWindow(renderedWindow(10.5, 12.25), 9.5, 13.25);
  expectWindow(renderedWindow(10, 1), 0, 11);
  expectWindow(renderedWindow(-5, -2), -6, -1);
  expectWindow(*cacheWindow({1, 1, 24, 1}, {20, 30}), 20, 24);
  expectWindow(*cacheWindow({101, -10, 200, 1}, renderedWindow(100, 120)), -10, 10);
  expectWindow(*cacheWindow({1, 1, 100, 2}, {9, 21}), 5, 11);
  expectWindow(*cacheWindow({1, 1, 100, 0}, {9, 21}), 9, 21);
  EXPECT_DOUBLE_EQ(cacheFrameAt({10, 5, 50, 0.5}, 12), 9);
}

// What a cacheFile node's attributes and description may not say; a description with the line ends of Windows.
TEST(CacheRules, CacheDescriptions) {
  const CacheDescription old = *describeCache("OneFilePerFrame", "", "-500--250", "250");
  EXPECT_TRUE(old.format == CacheFormat::kMc && old.firstTick == -500 && old.lastTick == -250);
  const std::vector<std::vector<std::string>> wrong = {{"onefile", "mcc", "1-2", "250"},
      {"OneFile", "mcz", "1-2", "250"}, {"OneFile", "mcc", "30000-250", "250"}, {"OneFile", "mcc", "250", "250"},
      {"OneFile", "mcc", "250-", "250"}, {"OneFile", "mcc", "a-b", "250"}, {"OneFile", "mcc", "1-2", "0"},
      {"OneFile", "mcc", "1-2", "-250"}, {"OneFile", "mcc", "1-2", "250.5"}};
  for (const auto& v : wrong) EXPECT_FALSE(describeCache(v[0], v[1], v[2], v[3])) << v[0] << v[1] << v[2] << v[3];
  const std::string head =
      "<?xml version=\"1.0\"?>\r\n<CacheFile>\r\n  <cacheType Type=\"OneFilePerFrame\" Format=\"mcx\"/>\r\n";
  const std::string tail = "  <cacheTimePerFrame TimePerFrame=\"250\"/>\r\n</CacheFile>\r\n";
  const std::optional<CacheDescription> read = readCacheDescription(head + "  <time Range=\"250-30000\"/>\r\n" + tail);
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->format == CacheFormat::kMcx && read->lastTick == 30000 && read->ticksPerFrame == 250);
  EXPECT_FALSE(readCacheDescription(head + "  <time Range=\"250-30000\">\r\n" + tail));  // not well formed
}

// Frame files' times below frame 0 and in any case where names are; sub-frame renders; frames counted below 0, and a
// one-file cache without its data file holding none.
TEST(CacheRules, GeometryCacheFrames) {
  const std::pair<std::string, Time> rows[] = {{frame(0), 0}, {frame(-2), -500}, {frame(-2, 125), -375},
      {"nParticleShape1Frame0010.mcx", 2500}, {"nParticleShape1Frame1.mcx.bak", kNone},
      {"nParticleShape1Frame.mcx", kNone}, {"nParticleShape1Frame1Tick.mcx", kNone},
      {"nParticleShape1Frame1Tick1Tick1.mcx", kNone}, {"nParticleShape1Frame1x.mcx", kNone},
      {"nParticleShape1Frame99999999999999999.mcx", kNone},
      {"nparticleshape1Frame1.mcx", kCaseBlind ? Time(250) : kNone},
      {"nParticleShape1frame1TICK5.MCX", kCaseBlind ? Time(255) : kNone}};
  for (const auto& [name, time] : rows) EXPECT_EQ(frameFileTime(name, "nParticleShape1", kPerFrame), time) << name;
  // Rendered by half frames from 10.5: the window's ends are the samples at 9.5 and 20.5.
  std::vector<std::string> folder = {"nParticleShape1.xml"};
  for (int n = 1; n <= 30; ++n) folder.push_back(frame(n));
  for (int n : {8, 9, 10, 20, 21}) folder.push_back(frame(n, 125));
  const CacheSelection halves =
      selectCacheFiles(folder, "nParticleShape1", kPerFrame, ticksOf(renderedWindow(10.5, 19.5), 250));
  EXPECT_EQ(std::vector<std::string>(halves.files.end() - 3, halves.files.end()),
            (std::vector<std::string>{frame(9, 125), frame(10, 125), frame(20, 125)}));
  EXPECT_EQ(halves.timesStaged, 14u);
  const CacheSelection outside = selectCacheFiles({"cloth.mc", "cloth.mcx", "cloth.xml"}, "cloth",
                                                  *describeCache("OneFile", "mcx", "250-7500", "250"), {7501, 9000});
  EXPECT_EQ(outside.files, std::vector<std::string>{"cloth.xml"});
  EXPECT_EQ(cacheFrameCount({"a.xml", frame(-1, 125), frame(0), frame(-1)}, "nParticleShape1", kPerFrame), 2u);
  const CacheDescription oneFile = *describeCache("OneFile", "mcc", "-250-7500", "250");
  EXPECT_EQ(cacheFrameCount({"nParticleShape1.xml", "nParticleShape1.mc"}, "nParticleShape1", oneFile), 32u);
  EXPECT_EQ(cacheFrameCount({"nParticleShape1.xml", "nParticleShape1.mcx"}, "nParticleShape1", oneFile), 0u);
}

// Names of .pdc files; at 23.976 fps frames 1 and 3 are ticks 250.25 and 750.75, written rounded either way; frame 0
// and the negative frame before it; a startup cache whatever its frames, in any case where names are.
TEST(CacheRules, ParticleCacheFiles) {
  EXPECT_EQ(particleCacheFile("particleShape1.-250.pdc")->ticks, -250);
  EXPECT_EQ(particleCacheFile("my.shape.0.pdc")->shape, "my.shape");
  for (const char* other : {".250.pdc", "particleShape1.pdc", "particleShape1..pdc", "particleShape1.75a.pdc",
                            "particleShape1.7500.pdc.bak", "particleShape1.7500.mcx", "particleShape1.+250.pdc"}) {
    EXPECT_FALSE(particleCacheFile(other)) << other;
  }
  EXPECT_EQ(particleCacheFile("particleShape1.250.PDC").has_value(), kCaseBlind);
  const std::vector<std::string> ntsc = pdc("p", {0, 249, 250, 500, 750, 751, 752, 1001});
  EXPECT_EQ(selectDiskCache(ntsc, renderedWindow(2, 2), kNtsc).files,
            (std::vector<std::string>{ntsc[2], ntsc[3], ntsc[4], ntsc[5]}));
  EXPECT_EQ(particleFrameCount(pdc("a", {250, 500, 750, 751, 1001}), kNtsc), 4u);
  const std::vector<std::string> shapes = {"a.0.pdc", "a.250.pdc", "b.500.pdc"};  // frames of every shape, or of one
  EXPECT_EQ(particleFrameCount(shapes, 24), 3u);
  EXPECT_EQ(particleFrameCount(shapes, 24, "b"), 1u);
  const std::vector<std::string> zero = pdc("p", {-500, -251, -250, 0, 250, 251});
  EXPECT_EQ(selectDiskCache(zero, renderedWindow(0, 0), 24).files,
            (std::vector<std::string>{zero[2], zero[3], zero[4]}));
  const std::vector<std::string> folder = {"particleShape1.0.pdc", "particleShape1.250.pdc", "particleShape10.0.pdc",
                                           "ParticleShape1.500.pdc", "particleShape1.pdc"};
  std::vector<std::string> expected = {folder[0], folder[1]};
  if (kCaseBlind) expected.push_back(folder[3]);
  EXPECT_EQ(selectStartupCache(folder, "particleShape1").files, expected);
}

TEST(CacheRules, WorkspaceParticlesRule) {
  const std::pair<std::string, std::string> rows[] = {
      {"workspace -fileRule \"particles\" \"cache/particles\";", "cache/particles"},
      {"workspace -fr \"particles\" \"a\";\r\nworkspace -fr \"particles\" \"b\";\r\n", "b"},
      {"// particles\nworkspace -fr \"particles\" \"a\"; // workspace -fr \"particles\" \"old\";\n", "a"},
      {"/* workspace -fr \"particles\" \"old\"; */ workspace -fr \"scene\" \"particles\";", "particles"},
      {"workspace -fr \"particles\" \"my \\\"dir\\\"; x\";", "my \"dir\"; x"},
      {"workspace -fr \"scene\" \"scenes\" -fr \"particles\" \"p\";", "p"},
      {"workspace -fr \"particles\" \"\";", ""}, {"workspace -fr \"Particles\" \"x\";", "particles"},
      {"print \"workspace -fr \\\"particles\\\" \\\"no\\\"\";", "particles"},
      {"workspace -fr \"particles\"", "particles"}};
  for (const auto& [text, rule] : rows) EXPECT_EQ(particlesRule(text), rule) << text;
}

// A container's pairs in any case, each folder once for the first path naming it; the frames of .bif names; a
// render by half frames reads no frame beyond the window's ends.
TEST(CacheRules, BifrostPairsAndFrames) {
  const std::vector<std::pair<std::string, std::string>> attributes = {
      {".liquidCachePath", "./cache/"}, {".liquidCacheFileName", "c1"}, {"liquidmeshCacheFileName", "mesh"},
      {"LiquidMeshCachePath", "C:\\sim"}, {"foamCacheFileName", "orphan"}, {"aeroCachePath", "./cache"},
      {"aeroCacheFileName", "c1"}, {"GUIDECACHEPATH", "x/"}, {"guideCacheFileName", "g"}, {"cachePath", "y"},
      {"mistCachePath", "./"}};
  std::vector<BifrostCacheFolder> open = bifrostCacheFolders(attributes);
  ASSERT_EQ(open.size(), 3u);
  EXPECT_EQ(open[0].folder + open[0].name + open[0].pathAttribute, "./cache/c1/c1.liquidCachePath");
  EXPECT_EQ(open[0].kinds, (std::vector<std::string>{"liquid", "aero"}));
  EXPECT_EQ(open[1].folder, "C:\\sim\\mesh\\");
  EXPECT_EQ(open[2].folder + open[2].kinds[0], "x/g/GUIDE");
  EXPECT_FALSE(takeFolderNamedBy(open, "aeroCachePath"));
  EXPECT_EQ(takeFolderNamedBy(open, "LiquidMeshCachePath")->name, "mesh");
  EXPECT_FALSE(takeFolderNamedBy(open, "LiquidMeshCachePath"));
  const std::pair<std::string, Time> rows[] = {{"Solids/Solids_volume.0000.bif", 0},
      {"a/b/Solids/Solids_volume.12345.bif", 12345}, {"Solids\\Solids_volume.-001.bif", -1},
      {"voxel_liquid_volume.0052.bif", 52}, {"Solids/Solids.0052.bif", kNone},
      {"Solids/Solids_volume.0052.bif.tmp", kNone}, {"Solids/Solids_volume.bif", kNone},
      {"Solids/Solids_volume.00a2.bif", kNone}, {"volume.0052.bif", kNone}};
  for (const auto& [name, frame] : rows) EXPECT_EQ(bifrostFrame(name), frame) << name;
  EXPECT_EQ(bifrostFrame("Solids/solids_volume.0052.BIF").has_value(), kCaseBlind);
  std::vector<std::string> folder;
  for (int n = 50; n <= 60; ++n) folder.push_back("Solids/Solids_volume.00" + std::to_string(n) + ".bif");
  EXPECT_EQ(selectBifrostFiles(folder, renderedWindow(52.5, 54.5)).files,
            std::vector<std::string>(folder.begin() + 2, folder.begin() + 6));
}

// A collection with the line ends of Windows, its data paths separated by "; " and ended by ';', `${PROJECT}` the
// collection's own project; the guide cache's names from the palette's, which the Palette block names.
TEST(CacheRules, XgenCollections) {
  const std::string proj = "C:/Users/artist/proj/";
  const std::string file =
      "Palette\r\n\tname\t\t\tcoll\r\n\txgDataPath\t\t${PROJECT}xgen/coll/; D:/lib/xgen/shared/;\r\n"
      "\txgProjectPath\t\t" + proj + "\r\n\tendAttrs\r\n\r\nPrimitive\tArchivePrimitive\r\n"
      "\tfiles\t\t\t#ArchiveGroup 0 name=\"Archive\" materials=\"${PROJECT}xgen/Archive.ma\"\r\n"
      "#ass=\\\"${PROJECT}xgen/Archive.ass.gz\\\"\r\n#EndArchiveGroup\r\n\tendAttrs\r\n\r\n"
      "Primitive\tSplinePrimitive\r\n\tcacheFileName\t\t${DESC}/guides.abc\r\n\tendAttrs\r\n";
  const std::vector<std::pair<XgenValueKind, std::string>> expected = {
      {XgenValueKind::kDataPath, proj + "xgen/coll/"}, {XgenValueKind::kDataPath, "D:/lib/xgen/shared/"},
      {XgenValueKind::kProjectPath, proj}, {XgenValueKind::kArchive, proj + "xgen/Archive.ma"},
      {XgenValueKind::kArchive, proj + "xgen/Archive.ass.gz"}, {XgenValueKind::kCacheFile, "${DESC}/guides.abc"}};
  const std::vector<XgenValue> values = readXgenFile(file, "/elsewhere");
  ASSERT_EQ(values.size(), expected.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_TRUE(values[i].kind == expected[i].first && values[i].path == expected[i].second) << i;
    EXPECT_EQ(file.substr(values[i].offset, values[i].length), values[i].written);
  }
  EXPECT_EQ(values[3].written, "${PROJECT}xgen/Archive.ma");
  EXPECT_EQ(xgenPaletteName("Description\n\tname\t\thair\n\tendAttrs\nPalette\r\n\tname\tns:coll \r\n"), "ns:coll");
  EXPECT_EQ(xgenPaletteName("Description\n\tname\t\thair\n"), "");
  EXPECT_EQ(xgenGuideCacheName("C:\\proj\\scenes\\shot.v2.mb", "coll"), "shot.v2__coll.abc");
  EXPECT_EQ(xgenGuideCacheName("shot", "ns:coll"), "shot__ns__coll.abc");
}
