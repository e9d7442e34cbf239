#include "job/dependency.h"

#include "names/base_name.h"
#include "names/followed_name.h"

std::string handedOnTransferName(DependencyKind kind, const std::string& path) {
  return kind == DependencyKind::kScene ? sceneCopyName(path) : stagedBaseName(path);
}

std::string nameInWorkingFolder(const DependencyFile& file) {
  return file.stagedName.empty() ? std::string(baseName(file.path)) : file.stagedName;
}
