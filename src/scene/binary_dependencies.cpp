#include "scene/binary_dependencies.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "caches/bifrost_cache.h"
#include "caches/frame_rate.h"
#include "names/base_name.h"
#include "names/followed_name.h"
#include "scene/binary_structure.h"
#include "scene/file_attributes.h"
#include "scene/overwrite_padded.h"
#include "scene/path_variables.h"

namespace {

constexpr std::uint32_t kReferenceForm = 0x46524546;  // FREF
constexpr std::uint32_t kHeadForm = 0x48454144;       // HEAD
// A PLUG chunk longer than this is not read for node type ids.
constexpr std::uint64_t kMaxPlugChunk = std::uint64_t{1} << 20;
// Attribute names the table holds are short; a longer one is none of them.
constexpr std::size_t kMaxAttributeName = 255;

std::string bigEndianBytes(std::uint64_t value, int width) {
  std::string bytes(static_cast<std::size_t>(width), '\0');
  for (int i = width - 1; i >= 0; --i, value >>= 8)
    bytes[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFF);
  return bytes;
}

class DependencyFinder : public BinaryVisitor {
 public:
  DependencyFinder(BinaryFile& file, BinaryScenePlan& plan) : file_(file), plan_(plan) {}

  // Each group directly under the top group is a node.
  void groupBegins(const BinaryHeader& group) override {
    if (open_.size() == 1) ++node_;
    open_.push_back({group, 0});
  }

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
    if (chunk.hasTag("PLUG") && context.groupForm == kHeadForm) pluginTypes(chunk);
    if (chunk.hasTag("TUNI") && context.groupForm == kHeadForm) timeUnit(chunk);
    if (context.nodeTypeId == 0) return;
    // A node of a type the table does not know may still hold an attribute
    // that every node may have.
    const std::string_view nodeType = typeOf(context.nodeTypeId);
    // CREA: a flag byte, then the node's name.
    if (chunk.hasTag("CREA") && !nodeType.empty()) marks_[node_].name = textAt(chunk, 1, chunk.size);
    if (chunk.hasTag("STR ")) stringAttribute(chunk, nodeType);
    if (nodeType.empty()) return;
    if (chunk.hasTag("DBLE")) numberAttribute(chunk, nodeType);
  }

  // A node's uvt and ufe hold for its names whichever came first, as do a
  // cacheFile node's cache name and mapping for its folder, a Bifrost
  // container's pairs for their paths, and a particle node's name and the
  // scene's rate for its cache folder. A disk cache the scene has off
  // names nothing.
  void applyNodeMarks() {
    pairBifrostPaths();
    std::vector<BinaryDependency> kept;
    for (std::size_t i = 0; i < plan_.dependencies.size(); ++i) {
      BinaryDependency& found = plan_.dependencies[i];
      const auto marks = marks_.find(nodes_[i]);
      const FileAttribute* row = found.isReference ? nullptr : findFileAttribute(found.nodeType, found.attribute);
      if (row != nullptr && namesCacheFolder(*row)) {
        const NodeMarks none;
        const NodeMarks& node = marks != marks_.end() ? marks->second : none;
        found.cache = cacheOfFolder(node.cache, *row, node.name, framesPerSecond_.value_or(kDefaultFramesPerSecond));
      }
      if (marks != marks_.end() && row != nullptr) {
        ::applyNodeMarks(*row, marks->second.tiling, marks->second.frames, found.tiling, found.frames);
      }
      if (!found.cache || found.cache->kind != CacheKind::kParticleDisk || found.cache->diskCacheOn) {
        kept.push_back(std::move(found));
      }
    }
    plan_.dependencies = std::move(kept);
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
    if (row->role == AttributeRole::kCacheName) {
      marks_[node_].cache.cacheName = textAt(chunk, valueAt, chunk.size);
      return;
    }
    std::string value = textAt(chunk, valueAt, chunk.size);
    if (row->role == AttributeRole::kBifrostCacheFileName || row->role == AttributeRole::kBifrostCachePath) {
      marks_[node_].bifrostHalves.emplace_back(name, value);
      if (row->role == AttributeRole::kBifrostCacheFileName) return;
    }
    fileAttributeFound(chunk, *row, recordedAttribute(*row, name),
                       chunk.dataOffset() + static_cast<std::int64_t>(valueAt), std::move(value));
  }

