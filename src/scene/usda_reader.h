#pragma once
// The reader of USD layers in text form: every asset path the layer
// names, `@path@` or `@@@path@@@` (which may hold `@`), where its text
// stands in the file and the name it was given under (subLayers,
// references, payload, an attribute's name, ...). A clip set's
// templateAssetPath, a string that stands for numbered files, is a path
// too. The identifiers in an assetInfo dictionary load nothing and are
// left out, as are `@` in comments and strings. Every byte passes on as it
// is; the walk decides which paths it follows and what its copy names.

#include <string_view>

#include "scene/scene_plan.h"

class ByteCursor;

// A layer in text form begins `#usda`; one in binary form `PXR-USDC`
// (a `.usd` may be either).
bool isUsdaLayer(std::string_view firstBytes);
bool isBinaryUsdLayer(std::string_view firstBytes);

// Reads the layer through `in`, which passes every byte to its copy.
// Only the path being read and the few names around it are kept, so a
// layer of any size reads in little memory.
FilePlan readUsdaLayer(ByteCursor& in);
// Reads a layer held in memory.
FilePlan planUsdaLayer(std::string_view layer);
