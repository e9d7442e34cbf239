#include "scene/file_attributes.h"

#include <cctype>
#include <cmath>

#include "caches/bifrost_cache.h"
#include "names/comparison_key.h"
#include "names/followed_name.h"
#include "scene/path_text.h"

namespace {

// Node types whose binary form type is fixed, by that id.
struct NodeTypeId {
  std::uint32_t id;
  std::string_view nodeType;
};

constexpr NodeTypeId kNodeTypeIds[] = {
    {0x52544654, "file"},               // RTFT
    {0x50534454, "psdFileTex"},         // PSDT
    {0x52544D56, "movie"},              // RTMV
    {0x4449504C, "imagePlane"},         // DIPL
    {0x4443414D, "camera"},             // DCAM
    {0x5245464E, "reference"},          // REFN
    {0x41554449, "audio"},              // AUDI
    {0x43434846, "cacheFile"},          // CCHF
    {0x44455850, "expression"},         // DEXP
    // Particle nodes: ids taken as unverified, no binary scene examined
    // having held one.
    {0x50415254, "particle"},           // PART
    {0x4E504152, "nParticle"},          // NPAR
    {0x44594E47, "dynGlobals"},         // DYNG
    {0x00082697, "AlembicNode"},
    {0x580000C4, "gpuCache"},
    {0x58000095, "mayaUsdProxyShape"},
    {0x00102E55, "mentalrayIblShape"},
    {0x00115D17, "aiImage"},
    {0x00115C01, "aiStandIn"},
    {0x00115C05, "aiVolume"},
    {0x00115C87, "aiPhotometricLight"},
    {0x00115D9C, "aiMaterialx"},
    {0x001012DB, "PxrTexture"},
};

constexpr AttributeRole kPath = AttributeRole::kPath;
constexpr bool kTiled = true, kFramed = true, kFurther = true;

// A row of an Arnold scene file's node and parameter.
constexpr FileAttribute assRow(std::string_view nodeType, std::string_view parameter, bool further = false) {
  return {nodeType, parameter, kPath, false, false, further, NodeFormat::kAss};
}

// A row of a node type's dynamic attributes whose names end in `ending`.
constexpr FileAttribute endingRow(std::string_view nodeType, std::string_view ending, AttributeRole role) {
  return {nodeType, ending, role, false, false, false, NodeFormat::kMaya, true};
}

// A camera's imn and a reference node's fn[i] are names, not files the
// render loads: they are not here.
constexpr FileAttribute kFileAttributes[] = {
    {"file", "ftn", kPath, kTiled, kFramed},
    {"file", "uvt", AttributeRole::kTiling},
    {"file", "ufe", AttributeRole::kFrameSwitch},
    {"file", "euvt[].eutn"},
    {"psdFileTex", "ftn"},
    {"movie", "ftn"},
    {"imagePlane", "imn", kPath, false, kFramed},
    {"imagePlane", "ufe", AttributeRole::kFrameSwitch},
    {"AlembicNode", "fn"},
    {"gpuCache", "cfn"},
    {"aiImage", "filename"},
    {"aiStandIn", "dso"},
    {"aiVolume", "filename"},
    {"aiPhotometricLight", "ai_filename"},
    {"aiMaterialx", "filename"},
    // Geometry caches and nCaches: a folder holding `<cn>.xml` and the
    // data, and how the node maps scene frames to cache frames.
    {"cacheFile", "cp", AttributeRole::kCacheFolder},
    {"cacheFile", "cn", AttributeRole::kCacheName},
    {"cacheFile", "sf", AttributeRole::kCacheStart},
    {"cacheFile", "ss", AttributeRole::kCacheSourceStart},
    {"cacheFile", "se", AttributeRole::kCacheSourceEnd},
    // Bifrost caches: a container's pairs `<kind>CachePath` and
    // `<kind>CacheFileName` name the cache folder `<path>/<name>/`.
    endingRow("bifrostContainer", kBifrostPathEnding, AttributeRole::kBifrostCachePath),
    endingRow("bifrostContainer", kBifrostFileNameEnding, AttributeRole::kBifrostCacheFileName),
    // Particle disk caches: folders under the project's particles folder.
    // A shape's startup cache, and the scene's disk cache while `upd` is on.
    {"particle", "scp", AttributeRole::kParticleStartupFolder},
    {"nParticle", "scp", AttributeRole::kParticleStartupFolder},
    {"dynGlobals", "cd", AttributeRole::kParticleDiskFolder},
    {"dynGlobals", "upd", AttributeRole::kParticleDiskSwitch},
    {"RedshiftProxyMesh", "fn", kPath, false, false, kFurther},
    {"RedshiftNormalMap", "tex0"},
    {"RedshiftDomeLight", "tex0"},
    {"RedshiftDomeLight", "tex1"},
    {"PxrTexture", "filename"},
    {"mentalrayIblShape", "tx"},
    {"xgmPalette", "xfn", kPath, false, false, kFurther},
    {"mayaUsdProxyShape", "fp", kPath, false, false, kFurther},
    {"mayaUsdProxyShapeBase", "fp", kPath, false, false, kFurther},
    {"pxrUsdReferenceAssembly", "fp", kPath, false, false, kFurther},
    // A shape of any type rendered through Arnold's procedural translator
    // names its stand-in here.
    {kAnyNode, "dso"},
    // Arnold scene files: the nodes that load a file. Output drivers
    // (driver_exr, ...) write theirs and are not here.
    assRow("image", "filename"),
    assRow("volume", "filename"),
    assRow("photometric_light", "filename"),
    assRow("procedural", "filename"),
    assRow("procedural", "dso"),
    assRow("alembic", "filename"),
    assRow("usd", "filename", kFurther),
    assRow("materialx", "filename", kFurther),
};

// Archives that name the files they load themselves and that the run does
// not read; the formats it follows are in names/followed_name.h.
constexpr std::string_view kArchiveExtensions[] = {".vrscene"};

// `attribute` with every index in brackets taken out: "euvt[3].eutn" -> "euvt[].eutn".
bool sameAttribute(std::string_view row, std::string_view attribute) {
  std::size_t i = 0;
  for (std::size_t j = 0; j < attribute.size(); ++j) {
    if (i >= row.size() || row[i] != attribute[j]) return false;
    ++i;
    if (attribute[j] == '[') {
      while (j + 1 < attribute.size() && attribute[j + 1] != ']') ++j;
    }
  }
  return i == row.size();
}

}  // namespace

