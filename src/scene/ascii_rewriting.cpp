// The two ASCII recognisers: a file reference statement is made to name
// the rewritten copy of the referenced scene, a texture statement the bare
// texture file name. Both record what they find in the job's lists.

#include <cstring>
#include <string>

#include "job/scene_job.h"
#include "scene/ascii_keywords.h"
#include "scene/file_attributes.h"
#include "scene/node_tracker.h"
#include "scene/path_text.h"
#include "names/base_name.h"

namespace {

constexpr std::size_t anchorOf(const char* keyword) {
  std::size_t at = 0;
  while (keyword[at] != 'f') ++at;
  return at;
}
constexpr std::size_t kReferenceAnchor = anchorOf(kReferenceKeyword);
constexpr std::size_t kTextureAnchor = anchorOf(kTextureKeyword);

}  // namespace

bool holdsKeyword(const char* bytes, std::size_t length) {
  static_assert(kReferenceKeyword[kReferenceAnchor] == kTextureKeyword[kTextureAnchor], "one byte finds both");
  for (std::size_t from = 0; from < length;) {
    const void* hit = std::memchr(bytes + from, 'f', length - from);
    if (hit == nullptr) return false;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes);
    if (at >= kReferenceAnchor && at - kReferenceAnchor + kReferenceKeywordLength <= length &&
        std::memcmp(bytes + at - kReferenceAnchor, kReferenceKeyword, kReferenceKeywordLength) == 0) {
      return true;
    }
    if (at >= kTextureAnchor && at - kTextureAnchor + kTextureKeywordLength <= length &&
        std::memcmp(bytes + at - kTextureAnchor, kTextureKeyword, kTextureKeywordLength) == 0) {
      return true;
    }
    from = at + 1;
  }
  return false;
}

// The record's own names for the path text operations.
const char* SceneJob::findLastUnquoted(const char* text, int c) { return ::findLastUnquoted(text, c); }
std::string SceneJob::trimmed(const char* text) { return trimmedOfDelimiters(text); }
void SceneJob::trimDelimiters(std::string& text) { ::trimDelimiters(text); }

int SceneJob::rewriteFileReference(DependencyList* found) {
  const char* keyword = std::strstr(statement, kReferenceKeyword);
  if (keyword == nullptr) return 0;
  // The keyword's own trailing space never separates the path.
  const char* separator = findLastUnquoted(keyword + kReferenceKeywordLength, ' ');
  if (separator == nullptr) return 0;

  const std::string path = recordPath(trimmed(separator), nullptr, found);
  std::string newName = sceneCopyName(path);
  normalizeSlashes(newName);
  recordTransfer(newName, found);

  statementLength = static_cast<std::size_t>(separator - statement);
  statement[statementLength] = '\0';

  if (sceneStream) {
    sceneStream->putString(statement);
    sceneStream->putString(" \"");
    sceneStream->putString(newName.c_str());
    sceneStream->putString("\";\n");
  }
  return 1;
}

int SceneJob::rewriteTextureAttribute(const NodeTracker* node, DependencyList* found) {
  if (std::strstr(statement, kTextureKeyword) == nullptr) return 0;
  const char* separator = findLastUnquoted(statement, ' ');
  if (separator == nullptr) return 0;

  // A file node without an image is rewritten as ever, and names nothing.
  const std::string text = trimmed(separator);
  const Dependency texture = node != nullptr ? node->textureOf("ftn") : NodeTracker().textureOf("ftn");
  const std::string bareName = namesNoFile(text) ? std::string() : recordTexture(text, texture, found);
  return putRewritten(std::string(kTextureKeyword) + " (\"" + bareName + "\");\n");
}

int SceneJob::rewriteNodeAttribute(NodeTracker& node, DependencyList* found) {
  const FileAttribute* row = node.takePathRow();
  if (row == nullptr || std::strstr(statement, "-type \"string\"") == nullptr) return 0;
  const char* separator = findLastUnquoted(statement, ' ');
  if (separator == nullptr) return 0;
  const std::string text = trimmed(separator);
  if (namesNoFile(text)) return 0;

  const std::string bareName = recordTexture(text, node.textureOf(row->attribute), found);
  return putRewritten(std::string(statement, static_cast<std::size_t>(separator - statement)) + " \"" + bareName +
                      "\";\n");
}

std::string SceneJob::recordTexture(const std::string& text, const Dependency& texture, DependencyList* found) {
  const std::string bareName(baseName(recordPath(text, &texture, found)));
  recordTransfer(bareName, found);
  return bareName;
}

// The rewritten statement can outgrow the statement buffer, so it is
// composed on its own and written whole; the buffer keeps a copy whenever
// it fits.
int SceneJob::putRewritten(const std::string& rewritten) {
  if (rewritten.size() < sizeof(statement)) {
    std::memcpy(statement, rewritten.c_str(), rewritten.size() + 1);
    statementLength = rewritten.size();
  }
  if (sceneStream) sceneStream->putBytes(rewritten.data(), rewritten.size());
  return 1;
}