  // Each path of a container's pair is the folder it names with its file
  // name; a path of no pair, or naming a folder named before, names none.
  void pairBifrostPaths() {
    std::map<std::size_t, std::vector<BifrostCacheFolder>> folders;  // by node, those not taken yet
    std::size_t kept = 0;
    for (std::size_t i = 0; i < plan_.dependencies.size(); ++i) {
      BinaryDependency& found = plan_.dependencies[i];
      const FileAttribute* row = found.isReference ? nullptr : findFileAttribute(found.nodeType, found.attribute);
      if (row != nullptr && row->role == AttributeRole::kBifrostCachePath) {
        const auto [open, first] = folders.try_emplace(nodes_[i]);
        if (first) open->second = bifrostCacheFolders(marks_[nodes_[i]].bifrostHalves);
        const std::optional<BifrostCacheFolder> folder = takeFolderNamedBy(open->second, found.attribute);
        if (!folder) continue;
        found.path = folder->folder;
        found.newName = folder->name;
        found.cache = bifrostCacheReference(folder->name);
      }
      if (kept != i) plan_.dependencies[kept] = std::move(found), nodes_[kept] = nodes_[i];
      ++kept;
    }
    plan_.dependencies.resize(kept);
    nodes_.resize(kept);
  }

  // The HEAD's TUNI chunk: the scene's time unit, as `currentUnit -t`
  // names it. The first HEAD's holds.
  void timeUnit(const BinaryHeader& chunk) {
    if (framesPerSecond_) return;
    framesPerSecond_ = framesPerSecond(textAt(chunk, 0, kMaxAttributeName));
  }

  std::string_view typeOf(std::uint32_t id) const {
    const auto plugin = pluginTypes_.find(id);
    return plugin != pluginTypes_.end() ? plugin->second : nodeTypeOfId(id);
  }

  // The HEAD's PLUG chunk lists each plug-in's node type names, each
  // followed by its u32 id; only the table's types are taken.
  void pluginTypes(const BinaryHeader& chunk) {
    if (chunk.size > kMaxPlugChunk) return;
    std::string data(static_cast<std::size_t>(chunk.size), '\0');
    data.resize(file_.read(chunk.dataOffset(), data.data(), data.size()));
    for (std::size_t at = 0; at < data.size();) {
      const std::size_t end = data.find('\0', at);
      if (end == std::string::npos) break;
      const std::string_view type = tableNodeType(std::string_view(data).substr(at, end - at));
      if (type.empty() || end + 5 > data.size()) {
        at = end + 1;
        continue;
      }
      std::uint32_t id = 0;
      for (std::size_t k = 1; k <= 4; ++k) id = id << 8 | static_cast<unsigned char>(data[end + k]);
      pluginTypes_[id] = type;
      at = end + 5;
    }
  }

  // uvt and ufe are doubles (DBLE): name, NUL, flag byte, f64 big-endian.
  void numberAttribute(const BinaryHeader& chunk, std::string_view nodeType) {
    const std::string name = textAt(chunk, 0, kMaxAttributeName + 1);
    const FileAttribute* row = findFileAttribute(nodeType, name);
    if (row == nullptr || namesPath(*row) || row->role == AttributeRole::kCacheName || name.size() + 10 > chunk.size) {
      return;
    }
    unsigned char bytes[8];
    if (file_.read(chunk.dataOffset() + static_cast<std::int64_t>(name.size() + 2), reinterpret_cast<char*>(bytes),
                   8) != 8) {
      return;
    }
    std::uint64_t bits = 0;
    for (unsigned char b : bytes) bits = bits << 8 | b;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    NodeMarks& marks = marks_[node_];
    if (row->role == AttributeRole::kTiling) marks.tiling = value >= 1.0 && value <= 3.0 ? static_cast<int>(value) : 0;
    if (row->role == AttributeRole::kFrameSwitch) marks.frames = value != 0.0;
    applyCacheNumber(*row, value, marks.cache);
  }

