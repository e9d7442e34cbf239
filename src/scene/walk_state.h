#pragma once
// What the walk over a run's reference tree keeps from scene to scene.
// Scenes are told apart by the comparison form of their absolute paths
// (scene/scene_identity.h).

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

struct WalkState {
  // Every scene met in the run: each is read once.
  std::set<std::string> scenesMet;
  // The absolute paths of the scenes from the command-line scene down to
  // the one being read, itself last. A scene that stands on it is a
  // circular reference.
  std::vector<std::string> chain;
  // The scene that took each copy name so far, keyed by the name's
  // comparison form.
  struct CopyOwner {
    std::string scenePath;
    std::string absolutePath;
  };
  std::map<std::string, CopyOwner> copyOwners;
  // The scenes named by the command-line scene that were read so far.
  std::size_t branches = 0;
};
