#pragma once
#include <string>

// A path as the program stores it: every '/' turned into '\'.
inline std::string windowsForm(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}
