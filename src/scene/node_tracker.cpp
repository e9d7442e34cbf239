#include "scene/node_tracker.h"

#include <algorithm>
#include <cstdlib>

#include "caches/bifrost_cache.h"
#include "caches/frame_rate.h"
#include "scene/file_attributes.h"
#include "scene/path_text.h"
#include "scene/recognisers.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// `text` begins with `word` standing alone.
bool startsWord(std::string_view text, std::string_view word) {
  return text.size() > word.size() && text.compare(0, word.size(), word) == 0 &&
         (isBlank(text[word.size()]) || text[word.size()] == ';');
}

std::string_view skipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  return text.substr(i);
}

// The first word of `text` (ended by a blank, a semicolon or a quote).
std::string_view firstWord(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && !isBlank(text[i]) && text[i] != ';' && text[i] != '"') ++i;
  return text.substr(0, i);
}

bool isOn(std::string_view value) { return value == "yes" || value == "on" || value == "true" || value == "1"; }

// The name `createNode TYPE -n "name" ...` gives (`rest`: what follows
// TYPE); empty when it gives none.
std::string nodeName(std::string_view rest) {
  for (rest = skipBlanks(rest); !rest.empty() && rest[0] == '-'; rest = skipBlanks(rest)) {
    const std::string_view flag = firstWord(rest);
    rest = skipBlanks(rest.substr(flag.size()));
    const bool name = flag == "-n" || flag == "-name";
    if (rest.empty() || rest[0] != '"') {
      if (name) return std::string();
      continue;  // a flag without a value (`-s`)
    }
    const std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) return std::string();
    if (name) return std::string(rest.substr(1, close - 1));
    rest = rest.substr(close + 1);  // another flag's value (`-p "parent"`)
  }
  return std::string();
}

// The string a setAttr's rest (` -type "string" "value";`) sets: its last
// word, delimiters taken off.
std::string stringValue(std::string_view rest) {
  const std::string text(rest);
  const char* last = findLastUnquoted(text.c_str(), ' ');
  return trimmedOfDelimiters(last != nullptr ? last : text.c_str());
}

// The number a setAttr sets, when `word` is one whole.
std::optional<double> numberValue(std::string_view word) {
  const std::string text(word);
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

bool NodeTracker::followStatement(const char* bytes, std::size_t length) {
  node_.pathRow = nullptr;
  const std::string_view text = skipBlanks(std::string_view(bytes, length));
  if (text.empty()) return false;
  switch (text[0]) {
    case 'c':
      if (startsWord(text, "createNode")) {
        end();
        const std::string_view afterKeyword = skipBlanks(text.substr(10));
        const std::string_view type = firstWord(afterKeyword);
        const bool typed = hasFileAttributes(type);
        if (!typed && !anyNodeHasFileAttributes()) return false;
        openNode(type, typed ? nodeName(afterKeyword.substr(type.size())) : std::string());
        return false;
      }
      if (startsWord(text, "currentUnit")) {
        const std::optional<std::string_view> unit = timeUnitOf(text);
        if (const std::optional<double> rate = unit ? framesPerSecond(*unit) : std::nullopt) framesPerSecond_ = *rate;
      }
      break;
    case 's':
      // A scene's shared nodes are selected by name rather than created
      // (`select -ne :dynGlobals1;`); the setAttrs that follow are theirs.
      if (startsWord(text, "select")) {
        end();
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) return false;
        const std::string_view name = firstWord(text.substr(colon + 1));
        const std::string_view type = name.substr(0, name.find_last_not_of("0123456789") + 1);
        if (type.empty() || !hasFileAttributes(type)) return false;
        openNode(type, std::string(name));
        return false;
      }
      if (startsWord(text, "setAttr")) {
        if (!node_.open) return false;
        // Flags and their values come before the attribute, which is quoted.
        std::string_view rest = skipBlanks(text.substr(7));
        while (!rest.empty() && rest[0] == '-') {
          rest = skipBlanks(rest.substr(firstWord(rest).size()));
          if (!rest.empty() && rest[0] != '"' && rest[0] != '-') rest = skipBlanks(rest.substr(firstWord(rest).size()));
        }
        // Only an attribute of the node at hand: ".name", not "other.name".
        if (rest.size() < 2 || rest[0] != '"' || rest[1] != '.') return false;
        const std::size_t close = rest.find('"', 1);
        if (close == std::string_view::npos) return false;
        // Most nodes are of types the table does not know: only the rows
        // of every node are looked up for them.
        const std::string_view attribute = rest.substr(2, close - 2);
        if (!node_.typed && !isAnyNodeAttribute(attribute)) return false;
        const FileAttribute* row = findFileAttribute(node_.type, attribute);
        if (row == nullptr) return false;
        const std::string_view value = firstWord(skipBlanks(rest.substr(close + 1)));
        switch (row->role) {
          case AttributeRole::kTiling:
            node_.tiling = value.size() == 1 && value[0] >= '0' && value[0] <= '9' ? value[0] - '0' : 0;
            return false;
          case AttributeRole::kFrameSwitch:
            node_.frames = isOn(value);
            return false;
          case AttributeRole::kCacheName:
            node_.cache.cacheName = stringValue(rest.substr(close + 1));
            return false;
          case AttributeRole::kCacheStart:
          case AttributeRole::kCacheSourceStart:
          case AttributeRole::kCacheSourceEnd:
            if (const std::optional<double> number = numberValue(value)) applyCacheNumber(*row, *number, node_.cache);
            return false;
          case AttributeRole::kParticleDiskSwitch:
            node_.cache.diskCacheOn = isOn(value);
            return false;
          case AttributeRole::kBifrostCacheFileName:
            node_.bifrostHalves.emplace_back(attribute, stringValue(rest.substr(close + 1)));
            return false;
          case AttributeRole::kBifrostCachePath:
            node_.bifrostHalves.emplace_back(attribute, stringValue(rest.substr(close + 1)));
            [[fallthrough]];
          case AttributeRole::kPath:
          case AttributeRole::kCacheFolder:
          case AttributeRole::kParticleStartupFolder:
          case AttributeRole::kParticleDiskFolder:
            node_.pathRow = row;
            node_.pathAttribute = recordedAttribute(*row, attribute);
            return true;
        }
        return false;
      }
      break;
    case 'a':
      if (startsWord(text, "addAttr")) return false;
      break;
    case 'r':
      if (startsWord(text, "rename")) return false;
      break;
    case 'l':
      if (startsWord(text, "lockNode")) return false;
      break;
    case '/':
      // Comments are no statements.
      if (text.size() > 1 && (text[1] == '/' || text[1] == '*')) return false;
      break;
    default:
      break;
  }
  end();
  return false;
}

