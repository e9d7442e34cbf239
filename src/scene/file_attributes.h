#pragma once
// Which attributes of which node types name a file that a render loads.
// The readers of both formats ask this table; no reader keeps a list of
// its own.

#include <cstdint>
#include <string_view>

struct FileAttribute {
  std::string_view nodeType;   // as `createNode` names it
  std::string_view attribute;  // the short name as scenes save it
};

// The row for `attribute` on a node of type `nodeType`, or nullptr when
// that attribute of that type names no file.
const FileAttribute* findFileAttribute(std::string_view nodeType, std::string_view attribute);

// The node type that a binary scene's node group stands for, by the
// group's form type; empty for a type without a fixed id of its own.
std::string_view nodeTypeOfId(std::uint32_t formType);
