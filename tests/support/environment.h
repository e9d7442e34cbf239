#pragma once
// The test process's own environment, changed the same way on every
// platform, and the search path through which a command interpreter finds
// a program.

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <stdlib.h>
#endif

// Sets a variable of this process. On Windows an empty value removes the
// variable, as the C runtime's environment holds no empty values.
inline void setEnvironment(const std::string& name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value.c_str());
#else
  setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void unsetEnvironment(const std::string& name) {
#ifdef _WIN32
  _putenv_s(name.c_str(), "");
#else
  unsetenv(name.c_str());
#endif
}

// The separator of the folders in PATH.
#ifdef _WIN32
inline constexpr char kSearchPathSeparator = ';';
#else
inline constexpr char kSearchPathSeparator = ':';
#endif

// This process's PATH with `folder` put first.
inline std::string searchPathWith(std::string folder) {
#ifdef _WIN32
  for (char& c : folder) {
    if (c == '/') c = '\\';
  }
#endif
  const char* path = std::getenv("PATH");
#ifdef _WIN32
  const char* fallback = "C:\\windows\\system32;C:\\windows";
#else
  const char* fallback = "/usr/bin:/bin";
#endif
  return folder + kSearchPathSeparator + (path != nullptr ? path : fallback);
}
