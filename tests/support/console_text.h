#pragma once
// What a program wrote to its standard output or error, with the line ends
// of its platform taken out.

#include <gtest/gtest.h>

#include <string>

// On Windows the C runtime writes every line feed of console text as
// CR LF; elsewhere a line feed stays a line feed. A bare line feed from a
// Windows program is a fault (text written around the runtime's text
// mode), and fails the test.
inline std::string consoleText(const std::string& written) {
#ifdef _WIN32
  std::string text;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] == '\n') {
      if (text.empty() || text.back() != '\r') {
        ADD_FAILURE() << "a line feed without a carriage return at byte " << i << " of:\n" << written;
      } else {
        text.pop_back();
      }
    }
    text += written[i];
  }
  return text;
#else
  return written;
#endif
}
