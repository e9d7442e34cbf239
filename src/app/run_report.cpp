#include "app/run_report.h"

#include <cstdio>
#include <set>
#include <nlohmann/json.hpp>

#include "app/run_state.h"
#include "io/whole_file.h"
#include "submit/submit_file.h"
#include "names/base_name.h"
#include "names/comparison_key.h"
#include "names/name_pattern.h"
#include "io/file_copy.h"
#include "platform/platform.h"

// Fields keep the order written here.
using json = nlohmann::ordered_json;

namespace {

// Text is a JSON string when its bytes are valid UTF-8. Otherwise it is an
// object: "hex" holds every byte, "text" a readable form with U+FFFD in
// place of the bytes that are not UTF-8. Nothing is lost either way.
json text(const std::string& bytes) {
  try {
    (void)json(bytes).dump();
    return bytes;
  } catch (const json::type_error&) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
      hex += kDigits[c >> 4];
      hex += kDigits[c & 15];
    }
    const std::string readable = json(bytes).dump(-1, ' ', false, json::error_handler_t::replace);
    return json{{"hex", hex}, {"text", json::parse(readable)}};
  }
}

json texts(const std::vector<std::string>& list) {
  json array = json::array();
  for (const std::string& item : list) array.push_back(text(item));
  return array;
}

// The file's size in bytes, or null when it does not open.
json sizeOf(const std::string& path) {
  const std::optional<std::int64_t> size = fileSize(path);
  return size ? json(*size) : json(nullptr);
}

// A file a dependency stands for: its size in the folder once it is
// there, else the size of the file it would be copied from.
json fileEntry(const std::string& name, const std::string& source, const json& status) {
  json entry{{"name", text(name)}, {"status", status}, {"size", nullptr}};
  if (status.is_null() || status == "missing") return entry;
  if (status == "copied" || status == "found") entry["size"] = sizeOf(name);
  if (entry["size"].is_null()) entry["size"] = sizeOf(source);
  return entry;
}

const SceneFacts* examined(const RunLog& log, const std::string& path) {
  for (const SceneFacts& scene : log.scenes) {
    if (scene.path == path) return &scene;
  }
  return nullptr;
}

// Scenes down a chain are examined more than once; each is told once.
std::vector<const SceneFacts*> distinctScenes(const RunLog& log) {
  std::vector<const SceneFacts*> scenes;
  std::set<std::string> seen;
  for (const SceneFacts& scene : log.scenes) {
    if (seen.insert(comparisonKey(scene.absolutePath)).second) scenes.push_back(&scene);
  }
  return scenes;
}

// How a scene was read, as the report names it.
const char* readingName(SceneReading reading) {
  switch (reading) {
    case SceneReading::kStatements: return "statements";
    case SceneReading::kStructure: return "structure";
    case SceneReading::kTokens: return "tokens";
    case SceneReading::kAsIs: return "as is";
  }
  return "";
}

// A scene's format: a referenced file that is no Maya scene is "other".
const char* formatName(const SceneFacts& scene) {
  if (scene.reading == SceneReading::kAsIs) return "other";
  return scene.binary ? "binary" : "ascii";
}

// The scenes that `scene` references, in the order it names them.
std::vector<const Dependency*> referencesOf(const SceneFacts& scene, const DependencyList& found) {
  std::vector<const Dependency*> references;
  for (const Dependency& named : found.items()) {
    if (named.kind == DependencyKind::kScene && named.scenePath == scene.path) references.push_back(&named);
  }
  return references;
}

json scenesOf(const RunLog& log, const DependencyList& found) {
  json scenes = json::array();
  for (const SceneFacts* each : distinctScenes(log)) {
    const SceneFacts& scene = *each;
    json references = json::array();
    for (const Dependency* reference : referencesOf(scene, found)) references.push_back(text(reference->recorded));
    scenes.push_back({{"path", text(scene.path)},
                      {"absolute_path", text(scene.absolutePath)},
                      {"copy_name", text(scene.copyName)},
                      {"format", formatName(scene)},
                      {"read", readingName(scene.reading)},
                      {"references", references}});
  }
  return scenes;
}

// A name standing for several files is a sequence (frames), tiles or a
// pattern of tokens; a cacheFile node's folder a cache, a folder staged
// whole a folder; any other a file.
const char* kindOf(const Dependency& texture) {
  if (texture.cache) return texture.cache->kind == CacheKind::kXgenData ? "folder" : "cache";
  if (!NamePattern::of(baseName(texture.resolved), texture.tiling, texture.frames)) return "file";
  return texture.frames ? "sequence" : texture.tiling != 0 ? "tiles" : "pattern";
}

