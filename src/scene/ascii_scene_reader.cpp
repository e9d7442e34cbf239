#include "scene/ascii_scene_reader.h"

#include <cstring>
#include <memory>
#include <optional>

#include "io/memory_cursor.h"
#include "scene/file_attributes.h"
#include "scene/node_tracker.h"
#include "scene/recognisers.h"
#include "scene/statement_reader.h"

ScenePlan readAsciiScene(ByteCursor& in) {
  const std::unique_ptr<char[]> statement(new char[StatementReader::kCapacity]);
  std::size_t length = 0;
  bool cut = false;
  StatementReader reader(in, statement.get(), length, cut);
  DependencyList named;
  NodeTracker node(&named);
  const auto record = [&](const Recognised& found, DependencyKind kind, Dependency texture) {
    named.add(dependencyOf(found, kind, std::move(texture)));
  };
  // Statements that no recogniser would take are written through by the
  // reader itself.
  while (reader.readMarked(node) == 1) {
    // A reference's statement is what stood before the path from then on.
    const std::optional<Recognised> reference = recogniseFileReference(statement.get());
    if (reference) {
      record(*reference, DependencyKind::kScene, {});
      in.put(reference->rewritten.data(), reference->rewritten.size());
      length = reference->pathAt;
      statement[length] = '\0';
    }
    const std::optional<Recognised> texture = recogniseTextureStatement(statement.get());
    if (texture) {
      if (texture->namesFile) record(*texture, DependencyKind::kTexture, node.textureOf("ftn"));
      in.put(texture->rewritten.data(), texture->rewritten.size());
    }
    // The `ftn` rule comes first: no statement is taken twice.
    if (reference || texture) continue;
    const FileAttribute* row = node.takePathRow();
    const bool folder = row != nullptr && namesCacheFolder(*row);
    const bool bifrost = row != nullptr && row->role == AttributeRole::kBifrostCachePath;
    const std::optional<Recognised> attribute = row == nullptr ? std::nullopt
                                                : bifrost      ? recogniseBifrostPathStatement(statement.get())
                                                               : recogniseAttributeStatement(statement.get(), folder);
    if (attribute) {
      record(*attribute, DependencyKind::kTexture, node.textureOf(node.pathAttribute()));
      in.put(attribute->rewritten.data(), attribute->rewritten.size());
      continue;
    }
    // Whole, NUL bytes and all: nothing of the scene is lost.
    in.put(statement.get(), length);
  }
  node.end();
  return {std::move(named.items()), {}};
}

ScenePlan planAsciiScene(std::string_view scene) {
  MemoryCursor in(scene);
  ScenePlan plan = readAsciiScene(in);
  plan.edits = in.edits();
  return plan;
}
