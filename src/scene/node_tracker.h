#pragma once
// The node that ASCII statements belong to, and the attributes of the
// table set on it. `createNode TYPE` starts a node; setAttr, addAttr,
// rename and lockNode stay with it; any other statement ends it. Only
// nodes of types the table knows are followed.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "job/dependency.h"

struct FileAttribute;

class NodeTracker {
 public:
  // `found`: where the textures the nodes name are recorded; a node that
  // ends gives its uvt and ufe to those it named, a cacheFile node its
  // cache name and mapping to its cache folder, a particle node its name
  // and the scene's rate (`currentUnit -t`) to its cache folder (a disk
  // cache the scene has off is taken back), and a Bifrost container each
  // path of a pair the folder it names with its file name (a path of no
  // pair, or naming a folder named before, is dropped).
  explicit NodeTracker(DependencyList* found = nullptr) : found_(found) {}

  // Follows the statement bytes[0, length); true when it sets a path
  // attribute that the table names for the open node's type. Inline for
  // the reader's fast path: while no node is open, only a statement that
  // begins with 'c' (createNode) can matter.
  bool follow(const char* bytes, std::size_t length) {
    if (!node_.open) {
      std::size_t i = 0;
      while (i < length && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
      if (i == length || bytes[i] != 'c') return false;
    }
    return followStatement(bytes, length);
  }
  // Ends the open node, if any.
  void end();
  // The path attribute the statement just followed sets, once; null when none.
  const FileAttribute* takePathRow();
  // That attribute as its dependency records it (recordedAttribute).
  const std::string& pathAttribute() const { return node_.pathAttribute; }
  // A texture that the statement at hand names by `attribute`: on the open
  // node's type, when a node of a known type is open.
  Dependency textureOf(std::string_view attribute) const;

 private:
  bool followStatement(const char* bytes, std::size_t length);
  // Starts the node of type `type` named `name`, its marks none yet.
  void openNode(std::string_view type, std::string name);

  DependencyList* found_;
  double framesPerSecond_ = kDefaultFramesPerSecond;  // the scene's, once its currentUnit was read

  struct OpenNode {
    bool open = false;
    std::string type;
    std::string name;  // `-n`, of a node of a type the table knows
    bool typed = false;  // the table has rows of this type of its own
    std::size_t firstFound = 0;  // entries of `found_` from here on were named by this node
    int tiling = 0;
    bool frames = false;
    CacheReference cache;  // a cacheFile node's name and mapping, for its folder
    // A Bifrost container's cache attributes, name and value, in order.
    std::vector<std::pair<std::string, std::string>> bifrostHalves;
    const FileAttribute* pathRow = nullptr;  // the path attribute the statement at hand sets
    std::string pathAttribute;
  } node_;
};
