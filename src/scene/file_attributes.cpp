#include "scene/file_attributes.h"

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

constexpr FileAttribute kFileAttributes[] = {
    {"file", "ftn"},
    {"psdFileTex", "ftn"},
    {"movie", "ftn"},
};

}  // namespace

const FileAttribute* findFileAttribute(std::string_view nodeType, std::string_view attribute) {
  for (const FileAttribute& row : kFileAttributes) {
    if (row.nodeType == nodeType && row.attribute == attribute) return &row;
  }
  return nullptr;
}

std::string_view nodeTypeOfId(std::uint32_t formType) {
  for (const NodeTypeId& row : kNodeTypeIds) {
    if (row.id == formType) return row.nodeType;
  }
  return {};
}
