// The two ASCII recognisers: a file reference statement is made to name
// the rewritten copy of the referenced scene, a texture statement the bare
// texture file name. Both record what they find in the job's lists.

#include <cstring>
#include <string>

#include "job/scene_job.h"
#include "scene/ascii_keywords.h"
#include "scene/dependency_record.h"
#include "scene/file_attributes.h"
#include "scene/node_tracker.h"
#include "scene/path_text.h"
#include "scene/recognisers.h"
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
void SceneJob::trimDelimiters(std::string& text) { ::trimDelimiters(text); }

namespace {

// The rewritten statement can outgrow the statement buffer, so it is
// composed on its own and written whole; the buffer keeps a copy whenever
// it fits.
int putRewritten(SceneJob& job, const std::string& rewritten) {
  if (rewritten.size() < sizeof(job.statement)) {
    std::memcpy(job.statement, rewritten.c_str(), rewritten.size() + 1);
    job.statementLength = rewritten.size();
  }
  if (job.sceneStream) job.sceneStream->putBytes(rewritten.data(), rewritten.size());
  return 1;
}

}  // namespace

int SceneJob::rewriteFileReference() {
  const std::optional<Recognised> named = recogniseFileReference(statement);
  if (!named) return 0;
  recordFound(*this, dependencyOf(*named, DependencyKind::kScene), nullptr);
  // The statement at hand is what came before the path.
  statementLength = named->pathAt;
  statement[statementLength] = '\0';
  if (sceneStream) sceneStream->putBytes(named->rewritten.data(), named->rewritten.size());
  return 1;
}

int SceneJob::rewriteTextureAttribute() {
  const std::optional<Recognised> named = recogniseTextureStatement(statement);
  if (!named) return 0;
  if (named->namesFile) recordFound(*this, dependencyOf(*named, DependencyKind::kTexture, NodeTracker().textureOf("ftn")), nullptr);
  return putRewritten(*this, named->rewritten);
}
