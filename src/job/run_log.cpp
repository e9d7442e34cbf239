#include "job/run_log.h"

#include <cstdio>

void RunLog::warn(const std::string& text) {
  std::printf("WARNING: %s\n", text.c_str());
  warnings.push_back(text);
}
