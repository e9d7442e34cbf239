#include "names/base_name.h"

std::string_view baseName(std::string_view path) {
  std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string_view::npos) return path;
  return path.substr(separator + 1);
}

std::string_view folderBaseName(std::string_view path) {
  const std::size_t end = path.find_last_not_of("\\/");
  return end == std::string_view::npos ? std::string_view() : baseName(path.substr(0, end + 1));
}

std::string sceneCopyName(std::string_view scenePath) { return "~" + std::string(baseName(scenePath)); }
