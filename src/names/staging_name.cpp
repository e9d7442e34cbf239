#include "names/staging_name.h"

#include <cstdio>
#include <cstring>

#include "names/partial_name.h"
#include "outcome/run_stop.h"
#include "names/run_files.h"

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Control bytes end a line of the description or hide in it; a comma
// splits the transfer line; the rest Windows refuses in a file name, or
// reads as a drive (':' also opens an alternate data stream) or a folder.
bool isRefusedByte(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F || std::strchr(",:*?\"<>|\\/", c) != nullptr;
}

// Windows opens a device, not a file, under these names, whatever
// extension follows and whatever spaces end the name before it. The
// superscript digits are UTF-8.
bool isDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const char* device : {"con", "prn", "aux", "nul"}) {
    if (namesOneFile(stem, device)) return true;
  }
  if (stem.size() < 4) return false;
  const std::string_view port = stem.substr(0, 3);
  if (!namesOneFile(port, "com") && !namesOneFile(port, "lpt")) return false;
  const std::string_view number = stem.substr(3);
  if (number.size() == 1) return number[0] >= '0' && number[0] <= '9';
  return number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace

bool namesOneFile(std::string_view first, std::string_view second) {
  if (first.size() != second.size()) return false;
  for (std::size_t i = 0; i < first.size(); ++i) {
    if (lowerAscii(first[i]) != lowerAscii(second[i])) return false;
  }
  return true;
}

bool isStageableNameInFolder(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (isRefusedByte(c)) return false;
  }
  // Windows drops a trailing space or dot: the file would get another name.
  if (name.back() == ' ' || name.back() == '.') return false;
  // The transfer line's entries are read with the blanks around them cut.
  if (name.front() == ' ') return false;
  return !isDeviceName(name);
}

bool isStageableName(std::string_view name) {
  // The names of the run's own files here are not the user's to give.
  return isStageableNameInFolder(name) && !namesOneFile(name, kSubmitFileName) && !namesOneFile(name, kLockFileName) &&
         !namesOneFile(name, kStagedParticlesFolder) && !namesOneFile(name, kWorkspaceFileName) &&
         !isPartialFileNameInAnyCase(name);
}

bool holdsBlank(std::string_view name) { return name.find_first_of(" \t") != std::string_view::npos; }

void refuseStagedName(const std::string& dependency, const std::string& name) {
  std::printf("ERROR: '%s' cannot be staged under the name '%s'.\n", dependency.c_str(), name.c_str());
  throw RunStop(exit_status::kFailure);
}

void requireStageableName(const std::string& dependency, const std::string& name) {
  if (!isStageableName(name)) refuseStagedName(dependency, name);
}

void requireStageableNameInFolder(const std::string& dependency, const std::string& name) {
  if (!isStageableNameInFolder(name)) refuseStagedName(dependency, name);
}
