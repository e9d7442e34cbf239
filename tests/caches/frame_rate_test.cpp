// A scene's frame rate from its currentUnit statement, and times in ticks.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "caches/frame_rate.h"

TEST(FrameRate, TimeUnitNames) {
  const std::pair<std::string, double> rates[] = {{"film", 24}, {"pal", 25}, {"ntsc", 30}, {"game", 15},
      {"show", 48}, {"palf", 50}, {"ntscf", 60}, {"12fps", 12}, {"2.5fps", 2.5}, {"1000fps", 1000},
      {"23.976fps", 24000.0 / 1001}, {"59.94fps", 60000.0 / 1001}};
  for (const auto& [name, rate] : rates) EXPECT_EQ(framesPerSecond(name), rate) << name;
  for (const char* none : {"", "Film", "fps", "0fps", "-24fps", "24 fps", "24FPS", "inffps", "nanfps", "24"}) {
    EXPECT_EQ(framesPerSecond(none), std::nullopt) << none;
  }
}

TEST(FrameRate, CurrentUnitStatement) {
  const std::pair<std::string, std::optional<std::string>> rows[] = {
      {"currentUnit -l centimeter -a degree -t film;", "film"}, {"currentUnit -t ntscf;", "ntscf"},
      {"currentUnit -time \"pal\" -l meter;", "pal"}, {"currentUnit\t-t 23.976fps -ua 0;", "23.976fps"},
      {"currentUnit -l centimeter -a degree;", std::nullopt}, {"currentUnit -t;", std::nullopt},
      {"fileInfo \"-t\" \"film\";", std::nullopt}, {"currentUnits -t film;", std::nullopt}};
  for (const auto& [statement, unit] : rows) {
    const std::optional<std::string_view> found = timeUnitOf(statement);
    EXPECT_EQ(found ? std::optional<std::string>(*found) : std::nullopt, unit) << statement;
  }
}
