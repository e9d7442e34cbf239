#pragma once
// The line on a terminal that shows a long copy going on: the file's name,
// bytes done of the total, the rate and the time left. It appears once a
// copy has taken about half a second, is redrawn a few times a second and
// is cleared when the copy ends. Off a terminal there is none at all.

#include <cstdint>
#include <memory>
#include <string>

// The environment variable that sets how long a copy goes unshown, in
// milliseconds, and how long when it is not set.
inline constexpr const char* kProgressDelayVariable = "VANTLE_PROGRESS_DELAY_MS";
inline constexpr std::int64_t kDefaultProgressDelayMs = 500;

class CopyProgress {
 public:
  // A progress for a copy of `total` bytes of the file `name`, or null
  // when standard error is no terminal.
  static std::unique_ptr<CopyProgress> startIfTerminal(const std::string& name, std::int64_t total);
  CopyProgress(std::string name, std::int64_t total);
  ~CopyProgress();  // clears the line if it was shown
  CopyProgress(const CopyProgress&) = delete;
  CopyProgress& operator=(const CopyProgress&) = delete;

  // Called by the copy loops with the bytes copied so far.
  void update(std::int64_t done);

 private:
  std::string name_;
  std::int64_t total_;
  std::int64_t start_;  // platform::monotonicMilliseconds()
  std::int64_t drawn_ = 0;
  bool shown_ = false;
};

// The line for `done` of `total` bytes after `seconds` (for the tests too).
std::string progressLine(const std::string& name, std::int64_t done, std::int64_t total, double seconds);
