#pragma once

#include <map>
#include <string>

#include "caches/time_window.h"
#include "job/dependency.h"

class SceneJob;

// Gives textures the files they stand for: every file that a name with
// tokens, or a first tile or frame its node marks, matches (in its folder,
// else in the folders where a file from another machine is looked for),
// each followed by a prepared `.tx` beside it when there is one. A name
// that stands for several files and matches none stays, marked. A cache
// folder stands for the files of it that the scene frames `rendered` read
// (cache_expansion.h, bifrost_expansion.h).
class TextureExpansion {
 public:
  explicit TextureExpansion(FrameWindow rendered) : rendered_(rendered) {}
  void expand(Dependency& named);

 private:
  FrameWindow rendered_;
  // A texture named many times is looked at once: nothing is written
  // while the entries are expanded.
  std::map<std::string, std::string> siblings_;
};

// Expands every texture of `found` not expanded yet. Run before the names
// are checked.
void expandTextures(DependencyList& found, TextureExpansion& expansion);

// The record's textures become the files the run's textures stand for.
void listTextures(SceneJob& job, const DependencyList& found);
