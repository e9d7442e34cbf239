#include "scene/recognisers.h"

#include <cstring>

#include "caches/bifrost_cache.h"
#include "names/base_name.h"
#include "names/followed_name.h"
#include "names/windows_path.h"
#include "scene/ascii_keywords.h"
#include "scene/file_attributes.h"
#include "scene/overwrite_padded.h"
#include "scene/path_text.h"
#include "scene/path_variables.h"

namespace {

// The path after `separator`, as written and as recorded.
Recognised pathAfter(const char* statement, const char* separator) {
  Recognised found;
  found.written = trimmedOfDelimiters(separator);
  found.recorded = recordedPath(found.written);
  found.pathAt = static_cast<std::size_t>(separator - statement);
  return found;
}

// A setAttr statement up to its path, then the path's new name.
std::string namingNewName(const char* statement, const Recognised& found) {
  return std::string(statement, found.pathAt) + " \"" + found.newName + "\";\n";
}

}  // namespace

Dependency dependencyOf(const Recognised& found, DependencyKind kind, Dependency texture) {
  texture.kind = kind;
  texture.written = found.written;
  texture.recorded = found.recorded;
  texture.resolved = found.recorded;
  texture.transferName = found.newName;
  return texture;
}

std::string recordedPath(const std::string& written) {
  std::string path = expandVariables(written);
  normalizeSlashes(path);
  return path;
}

std::optional<Recognised> recogniseFileReference(const char* statement) {
  const char* keyword = std::strstr(statement, kReferenceKeyword);
  if (keyword == nullptr) return std::nullopt;
  // The keyword's own trailing space never separates the path.
  const char* separator = findLastUnquoted(keyword + kReferenceKeywordLength, ' ');
  if (separator == nullptr) return std::nullopt;
  Recognised found = pathAfter(statement, separator);
  found.newName = sceneCopyName(found.recorded);
  normalizeSlashes(found.newName);
  found.rewritten = std::string(statement, found.pathAt) + " \"" + found.newName + "\";\n";
  return found;
}

std::optional<Recognised> recogniseTextureStatement(const char* statement) {
  if (std::strstr(statement, kTextureKeyword) == nullptr) return std::nullopt;
  const char* separator = findLastUnquoted(statement, ' ');
  if (separator == nullptr) return std::nullopt;
  Recognised found = pathAfter(statement, separator);
  // A file node without an image is rewritten as ever, and names nothing.
  found.namesFile = !namesNoFile(found.written);
  if (found.namesFile) found.newName = std::string(baseName(found.recorded));
  found.rewritten = std::string(kTextureKeyword) + " (\"" + found.newName + "\");\n";
  return found;
}

std::optional<Recognised> recogniseAttributeStatement(const char* statement, bool folder) {
  if (std::strstr(statement, "-type \"string\"") == nullptr) return std::nullopt;
  const char* separator = findLastUnquoted(statement, ' ');
  if (separator == nullptr) return std::nullopt;
  Recognised found = pathAfter(statement, separator);
  if (namesNoFile(found.written)) return std::nullopt;
  found.newName = folder ? std::string(folderBaseName(found.recorded)) : stagedBaseName(found.recorded);
  found.rewritten = namingNewName(statement, found);
  return found;
}

std::optional<Recognised> recogniseBifrostPathStatement(const char* statement) {
  std::optional<Recognised> found = recogniseAttributeStatement(statement, true);
  if (!found) return found;
  found->newName = bifrostJobFolderPath();
  found->rewritten = namingNewName(statement, *found);
  return found;
}

Recognised recogniseMarkedToken(const char* token, const char* prefix) {
  Recognised found = pathAfter(token, token);
  // Taken from the token as read: delimiters at its end stay in the name;
  // a token with variables in it is named as they expand.
  const bool expands = std::strchr(token, '$') != nullptr;
  found.newName = prefix + std::string(baseName(expands ? found.recorded.c_str() : token));
  normalizeSlashes(found.newName);
  found.rewritten = token;
  overwritePadded(found.rewritten.data(), found.newName.c_str());
  return found;
}
