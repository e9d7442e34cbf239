#pragma once
#include <string>
#include <string_view>

// The file name of a path: the text after whichever comes later of its
// last '\' and its last '/', or the whole path when it holds neither. A
// path that ends in a separator has an empty base name. The result points
// into the given text.
std::string_view baseName(std::string_view path);

// The name of the folder at `path`: its base name once the separators it
// ends with are taken off ("cache" for "D:/shot/cache/").
std::string_view folderBaseName(std::string_view path);

// The name of a scene's rewritten copy in the working directory: "~" and
// the scene's base name.
std::string sceneCopyName(std::string_view scenePath);
