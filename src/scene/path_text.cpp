#include "scene/path_text.h"

#include <cstring>

namespace {

const char kDelimiters[] = "\n'\"();\t ";

bool isDelimiter(char c) { return c != '\0' && std::strchr(kDelimiters, c) != nullptr; }

}  // namespace

void trimDelimiters(std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && isDelimiter(text[end - 1])) --end;
  text.erase(end);
  std::size_t start = 0;
  while (start < text.size() && isDelimiter(text[start])) ++start;
  text.erase(0, start);
}

std::string trimmedOfDelimiters(const char* text) {
  std::string path(text);
  trimDelimiters(path);
  return path;
}

const char* findLastUnquoted(const char* text, int c) {
  const char* found = nullptr;
  bool quoted = false;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == static_cast<char>(c) && !quoted) {
      found = p;
    } else if (*p == '"') {
      quoted = !quoted;
    }
  }
  return found;
}
