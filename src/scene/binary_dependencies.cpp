#include "scene/binary_dependencies.h"

#include <algorithm>
#include <cstring>

#include "scene/base_name.h"
#include "scene/binary_structure.h"
#include "scene/file_attributes.h"
#include "scene/overwrite_padded.h"

namespace {

constexpr std::uint32_t kReferenceForm = 0x46524546;  // FREF
// Attribute names the table holds are short; a longer one is none of them.
constexpr std::size_t kMaxAttributeName = 255;

std::string bigEndianBytes(std::uint64_t value, int width) {
  std::string bytes(static_cast<std::size_t>(width), '\0');
  for (int i = width - 1; i >= 0; --i, value >>= 8)
    bytes[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFF);
  return bytes;
}

std::string windowsSlashes(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

class DependencyFinder : public BinaryVisitor {
 public:
  DependencyFinder(BinaryFile& file, BinaryScenePlan& plan) : file_(file), plan_(plan) {}

  void groupBegins(const BinaryHeader& group) override { open_.push_back({group, 0}); }

  // A group around a grown chunk is that much longer.
  void groupEnds(const BinaryHeader& group) override {
    const std::uint64_t growth = open_.back().growth;
    open_.pop_back();
    if (growth == 0) return;
    plan_.edits.push_back({group.sizeOffset(), group.width, bigEndianBytes(group.size + growth, group.width)});
    if (!open_.empty()) open_.back().growth += growth;
  }

  // Every chunk passes here, knowing the type of the node it belongs to:
  // a reference's FREF chunk, or an attribute chunk of a node (STR for
  // strings; DBLE and the other typed chunks come by here as well).
  void chunk(const BinaryHeader& chunk, const ChunkContext& context) override {
    if (chunk.hasTag("FREF") && context.groupForm == kReferenceForm) {
      referenceFound(chunk);
      return;
    }
    if (context.nodeTypeId == 0) return;
    const std::string_view nodeType = nodeTypeOfId(context.nodeTypeId);
    if (nodeType.empty()) return;
    if (chunk.hasTag("STR ")) stringAttribute(chunk, nodeType);
  }

 private:
  struct OpenGroup {
    BinaryHeader header;
    std::uint64_t growth;  // of the groups and chunks inside it so far
  };

  // Bytes of the chunk's data from `from` up to its first NUL (or its end).
  std::string textAt(const BinaryHeader& chunk, std::uint64_t from, std::uint64_t most) {
    std::string text;
    char piece[256];
    const std::uint64_t end = std::min(chunk.size, from + most);
    for (std::uint64_t at = from; at < end;) {
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof piece, end - at));
      const std::size_t got = file_.read(chunk.dataOffset() + static_cast<std::int64_t>(at), piece, want);
      const void* nul = std::memchr(piece, '\0', got);
      if (nul != nullptr) return text.append(piece, static_cast<std::size_t>(static_cast<const char*>(nul) - piece));
      text.append(piece, got);
      if (got < want) break;
      at += got;
    }
    return text;
  }

  // An attribute chunk's data is the name, NUL, one flag byte, the value.
  // The name, or empty where no value follows or the name is longer than
  // any the table lists.
  std::string attributeName(const BinaryHeader& chunk) {
    std::string name = textAt(chunk, 0, kMaxAttributeName + 1);
    if (name.size() > kMaxAttributeName || name.size() + 2 > chunk.size) return {};
    return name;
  }

  void stringAttribute(const BinaryHeader& chunk, std::string_view nodeType) {
    const std::string name = attributeName(chunk);
    const FileAttribute* row = name.empty() ? nullptr : findFileAttribute(nodeType, name);
    if (row == nullptr) return;
    const std::uint64_t valueAt = name.size() + 2;
    fileAttributeFound(*row, chunk.dataOffset() + static_cast<std::int64_t>(valueAt),
                       textAt(chunk, valueAt, chunk.size));
  }

  // Every file an attribute names passes here: recorded, and overwritten
  // in the copy by its base name padded with spaces to the old length.
  void fileAttributeFound(const FileAttribute& row, std::int64_t valueOffset, std::string value) {
    if (value.empty()) return;
    std::string newName = windowsSlashes(std::string(baseName(value)));
    std::string field = value;
    overwritePadded(field.data(), newName.c_str());
    plan_.edits.push_back({valueOffset, static_cast<std::int64_t>(value.size()), std::move(field)});
    plan_.dependencies.push_back({false, row.nodeType, row.attribute, std::move(value), std::move(newName)});
  }

  // A FREF chunk's data: the path, NUL, the namespace and more. A new name
  // that is longer than the path makes the chunk and its groups grow.
  void referenceFound(const BinaryHeader& chunk) {
    std::string path = textAt(chunk, 0, chunk.size);
    if (path.empty()) return;
    std::string newName = windowsSlashes(sceneCopyName(path));
    const std::int64_t pathOffset = chunk.dataOffset();
    if (newName.size() <= path.size() || !grow(chunk, newName.size() - path.size(), pathOffset, path.size(), newName)) {
      std::string field = path;
      overwritePadded(field.data(), newName.c_str());
      plan_.edits.push_back({pathOffset, static_cast<std::int64_t>(path.size()), std::move(field)});
    }
    plan_.dependencies.push_back({true, {}, {}, std::move(path), std::move(newName)});
  }

  // The chunk's size, the path and the padding change; the groups around
  // it change their sizes when they end. False when a size would no
  // longer fit its field: the name is then cut to the path's length.
  bool grow(const BinaryHeader& chunk, std::uint64_t extra, std::int64_t pathOffset, std::size_t pathLength,
            const std::string& newName) {
    const std::uint64_t size = chunk.size + extra;
    const std::uint64_t oldPadding = chunkPadding(chunk.size, chunk.width);
    const std::uint64_t newPadding = chunkPadding(size, chunk.width);
    const std::uint64_t growth = size + newPadding - chunk.size - oldPadding;
    const auto fits = [](std::uint64_t value, int width) { return width == 8 || value <= 0xFFFFFFFFu; };
    if (!fits(size, chunk.width)) return false;
    std::uint64_t inner = growth;
    for (auto group = open_.rbegin(); group != open_.rend(); ++group) {
      inner += group->growth;
      if (!fits(group->header.size + inner, group->header.width)) return false;
    }
    plan_.edits.push_back({chunk.sizeOffset(), chunk.width, bigEndianBytes(size, chunk.width)});
    plan_.edits.push_back({pathOffset, static_cast<std::int64_t>(pathLength), newName});
    plan_.edits.push_back({chunk.dataOffset() + static_cast<std::int64_t>(chunk.size),
                           static_cast<std::int64_t>(oldPadding), std::string(newPadding, '\0')});
    open_.back().growth += growth;
    return true;
  }

  BinaryFile& file_;
  BinaryScenePlan& plan_;
  std::vector<OpenGroup> open_;
};

}  // namespace

BinaryScenePlan planBinaryScene(const std::string& path, std::int64_t expectedSize) {
  BinaryScenePlan plan;
  BinaryFile file(path);
  char head[20];
  plan.mayaForm = hasMayaForm(head, file.read(0, head, sizeof head));
  if (!plan.mayaForm || file.size() != expectedSize) return plan;
  DependencyFinder finder(file, plan);
  plan.wellFormed = walkMayaScene(file, finder);
  if (!plan.wellFormed) {
    plan.dependencies.clear();
    plan.edits.clear();
    return plan;
  }
  std::stable_sort(plan.edits.begin(), plan.edits.end(),
                   [](const BinaryEdit& a, const BinaryEdit& b) { return a.offset < b.offset; });
  return plan;
}