const FileAttribute* findFileAttribute(std::string_view nodeType, std::string_view attribute, NodeFormat format) {
  for (const FileAttribute& row : kFileAttributes) {
    if (row.byEnding) {
      if (row.format == format && row.nodeType == nodeType && endsWithFolded(attribute, row.attribute)) return &row;
      continue;
    }
    if (row.format != format || !sameAttribute(row.attribute, attribute)) continue;
    if (row.nodeType == nodeType || row.nodeType == kAnyNode) return &row;
  }
  return nullptr;
}

std::string_view recordedAttribute(const FileAttribute& row, std::string_view attribute) {
  return row.byEnding ? attribute : row.attribute;
}

void applyNodeMarks(const FileAttribute& row, int nodeTiling, bool nodeFrames, int& tiling, bool& frames) {
  if (row.tiled && nodeTiling >= 1 && nodeTiling <= 3) tiling = nodeTiling;
  if (row.framed) frames = nodeFrames;
}

CacheReference cacheOfFolder(CacheReference marks, const FileAttribute& row, const std::string& nodeName,
                             double framesPerSecond) {
  if (row.role == AttributeRole::kParticleStartupFolder) {
    marks.kind = CacheKind::kParticleStartup;
    marks.cacheName = nodeName;
  } else if (row.role == AttributeRole::kParticleDiskFolder) {
    marks.kind = CacheKind::kParticleDisk;
  }
  marks.framesPerSecond = framesPerSecond;
  return marks;
}

void applyCacheNumber(const FileAttribute& row, double value, CacheReference& cache) {
  // No frame: the node is read as if it did not set it.
  if (!std::isfinite(value)) return;
  switch (row.role) {
    case AttributeRole::kParticleDiskSwitch:
      cache.diskCacheOn = value != 0;
      break;
    case AttributeRole::kCacheStart:
      cache.startFrame = value;
      break;
    case AttributeRole::kCacheSourceStart:
      cache.sourceStart = value;
      break;
    case AttributeRole::kCacheSourceEnd:
      cache.sourceEnd = value;
      break;
    default:
      break;
  }
}

bool hasFileAttributes(std::string_view nodeType) { return !tableNodeType(nodeType).empty(); }

bool isAnyNodeAttribute(std::string_view attribute) {
  for (const FileAttribute& row : kFileAttributes) {
    if (row.format == NodeFormat::kMaya && row.nodeType == kAnyNode && sameAttribute(row.attribute, attribute)) return true;
  }
  return false;
}

bool anyNodeHasFileAttributes() {
  static const bool any = [] {
    for (const FileAttribute& row : kFileAttributes) {
      if (row.format == NodeFormat::kMaya && row.nodeType == kAnyNode) return true;
    }
    return false;
  }();
  return any;
}

std::string_view tableNodeType(std::string_view nodeType) {
  for (const FileAttribute& row : kFileAttributes) {
    if (row.format == NodeFormat::kMaya && row.nodeType == nodeType) return row.nodeType;
  }
  return {};
}

std::string_view nodeTypeOfId(std::uint32_t formType) {
  for (const NodeTypeId& row : kNodeTypeIds) {
    if (row.id == formType) return row.nodeType;
  }
  return {};
}

bool namesFurtherFiles(const FileAttribute* row, std::string_view path) {
  // Followed files are read for what they name; packages hold theirs.
  if (followedFormatOfName(path) != FollowedFormat::kNone || endsWithFolded(path, ".usdz")) return false;
  if (row != nullptr && row->namesFurtherFiles) return true;
  for (std::string_view extension : kArchiveExtensions) {
    if (endsWithFolded(path, extension)) return true;
  }
  return false;
}

bool namesNoFile(const std::string& value) { return trimmedOfDelimiters(value.c_str()).empty(); }
