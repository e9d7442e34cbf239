#include "io/copy_progress.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace {

// How long a copy goes unshown. The variable changes it, so that a test
// can see the line on a copy of any length.
std::int64_t delay() {
  const char* value = platform::environmentValue(kProgressDelayVariable);
  return value != nullptr ? std::atol(value) : kDefaultProgressDelayMs;
}

constexpr std::int64_t kRedrawMilliseconds = 100;

std::string amount(double bytes) {
  char text[32];
  if (bytes >= 1024.0 * 1024.0 * 1024.0) {
    std::snprintf(text, sizeof text, "%.1f GiB", bytes / (1024.0 * 1024.0 * 1024.0));
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
  }
  return text;
}

}  // namespace

std::string progressLine(const std::string& name, std::int64_t done, std::int64_t total, double seconds) {
  const double rate = seconds > 0.0 ? static_cast<double>(done) / seconds : 0.0;
  std::string line = "Copying '" + name + "': " + amount(static_cast<double>(done)) + " of " +
                     amount(static_cast<double>(total)) + ", " + amount(rate) + "/s";
  if (rate > 0.0 && total >= done) {
    char left[48];
    std::snprintf(left, sizeof left, ", %.0f s left", static_cast<double>(total - done) / rate);
    line += left;
  }
  return line;
}

std::unique_ptr<CopyProgress> CopyProgress::startIfTerminal(const std::string& name, std::int64_t total) {
  static const bool terminal = platform::standardErrorIsTerminal();
  if (!terminal) return nullptr;
  return std::make_unique<CopyProgress>(name, total);
}

CopyProgress::CopyProgress(std::string name, std::int64_t total)
    : name_(std::move(name)), total_(total), start_(platform::monotonicMilliseconds()) {}

CopyProgress::~CopyProgress() {
  if (shown_) platform::showStatusLine(std::string());
}

void CopyProgress::update(std::int64_t done) {
  static const std::int64_t unshown = delay();
  const std::int64_t now = platform::monotonicMilliseconds();
  if (now - start_ < unshown || (shown_ && now - drawn_ < kRedrawMilliseconds)) return;
  // Standard output goes first: the line must not cut into it.
  std::fflush(stdout);
  platform::showStatusLine(progressLine(name_, done, total_, static_cast<double>(now - start_) / 1000.0));
  drawn_ = now;
  shown_ = true;
}
