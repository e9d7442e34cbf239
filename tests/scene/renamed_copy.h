#pragma once
// The copy of a file that names files, with each path a reader found in it
// replaced by the name given for it, in order.
#include <string>
#include <vector>

#include "io/edits.h"
#include "scene/scene_plan.h"

inline std::string renamed(const std::string& file, const FilePlan& plan, const std::vector<std::string>& names) {
  std::vector<Edit> edits;
  for (std::size_t i = 0; i < plan.found.size() && i < names.size(); ++i) {
    edits.push_back({plan.found[i].offset, plan.found[i].length, names[i]});
  }
  return applyEdits(file, edits);
}
