#pragma once
// Which attributes of which node types name a file that a render loads,
// and the attributes of those nodes that say how the name is to be read.
// Each row is of one kind of file: a Maya scene's nodes, or the nodes of an
// Arnold scene file (`.ass`) and their parameters. The readers of every
// format ask this table; no reader keeps a list of its own.

#include <cstdint>
#include <string>
#include <string_view>

#include "job/cache_reference.h"

enum class AttributeRole {
  kPath,         // a string: the path of a file the render loads
  kTiling,       // the node's uvTilingMode: 1, 2 or 3 make its name a first tile
  kFrameSwitch,  // the node's useFrameExtension: its name is one frame of a sequence
  kCacheFolder,  // a string: the path of a folder that holds a cache
  kCacheName,    // a string, no path: the name of the cache in that folder
  kCacheStart,        // a number: the scene frame where the used part of the cache starts
  kCacheSourceStart,  // a number: the cache frame where its used part starts
  kCacheSourceEnd,    // a number: the cache frame where its used part ends
  kBifrostCachePath,      // a string: the folder a Bifrost container's pair puts its cache folder in
  kBifrostCacheFileName,  // a string, no path: the pair's cache folder's own name in that folder
  kParticleStartupFolder,  // a string: a particle shape's startup cache folder, under the particles folder
  kParticleDiskFolder,     // a string: the scene's particle disk cache folder, under the particles folder
  kParticleDiskSwitch,     // a number: whether the scene's particle disk cache is on
};

// The kind of file whose nodes a row describes.
enum class NodeFormat {
  kMaya,  // a Maya scene, ASCII or binary
  kAss,   // an Arnold scene file in text form
};

// The node type of a row that holds for nodes of every type.
constexpr std::string_view kAnyNode = "*";

struct FileAttribute {
  std::string_view nodeType;   // as `createNode` names it
  std::string_view attribute;  // the short name as scenes save it; "[]" for any index
  AttributeRole role = AttributeRole::kPath;
  bool tiled = false;          // the node's kTiling applies to this path
  bool framed = false;         // the node's kFrameSwitch applies to this path
  bool namesFurtherFiles = false;  // the file names files of its own
  NodeFormat format = NodeFormat::kMaya;
  // Dynamic attributes known by how their names end, in any case: the
  // row's `attribute` is that ending, in lower case.
  bool byEnding = false;
};

// The row for `attribute` on a node of type `nodeType` in a file of
// `format`, or nullptr when that attribute of that type is none of the
// table's. An attribute's indices ("euvt[3].eutn") match the row's "[]".
const FileAttribute* findFileAttribute(std::string_view nodeType, std::string_view attribute,
                                       NodeFormat format = NodeFormat::kMaya);

// The attribute as a dependency records it: the table's spelling, or, for
// a row of names that end alike, the name the node gives it.
std::string_view recordedAttribute(const FileAttribute& row, std::string_view attribute);

// What a node's uvt and ufe make of a name that its attribute `row` holds:
// the tiling (1 to 3 only) and whether the name stands for frames. A row
// that takes neither leaves them as they are.
void applyNodeMarks(const FileAttribute& row, int nodeTiling, bool nodeFrames, int& tiling, bool& frames);

// True when the row's value is the path of a cache folder: a cacheFile
// node's, or a particle cache's.
inline bool namesCacheFolder(const FileAttribute& row) {
  return row.role == AttributeRole::kCacheFolder || row.role == AttributeRole::kParticleStartupFolder ||
         row.role == AttributeRole::kParticleDiskFolder;
}

// True when the row's value is a path the copy names otherwise: a file's,
// a cache folder's, or the folder a Bifrost container's cache lies in.
inline bool namesPath(const FileAttribute& row) {
  return row.role == AttributeRole::kPath || namesCacheFolder(row) || row.role == AttributeRole::kBifrostCachePath;
}

// What the node of a cache folder row says of its cache: `marks`, what
// its other attributes set, of the kind the row names; a particle shape's
// startup cache holds the files of the shape, `nodeName`, and a particle
// cache's file times go by the scene's rate.
CacheReference cacheOfFolder(CacheReference marks, const FileAttribute& row, const std::string& nodeName,
                             double framesPerSecond);

// A number that `row` names on a cacheFile node, kept in `cache`, or the
// switch of the scene's particle disk cache; any other row's number, and a
// number that is no frame (infinite, NaN), is no part of it.
void applyCacheNumber(const FileAttribute& row, double value, CacheReference& cache);

// True when some attribute of the Maya node type `nodeType` is in the table
// under that type's own name.
bool hasFileAttributes(std::string_view nodeType);
// True when some row of a Maya node holds for nodes of every type.
bool anyNodeHasFileAttributes();
// True when `attribute` is that of a row that holds for nodes of every type.
bool isAnyNodeAttribute(std::string_view attribute);
// The table's own spelling of the Maya node type `nodeType` (which lives as
// long as the program), or empty when no attribute of that type is in the
// table.
std::string_view tableNodeType(std::string_view nodeType);

// The node type that a binary scene's node group stands for, by the
// group's form type; empty for a type without a fixed id of its own.
std::string_view nodeTypeOfId(std::uint32_t formType);

// True when the file at `path`, named by `row` (may be null), names
// further files of its own: by its attribute, or by its kind of archive.
bool namesFurtherFiles(const FileAttribute* row, std::string_view path);

// True when an attribute's value names no file: nothing is left of it once
// the delimiters around a path are trimmed (Maya saves a file node without
// an image as "").
bool namesNoFile(const std::string& value);