// What staging made of a file, as the report names it; null before staging.
json statusName(FileStatus status) {
  switch (status) {
    case FileStatus::kPending: return nullptr;
    case FileStatus::kCopied: return "copied";
    case FileStatus::kFound: return "found";
    case FileStatus::kWouldBeCopied: return "would be copied";
    case FileStatus::kMissing: return "missing";
    case FileStatus::kNameCollision: return "name collision";
  }
  return nullptr;
}

// The files a texture stands for; before its name was expanded, itself.
json filesOf(const Dependency& texture) {
  json files = json::array();
  if (texture.files.empty() && !texture.expanded) {
    files.push_back(fileEntry(std::string(baseName(texture.resolved)), texture.resolved, nullptr));
  }
  for (const DependencyFile& file : texture.files) {
    files.push_back(fileEntry(nameInWorkingFolder(file), file.path, statusName(file.status)));
  }
  return files;
}

// A cache's name, the folder it is staged as, and its frames staged of
// those its folder holds (0 of them before it was selected).
json cacheOf(const CacheReference& cache, const std::string& folder) {
  return {{"name", text(cache.cacheName)},
          {"folder", text(folder)},
          {"frames_staged", cache.framesStaged},
          {"frames_in_all", cache.framesInAll}};
}

json dependenciesOf(const RunState& run) {
  json dependencies = json::array();
  // The references of the scenes examined: a scene whose reading was cut
  // short tells none.
  for (const SceneFacts* scene : distinctScenes(run.log)) {
    for (const Dependency* reference : referencesOf(*scene, run.found)) {
      const SceneFacts* target = examined(run.log, reference->resolved);
      const char* status = target == nullptr ? "missing" : run.options.dryRun ? "would be copied" : "copied";
      const std::string copy = target != nullptr ? target->copyName : sceneCopyName(reference->resolved);
      dependencies.push_back({{"kind", "reference"},
                              {"node_type", nullptr},
                              {"attribute", nullptr},
                              {"scene", text(scene->path)},
                              {"path", text(reference->recorded)},
                              {"resolved", text(reference->resolved)},
                              {"files", json::array({fileEntry(copy, reference->resolved, json(status))})}});
    }
  }
  // A run stopped half way tells the textures the command-line scene held.
  for (const Dependency& texture : run.found.items()) {
    if (texture.kind != DependencyKind::kTexture || !run.found.held(texture)) continue;
    dependencies.push_back({{"kind", kindOf(texture)},
                            {"node_type", texture.nodeType.empty() ? json(nullptr) : text(texture.nodeType)},
                            {"attribute", texture.attribute.empty() ? json(nullptr) : text(texture.attribute)},
                            {"scene", text(texture.scenePath)},
                            {"path", text(texture.written)},
                            {"resolved", text(texture.resolved)},
                            {"files", filesOf(texture)}});
    if (texture.cache && texture.cache->kind != CacheKind::kXgenData) {
      dependencies.back()["cache"] = cacheOf(*texture.cache, texture.transferName);
    }
  }
  return dependencies;
}

json jobsOf(const SceneJob& job) {
  json jobs = json::array();
  if (!job.scenePath) return jobs;
  forEachJob(job, [&](double first, double last) {
    jobs.push_back({{"first_frame", first}, {"last_frame", last}, {"step", job.byFrame}});
  });
  return jobs;
}

}  // namespace

std::string runReportText(const RunState& run, const RunReportContext& context) {
  const SceneJob& job = run.job;
  const RunLog& log = run.log;
  const json document{
      {"version", kRunReportVersion},
      {"program", {{"name", "vantleRender"}, {"version", VANTLE_VERSION}}},
      {"arguments", texts(context.arguments)},
      {"working_folder", text(context.workingFolder)},
      {"dry_run", run.options.dryRun},
      {"scenes", scenesOf(log, run.found)},
      {"dependencies", dependenciesOf(run)},
      {"transfer", texts(job.transferFiles)},
      {"jobs", jobsOf(job)},
      {"submit", {{"called", log.submitCalled}, {"status", log.submitCalled ? json(log.submitStatus) : json(nullptr)}}},
      {"exit_status", context.exitStatus},
      {"warnings", texts(log.warnings)},
  };
  return document.dump(2) + "\n";
}

bool writeRunReport(const RunState& run, const RunReportContext& context) {
  if (!run.options.reportPath) return true;
  const std::string& path = *run.options.reportPath;
  const bool whole = writeWholeFile(path, runReportText(run, context));
  if (!whole) std::fprintf(stderr, "ERROR: Can not write the report: '%s'\n", path.c_str());
  return whole;
}
