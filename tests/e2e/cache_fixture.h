#pragma once
// Runs of scenes whose caches are staged as folders: each case in an ASCII scene and in binary scenes of both
// widths, each run from a fresh working folder; the lines the program prints for a cache and what it leaves.
#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>

#include "e2e/run_fixture.h"
#include "support/maya_binary.h"

constexpr int kFormats[] = {0, 4, 8};  // the scene formats a case runs in: 0 ASCII, else a binary scene's width

struct CacheFixture : RunFixture {
  static std::string sceneName(int width) { return width ? "shot" + std::to_string(width) + ".mb" : "shot.ma"; }
  // Renders frames `first` to `last` of `scenePath`, with the options `extra`, from a fresh working folder.
  ProgramResult renderFresh(const std::string& scenePath, const std::string& first, const std::string& last,
                            Names extra = {}) {
    temp.makeDir(work = "work" + std::to_string(++runs));
    Names arguments{"-s", first, "-e", last};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    arguments.push_back(scenePath);
    return run(arguments);
  }
  // Files of the project's folder `folder`, each holding its own name.
  void cacheFiles(const std::string& folder, const Names& names) {
    for (const std::string& name : names) proj(folder + "/" + name, name);
  }
  static std::string cacheLine(const std::string& folder, int staged, int all) {
    return "Cache '" + folder + "': " + std::to_string(staged) + " of " + std::to_string(all) + " frames.\n";
  }
  static std::string backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
  // The lines of `names` (`[<subfolder>/]<file>`) copied into `folder` (none: the working folder), or as `done` says:
  // found there, or in a dry run to be copied.
  static std::string copiedInto(const std::string& folder, const Names& names, const std::string& done = "copied to") {
    std::string lines;
    for (const std::string& name : names) {
      const std::string path = (folder.empty() ? "" : folder + "\\") + backslashed(name);
      lines += "File '" + path + "' " + done + " current directory.\n";
    }
    return lines;
  }
  static inline const std::string kWouldBe = "would be copied to", kFound = "found in";
  // The paths of `names` in the folder `source` as the dependency report lists them.
  static Names paths(const std::string& source, const Names& names) {
    Names out;
    for (const std::string& name : names) out.push_back(source + "\\" + backslashed(name));
    return out;
  }
  // The working folder's `folder` holds exactly `names` (paths with '/' inside it), byte for byte those of the
  // project's folder `source`.
  void expectStaged(const std::string& folder, const Names& names, const std::string& source) {
    std::map<std::string, Names> inside{{"", {}}};  // each folder's entries, by its path below `folder`
    for (const std::string& name : names) {
      EXPECT_EQ(file(folder + "/" + name), readFile(at(source + "/" + name))) << name;
      for (std::size_t start = 0, slash = 0; slash != std::string::npos; start = slash + 1) {
        slash = name.find('/', start);
        inside[name.substr(0, start ? start - 1 : 0)].push_back(name.substr(start, slash - start));
      }
    }
    for (auto& [sub, entries] : inside) {
      std::sort(entries.begin(), entries.end());
      entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
      EXPECT_EQ(temp.list(work + "/" + folder + (sub.empty() ? "" : "/" + sub)), entries) << sub;
    }
  }
  // The stand-in submit tool's status on the description in the working folder.
  int submitted() const { return runProgram({VANTLE_SUBMIT_EXE, {"vantle_render.sub"}, temp.at(work), {}}).status; }
  // The report written to r.json: `count` dependencies, the first of them holding `first`'s entries.
  nlohmann::json reportedFirst(std::size_t count, const nlohmann::json& first) const {
    const nlohmann::json written = nlohmann::json::parse(readFile(temp.at("r.json")));
    EXPECT_EQ(written.at("dependencies").size(), count);
    const nlohmann::json& dependency = written.at("dependencies").at(0);
    for (const auto& [key, value] : first.items()) {
      EXPECT_EQ(dependency.contains(key) ? dependency.at(key) : nullptr, value) << key;
    }
    return written;
  }
  static inline const std::string kDryRun = "\nDry run: nothing written, nothing submitted.\n";
  int runs = 0;  // runs so far, each in a working folder of its own
};
