#pragma once
// A scene's frame rate, as its `currentUnit -t` value names it, and ticks:
// the unit, 6000 to the second, in which cache descriptions and particle
// cache names give times.

#include <optional>
#include <string_view>

inline constexpr double kTicksPerSecond = 6000;

// The rate of a scene that sets none.
inline constexpr double kDefaultFramesPerSecond = 24;

// Frames per second of a time unit as `currentUnit -t` names it: "film"
// 24, "pal" 25, "ntsc" 30, "game" 15, "show" 48, "palf" 50, "ntscf" 60,
// the clock units ("sec" 1, ...), and "<N>fps" ("23.976fps"); the rates
// of NTSC video are 24000/1001 and the like, as the player runs them.
// Nothing for any other text.
std::optional<double> framesPerSecond(std::string_view timeUnit);

// The value of the `-t` (`-time`) flag of a `currentUnit` statement
// (`currentUnit -l centimeter -a degree -t film;`), quotes taken off;
// nothing when the statement is no currentUnit or sets no time unit.
// The result points into the statement.
std::optional<std::string_view> timeUnitOf(std::string_view statement);

// Ticks from one frame to the next at `framesPerSecond`.
inline double ticksPerFrame(double framesPerSecond) { return kTicksPerSecond / framesPerSecond; }