void NodeTracker::openNode(std::string_view type, std::string name) {
  node_.open = true;
  node_.typed = hasFileAttributes(type);
  node_.type.assign(type);
  node_.name = std::move(name);
  node_.firstFound = found_ != nullptr ? found_->items().size() : 0;
  node_.tiling = 0;
  node_.frames = false;
  node_.cache = CacheReference{};
  node_.bifrostHalves.clear();
}

void NodeTracker::end() {
  if (!node_.open) return;
  node_.open = false;
  if (found_ == nullptr) return;
  // The node's uvt and ufe hold for its names whichever came first.
  std::vector<Dependency>& items = found_->items();
  for (std::size_t j = node_.firstFound; j < items.size(); ++j) {
    Dependency& texture = items[j];
    if (texture.kind != DependencyKind::kTexture || texture.nodeType != node_.type) continue;
    const FileAttribute* row = findFileAttribute(texture.nodeType, texture.attribute);
    if (row == nullptr) continue;
    applyNodeMarks(*row, node_.tiling, node_.frames, texture.tiling, texture.frames);
    if (namesCacheFolder(*row)) texture.cache = cacheOfFolder(node_.cache, *row, node_.name, framesPerSecond_);
  }
  const auto off = [](const Dependency& named) {
    return named.cache && named.cache->kind == CacheKind::kParticleDisk && !named.cache->diskCacheOn;
  };
  items.erase(std::remove_if(items.begin() + static_cast<std::ptrdiff_t>(node_.firstFound), items.end(), off),
              items.end());
  if (node_.bifrostHalves.empty()) return;
  std::vector<BifrostCacheFolder> folders = bifrostCacheFolders(node_.bifrostHalves);
  for (std::size_t j = node_.firstFound; j < items.size();) {
    Dependency& path = items[j];
    const FileAttribute* row = findFileAttribute(path.nodeType, path.attribute);
    if (path.kind != DependencyKind::kTexture || row == nullptr || row->role != AttributeRole::kBifrostCachePath) {
      ++j;
      continue;
    }
    const std::optional<BifrostCacheFolder> folder = takeFolderNamedBy(folders, path.attribute);
    if (!folder) {
      items.erase(items.begin() + static_cast<std::ptrdiff_t>(j));
      continue;
    }
    path.written = folder->folder;
    path.recorded = path.resolved = recordedPath(folder->folder);
    path.transferName = folder->name;
    path.cache = bifrostCacheReference(folder->name);
    ++j;
  }
}

const FileAttribute* NodeTracker::takePathRow() {
  const FileAttribute* row = node_.pathRow;
  node_.pathRow = nullptr;
  return row;
}

Dependency NodeTracker::textureOf(std::string_view attribute) const {
  Dependency texture;
  if (node_.open) texture.nodeType = node_.type;
  texture.attribute = attribute;
  return texture;
}
