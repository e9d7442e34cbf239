#include "staging/xgen_collection.h"

#include <cstdio>

#include "caches/xgen_reader.h"
#include "io/whole_file.h"
#include "job/run_log.h"
#include "names/base_name.h"
#include "names/comparison_key.h"
#include "names/windows_path.h"
#include "platform/platform.h"
#include "scene/path_resolution.h"
#include "scene/recognisers.h"

namespace {

constexpr std::string_view kProjectToken = "${PROJECT}";
// The working folder, as the copy names it: the jobs run there.
constexpr std::string_view kHere = "./";

// Archives that name the files they load themselves and that the run
// stages as they are: an archive's description and its Maya materials.
constexpr std::string_view kUnfollowedArchives[] = {".xarc", ".ma", ".mb"};

bool namesItsOwnFiles(std::string_view path) {
  for (std::string_view ending : kUnfollowedArchives) {
    if (endsWithFolded(path, ending)) return true;
  }
  return false;
}

// The folder a file lies in, as the system names it.
std::string folderOf(const std::string& path) {
  std::string folder = path;
  normalizeSlashes(folder);
  if (!cutLastComponent(folder)) folder = platform::currentDirectory();
  const std::string entered = absoluteFolder(folder);
  return entered.empty() ? folder : entered;
}

class CollectionReader {
 public:
  CollectionReader(const std::string& path, const std::string& namingScene, RunLog& log)
      : path_(path), scene_(namingScene), project_(resolutionBase(scene_)), log_(log) {}

  std::optional<XgenCollection> read() {
    const std::optional<std::string> bytes = readWholeFile(path_);
    if (!bytes) return std::nullopt;
    XgenCollection collection;
    bool dataFound = false;
    for (const XgenValue& value : readXgenFile(*bytes, project_)) {
      if (value.kind == XgenValueKind::kProjectPath) {
        collection.fixed.push_back({value.offset, value.length, std::string(kHere)});
        continue;
      }
      std::optional<Dependency> named =
          value.kind == XgenValueKind::kDataPath ? dataFolder(value) : namedFile(value);
      if (named && value.kind == XgenValueKind::kDataPath) dataFound = true;
      if (named) collection.named.push_back({std::move(*named), value.offset, value.length});
    }
    // XGen looks for its data in each folder in turn; with none of them
    // here the hair has nothing to grow from.
    if (!dataFound && firstMissing_) {
      firstMissing_->resolved = firstMissing_->recorded;
      collection.dataMissing = std::move(firstMissing_);
    }
    guideCache(xgenPaletteName(*bytes), collection);
    return collection;
  }

 private:
  Dependency dependencyOf(const XgenValue& value, const char* attribute) const {
    Dependency named;
    named.scenePath = path_;
    named.attribute = attribute;
    named.written = value.written;
    named.recorded = recordedPath(value.path);
    named.namedByFile = true;
    return named;
  }

  // The path made absolute: relative ones lie in the project.
  std::string absolute(std::string path) const {
    if (isRelativePath(path)) joinDirectory(project_, path);
    return path;
  }

  // A `${PROJECT}` path whose collection project is another machine's,
  // taken in the scene's own project.
  std::optional<std::string> inSceneProject(const XgenValue& value) const {
    if (value.written.find(kProjectToken) == std::string::npos) return std::nullopt;
    std::string path = absolute(recordedPath(withXgenProject(value.written, project_)));
    cutTrailingSeparators(path);
    return path;
  }

  // A data folder: where its path leads, else in the scene's project, else
  // by its name where a texture would be looked for.
  std::optional<Dependency> dataFolder(const XgenValue& value) {
    Dependency named = dependencyOf(value, "xgDataPath");
    named.cache = CacheReference{};
    named.cache->kind = CacheKind::kXgenData;
    std::string entry = absolute(named.recorded);
    cutTrailingSeparators(entry);
    if (!platform::enteredFolderPath(entry)) {
      const std::optional<std::string> local = inSceneProject(value);
      if (local && platform::enteredFolderPath(*local)) {
        sayFoundElsewhere(named.recorded, entry = *local);
      } else if (!locateCacheFolder(path_, entry, named.recorded, std::string())) {
        log_.warn("the XGen data folder '" + named.recorded + "' is not there; it is not staged.");
        if (!firstMissing_) firstMissing_ = std::move(named);
        return std::nullopt;
      }
    }
    named.resolved = entry;
    return named;
  }

  // An archive or cache: where its path leads, else in the scene's
  // project, else by its name beside the collection file and in the
  // folders above. One inside a description's folder (`${DESC}/...`) is
  // in its data folder, staged whole.
  std::optional<Dependency> namedFile(const XgenValue& value) {
    Dependency named = dependencyOf(value, value.kind == XgenValueKind::kCacheFile ? "cacheFileName" : "");
    if (named.recorded.find("${") != std::string::npos) return std::nullopt;
    std::string entry = absolute(named.recorded);
    if (!platform::fileOpens(entry, "r")) {
      const std::optional<std::string> local = inSceneProject(value);
      if (local && platform::fileOpens(*local, "r")) {
        sayFoundElsewhere(named.recorded, entry = *local);
      } else {
        locateElsewhere(path_, entry, named.recorded, false);
      }
    }
    named.resolved = entry;
    named.namesFurtherFiles = namesItsOwnFiles(entry);
    return named;
  }

  // XGen reads a palette's guides from `<scene>__<palette>.abc` beside the
  // scene; on the render node beside the scene's copy.
  void guideCache(const std::string& palette, XgenCollection& collection) {
    if (palette.empty()) return;
    const std::string name = xgenGuideCacheName(scene_, palette), besideScene = folderOf(scene_);
    for (const std::string& folder : {besideScene, folderOf(path_)}) {
      std::string candidate = name;
      joinDirectory(folder, candidate);
      if (!platform::fileOpens(candidate, "r")) continue;
      Dependency cache;
      cache.scenePath = path_;
      cache.written = cache.recorded = cache.resolved = candidate;
      cache.namedByFile = true;
      collection.guideCache = std::move(cache);
      collection.guideCacheName = xgenGuideCacheName(sceneCopyName(scene_), palette);
      return;
    }
    std::string expected = name;
    joinDirectory(besideScene, expected);
    log_.warn("the XGen guide cache '" + expected + "' is not there; it is not staged.");
  }

  std::optional<Dependency> firstMissing_;  // the first data folder found nowhere
  const std::string path_;
  const std::string scene_;
  const std::string project_;
  RunLog& log_;
};

}  // namespace

std::optional<XgenCollection> readXgenCollection(const std::string& path, const std::string& namingScene,
                                                RunLog& log) {
  return CollectionReader(path, namingScene, log).read();
}

std::string xgenPathText(const std::string& name, bool folder) {
  return std::string(kHere) + name + (folder ? "/" : "");
}
