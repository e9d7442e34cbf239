#include "scene/token_scene_reader.h"

#include <cstring>
#include <memory>

#include "io/memory_cursor.h"
#include "scene/binary_markers.h"
#include "scene/node_tracker.h"
#include "scene/recognisers.h"
#include "scene/token_reader.h"

ScenePlan readTokenScene(ByteCursor& in) {
  const std::unique_ptr<char[]> token(new char[TokenReader::kMaxBytes + 1]);
  std::size_t length = 0;
  TokenReader reader(in, token.get(), length);
  ScenePlan plan;
  // Tokens that hold no marker are written through by the reader itself.
  while (reader.readMarked() == 1) {
    const bool reference = std::strstr(token.get(), kReferenceMarker) != nullptr;
    if (!reference && std::strstr(token.get(), kTextureMarker) == nullptr) {
      in.put(token.get(), length);
      continue;
    }
    in.put(token.get(), length);
    if (reader.read() == 0) break;
    const Recognised path = recogniseMarkedToken(token.get(), reference ? "~" : "");
    plan.named.push_back(dependencyOf(path, reference ? DependencyKind::kScene : DependencyKind::kTexture,
                                      reference ? Dependency{} : NodeTracker().textureOf("ftn")));
    in.put(path.rewritten.data(), path.rewritten.size());
  }
  return plan;
}

ScenePlan planTokenScene(std::string_view scene) {
  MemoryCursor in(scene);
  ScenePlan plan = readTokenScene(in);
  plan.edits = in.edits();
  return plan;
}
