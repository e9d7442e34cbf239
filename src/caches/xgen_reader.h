#pragma once
// The reader of XGen collection files (`.xgen`): text, one attribute a
// line, its name and value parted by tabs. What a collection loads: its
// data folders (`xgDataPath`, several parted by ';'), the project folder
// that `${PROJECT}` in its paths stands for (`xgProjectPath`), the
// archive files its descriptions name (quoted paths such as
// "${PROJECT}xgen/archives/Archive.xarc") and their caches
// (`cacheFileName`). Each with where its text stands, so that a copy can
// name it otherwise.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class XgenValueKind { kDataPath, kProjectPath, kArchive, kCacheFile };

struct XgenValue {
  XgenValueKind kind;
  std::string written;  // as the file has it
  // `${PROJECT}` replaced by the collection's xgProjectPath, or by the
  // project folder handed in when it sets none; `${DESC}` and variables
  // of the environment left as they are.
  std::string path;
  std::int64_t offset;  // where `written` stands in the file
  std::int64_t length;
};

// Every value the file names, in the order of the file.
std::vector<XgenValue> readXgenFile(std::string_view bytes, std::string_view projectFolder);

// `path` with every `${PROJECT}` replaced by the folder `project` (a
// separator put after it when it has none).
std::string withXgenProject(std::string_view path, std::string_view project);

// The name of the collection's palette (the `name` of its `Palette`
// block), as XGen names its guide cache; empty when it gives none.
std::string xgenPaletteName(std::string_view bytes);

// The guide cache XGen reads beside a scene for a palette:
// `<scene base name>__<palette>.abc` ("test.ma", "collection9":
// "test__collection9.abc"); beside a scene's copy, the copy's name
// ("~shot.ma": "~shot__coll.abc"). A namespace's ':' is "__" there.
std::string xgenGuideCacheName(std::string_view sceneFileName, std::string_view palette);