  // Every file an attribute names passes here: recorded, and overwritten
  // in the copy by its base name padded with spaces to the old length.
  // A followed file's name, "~" + its base name, may be longer than a bare
  // path: the chunk then grows, as a reference's does.
  void fileAttributeFound(const BinaryHeader& chunk, const FileAttribute& row, std::string_view attribute,
                          std::int64_t valueOffset, std::string value) {
    if (namesNoFile(value)) return;
    const std::string expanded = expandVariables(value);
    std::string newName = row.role == AttributeRole::kBifrostCachePath ? bifrostJobFolderPath(value.size())
                          : namesCacheFolder(row)                     ? std::string(folderBaseName(expanded))
                                                                      : stagedBaseName(expanded);
    if (newName.size() <= value.size() ||
        !grow(chunk, newName.size() - value.size(), valueOffset, value.size(), newName)) {
      std::string field = value;
      overwritePadded(field.data(), newName.c_str());
      plan_.edits.push_back({valueOffset, static_cast<std::int64_t>(value.size()), std::move(field)});
    }
    plan_.dependencies.push_back({false, row.nodeType, std::string(attribute), std::move(value), std::move(newName)});
    nodes_.push_back(node_);
  }

  // A FREF chunk's data: the path, NUL, the namespace and more. A new name
  // that is longer than the path makes the chunk and its groups grow.
  void referenceFound(const BinaryHeader& chunk) {
    std::string path = textAt(chunk, 0, chunk.size);
    if (path.empty()) return;
    std::string newName = sceneCopyName(expandVariables(path));
    const std::int64_t pathOffset = chunk.dataOffset();
    if (newName.size() <= path.size() || !grow(chunk, newName.size() - path.size(), pathOffset, path.size(), newName)) {
      std::string field = path;
      overwritePadded(field.data(), newName.c_str());
      plan_.edits.push_back({pathOffset, static_cast<std::int64_t>(path.size()), std::move(field)});
    }
    plan_.dependencies.push_back({true, {}, {}, std::move(path), std::move(newName)});
    nodes_.push_back(node_);
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

  struct NodeMarks {
    int tiling = 0;
    bool frames = false;
    CacheReference cache;  // a cacheFile node's name and mapping
    // A Bifrost container's cache attributes, name and value, in order.
    std::vector<std::pair<std::string, std::string>> bifrostHalves;
    std::string name;      // the node's, from its CREA chunk
  };

  BinaryFile& file_;
  BinaryScenePlan& plan_;
  std::vector<OpenGroup> open_;
  std::size_t node_ = 0;                                   // the node group the walk is in, counted from 1
  std::vector<std::size_t> nodes_;                         // beside each dependency, its node
  std::map<std::size_t, NodeMarks> marks_;                 // by node
  std::map<std::uint32_t, std::string_view> pluginTypes_;  // the PLUG chunk's ids of the table's types
  std::optional<double> framesPerSecond_;                  // the scene's rate, once its TUNI was read
};

}  // namespace

namespace {

BinaryScenePlan planFrom(BinaryFile& file, std::int64_t expectedSize) {
  BinaryScenePlan plan;
  char head[20];
  plan.mayaForm = hasMayaForm(head, file.read(0, head, sizeof head));
  if (!plan.mayaForm || file.size() != expectedSize) return plan;
  DependencyFinder finder(file, plan);
  plan.wellFormed = walkMayaScene(file, finder);
  finder.applyNodeMarks();
  if (!plan.wellFormed) {
    plan.dependencies.clear();
    plan.edits.clear();
    return plan;
  }
  std::stable_sort(plan.edits.begin(), plan.edits.end(),
                   [](const Edit& a, const Edit& b) { return a.offset < b.offset; });
  return plan;
}

}  // namespace

BinaryScenePlan planBinaryScene(const std::string& path, std::int64_t expectedSize) {
  BinaryFile file(path);
  return planFrom(file, expectedSize);
}

BinaryScenePlan planBinaryScene(std::string_view scene) {
  BinaryFile file(scene);
  return planFrom(file, static_cast<std::int64_t>(scene.size()));
}
