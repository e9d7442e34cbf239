// The walk's readers of ASCII scenes and of binary scenes read token by
// token, on memory: the plan is the same whatever blocks the bytes come
// in, and a copy differs from its scene only in the statements and tokens
// that name a file: each edit replaces bytes that hold a named path by
// bytes that hold its new name (a token in place, at its own length), and
// a scene that names nothing is copied as it is.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "io/memory_cursor.h"
#include "names/comparison_key.h"
#include "scene/ascii_scene_reader.h"
#include "scene/token_scene_reader.h"

namespace {

bool sameNamed(const std::vector<Dependency>& a, const std::vector<Dependency>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].written != b[i].written || a[i].transferName != b[i].transferName ||
        a[i].nodeType != b[i].nodeType || a[i].tiling != b[i].tiling || a[i].frames != b[i].frames ||
        a[i].cache.has_value() != b[i].cache.has_value()) {
      return false;
    }
    if (a[i].cache && (a[i].cache->cacheName != b[i].cache->cacheName || a[i].cache->startFrame != b[i].cache->startFrame ||
                       a[i].cache->sourceStart != b[i].cache->sourceStart || a[i].cache->sourceEnd != b[i].cache->sourceEnd)) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string scene(reinterpret_cast<const char*>(data), size);
  // Variables would expand to whatever this machine holds.
  if (scene.find('$') != std::string::npos) return -1;
  const bool ascii = scene.compare(0, 6, "//Maya") == 0;
  const ScenePlan plan = ascii ? planAsciiScene(scene) : planTokenScene(scene);

  for (const std::size_t block : {std::size_t{1}, std::size_t{9}}) {
    MemoryCursor in(scene, block);
    const ScenePlan again = ascii ? readAsciiScene(in) : readTokenScene(in);
    FUZZ_CHECK(sameNamed(again.named, plan.named));
    FUZZ_CHECK(in.copy() == applyEdits(scene, plan.edits));
  }

  // Nothing named, nothing changed (but a file node's empty name, and a Bifrost container's cache path of no pair,
  // which an ASCII copy rewrites).
  const bool cachePaths = caseFolded(scene).find("cachepath\"") != std::string::npos;
  if (plan.named.empty() && (!ascii || (scene.find(".ftn") == std::string::npos && !cachePaths))) {
    FUZZ_CHECK(plan.edits.empty());
  }
  std::int64_t after = 0;
  for (const Edit& edit : plan.edits) {
    FUZZ_CHECK(edit.offset >= after && edit.offset + edit.length <= static_cast<std::int64_t>(size));
    after = edit.offset + edit.length;
    if (!ascii) FUZZ_CHECK(static_cast<std::int64_t>(edit.bytes.size()) == edit.length);
    // Some path named here, and its new name there (a token's cut to the
    // token's length, which is at least the path's).
    const std::string replaced = scene.substr(static_cast<std::size_t>(edit.offset), static_cast<std::size_t>(edit.length));
    bool explained = false;
    for (const Dependency& named : plan.named) {
      const std::string newName = ascii ? named.transferName : named.transferName.substr(0, named.written.size());
      if (replaced.find(named.written) != std::string::npos && edit.bytes.find(newName) != std::string::npos) {
        explained = true;
      }
    }
    // An ASCII statement rewritten without naming a file: a file node's empty name.
    if (ascii && !explained) explained = edit.bytes.find("(\"\")") != std::string::npos;
    // A Bifrost container's cache path: the copy names the job's folder, where the folder it names with its pair is
    // staged under its own name (a path of no pair names it too).
    const std::string jobFolder = " \"./\";\n";
    if (ascii && !explained && cachePaths && edit.bytes.size() >= jobFolder.size()) {
      explained = edit.bytes.compare(edit.bytes.size() - jobFolder.size(), jobFolder.size(), jobFolder) == 0 &&
                  caseFolded(replaced).find("cachepath\"") != std::string::npos;
    }
    FUZZ_CHECK(explained);
  }
  return 0;
}
