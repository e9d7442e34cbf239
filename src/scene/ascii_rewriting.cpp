// The two ASCII recognisers: a file reference statement is made to name
// the rewritten copy of the referenced scene, a texture statement the bare
// texture file name. Both record what they find in the job's lists.

#include <cstring>
#include <string>

#include "job/scene_job.h"
#include "scene/ascii_keywords.h"
#include "scene/file_attributes.h"
#include "names/base_name.h"

namespace {

const char kDelimiters[] = "\n'\"();\t ";

bool isDelimiter(char c) { return c != '\0' && std::strchr(kDelimiters, c) != nullptr; }

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

const char* SceneJob::findLastUnquoted(const char* text, int c) {
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

void SceneJob::trimDelimiters(std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && isDelimiter(text[end - 1])) --end;
  text.erase(end);
  std::size_t start = 0;
  while (start < text.size() && isDelimiter(text[start])) ++start;
  text.erase(0, start);
}

int SceneJob::rewriteFileReference() {
  const char* keyword = std::strstr(statement, kReferenceKeyword);
  if (keyword == nullptr) return 0;
  // The keyword's own trailing space never separates the path.
  const char* separator = findLastUnquoted(keyword + kReferenceKeywordLength, ' ');
  if (separator == nullptr) return 0;

  const std::string path = recordPath(trimmed(separator), nullptr);
  std::string newName = sceneCopyName(path);
  normalizeSlashes(newName);
  transferFiles.push_back(newName);

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

int SceneJob::rewriteTextureAttribute() {
  if (std::strstr(statement, kTextureKeyword) == nullptr) return 0;
  const char* separator = findLastUnquoted(statement, ' ');
  if (separator == nullptr) return 0;

  // A file node without an image is rewritten as ever, and names nothing.
  const std::string text = trimmed(separator);
  const std::string bareName = namesNoFile(text) ? std::string() : recordTexture(text, factsOfAttribute("ftn"));
  return putRewritten(std::string(kTextureKeyword) + " (\"" + bareName + "\");\n");
}

std::string SceneJob::recordTexture(const std::string& text, const DependencyFacts& facts) {
  const std::string bareName(baseName(recordPath(text, &facts)));
  transferFiles.push_back(bareName);
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
