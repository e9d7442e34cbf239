#pragma once
// The recognisers: functions from one ASCII statement, or one binary token
// after a marker, to the path it names and the unit its copy has instead.
// They print nothing, record nothing and ask the system only for the
// environment's variables; the record's operations record what they find.

#include <cstddef>
#include <optional>
#include <string>

#include "job/dependency.h"

struct Recognised {
  std::string written;   // the path as the scene spells it, delimiters taken off
  std::string recorded;  // with variables expanded and backslashes
  std::string newName;   // what the copy names instead, and the transfer line lists
  std::string rewritten;  // the unit as the copy has it
  std::size_t pathAt = 0;  // where in the statement the text of the path begins (its separator)
  bool namesFile = true;   // false for an empty name: rewritten, but naming no file
};

// `file -r ... "path";` names a scene; the copy names "~" + its base name.
std::optional<Recognised> recogniseFileReference(const char* statement);
// `setAttr ".ftn" -type "string" "path";` names a texture; the copy names
// its bare name, in parentheses.
std::optional<Recognised> recogniseTextureStatement(const char* statement);
// `setAttr ".attr" -type "string" "path";` for an attribute the table
// names on the statement's node; the copy names the bare name. None for an
// empty name, which names no file and stays as written. A file the run
// follows is named "~" + its base name, as its rewritten copy is. A
// `folder`'s path is named by the folder's own name, whatever separators
// end the path.
std::optional<Recognised> recogniseAttributeStatement(const char* statement, bool folder = false);
// `setAttr ".<kind>CachePath" -type "string" "path";` of a Bifrost
// container: the copy names the job's own folder instead, where the cache
// folder is staged. None for an empty path.
std::optional<Recognised> recogniseBifrostPathStatement(const char* statement);
// The token after a marker names a file; the copy overwrites it in place
// with `prefix` ("~" for a scene) and its base name, padded to its length.
Recognised recogniseMarkedToken(const char* token, const char* prefix);

// The path as recorded: variables expanded, slashes made backslashes.
std::string recordedPath(const std::string& written);

// What was found as a dependency of `kind`; a texture's `texture` tells
// what named it.
Dependency dependencyOf(const Recognised& found, DependencyKind kind, Dependency texture = {});
