#pragma once
// Ends a run early with a process exit status. Thrown where a fault is
// found and caught in main, so the process ends in one place.

#include <exception>

namespace exit_status {
constexpr int kSuccess = 0;
constexpr int kCommandLine = 1;  // a fault of the command line
constexpr int kFailure = 2;      // the run could not be completed
}  // namespace exit_status

class RunStop : public std::exception {
 public:
  explicit RunStop(int status) : status_(status) {}
  int status() const { return status_; }
  const char* what() const noexcept override { return "run stopped"; }

 private:
  int status_;
};
