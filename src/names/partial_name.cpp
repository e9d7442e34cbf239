#include "names/partial_name.h"

#include "names/base_name.h"
#include "names/comparison_key.h"
#include "names/windows_path.h"
#include "platform/platform.h"

namespace {

constexpr std::string_view kPrefix = "vantle_render.";
constexpr std::string_view kSuffix = ".partial";

// One or more decimal digits.
bool isNumber(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::string partialFileName(const std::string& finalPath) {
  static unsigned long count = 0;
  const bool below = isRelativePath(finalPath) && finalPath.find("..") == std::string::npos;
  const std::string folder = below ? std::string() : finalPath.substr(0, finalPath.size() - baseName(finalPath).size());
  return folder + std::string(kPrefix) + std::to_string(platform::processId()) + "-" + std::to_string(++count) +
         std::string(kSuffix);
}

bool isPartialFileName(std::string_view name) {
  if (name.size() <= kPrefix.size() + kSuffix.size()) return false;
  if (name.substr(0, kPrefix.size()) != kPrefix || name.substr(name.size() - kSuffix.size()) != kSuffix) return false;
  const std::string_view numbers = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  const std::size_t dash = numbers.find('-');
  return dash != std::string_view::npos && isNumber(numbers.substr(0, dash)) && isNumber(numbers.substr(dash + 1));
}

bool isPartialFileNameInAnyCase(std::string_view name) { return isPartialFileName(caseFolded(std::string(name))); }
