#pragma once
// What a name may be when the run writes a file of that name into the
// working folder or lists it on the description's transfer line. The
// render nodes are Windows machines whatever machine submits, and the
// description is read line by line and its transfer line split at commas,
// so the rules are the same on every platform. Nothing here knows how a
// name was found: callers pass the dependency as recorded, for the message.

#include <string>
#include <string_view>

// False for a name that is empty, "." or ".."; that holds a byte below
// 0x20, 0x7F, a comma, ':', '*', '?', '"', '<', '>', '|', '\' or '/'; that
// ends with a space or a dot, or begins with a space; that is a Windows
// device name (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9, COM or LPT with a
// superscript 1, 2 or 3), with or without an extension; or that is the
// name of the submit description, of the lock file, of a partial file, or
// of the folder and the workspace.mel of staged particle caches.
// Letters are compared without regard to case, as on the render nodes.
bool isStageableName(std::string_view name);

// isStageableName without the names of the run's own files: a name inside
// a staged folder, where none of those lies.
bool isStageableNameInFolder(std::string_view name);

// True when both names would be one file on the render nodes: equal but
// for the case of ASCII letters.
bool namesOneFile(std::string_view first, std::string_view second);

// True when the name holds a space or a tab, at which the batch system
// splits a job's Arguments line.
bool holdsBlank(std::string_view name);

// Prints "ERROR: '<dependency>' cannot be staged under the name '<name>'."
// and ends the run with status 2.
[[noreturn]] void refuseStagedName(const std::string& dependency, const std::string& name);

// refuseStagedName unless isStageableName(name), or, for a name inside a
// staged folder, isStageableNameInFolder(name).
void requireStageableName(const std::string& dependency, const std::string& name);
void requireStageableNameInFolder(const std::string& dependency, const std::string& name);
