#include "names/base_name.h"

std::string_view baseName(std::string_view path) {
  std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string_view::npos) return path;
  return path.substr(separator + 1);
}

std::string sceneCopyName(std::string_view scenePath) { return "~" + std::string(baseName(scenePath)); }
