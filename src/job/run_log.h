#pragma once
// What a run did that the run report tells beyond the record's lists: the
// scenes examined, the warnings printed, the dependencies a dry run could
// not open and the submit tool's outcome. The run owns one and hands it
// to whoever adds to it.

#include <string>
#include <vector>

// How a scene was read.
enum class SceneReading {
  kStatements,  // an ASCII scene, statement by statement
  kStructure,   // a well-formed Maya binary scene, by its groups and chunks
  kTokens,      // any other binary scene, in runs of printable bytes
  kAsIs,        // a referenced file that is no Maya scene: copied as it is
};

// What the walk learnt about one scene it examined.
struct SceneFacts {
  std::string path;  // as the run reports it
  std::string absolutePath;
  std::string copyName;
  bool binary = false;
  SceneReading reading = SceneReading::kStatements;
};

class RunLog {
 public:
  // Prints "WARNING: `text`" as a line, and keeps it for the report.
  void warn(const std::string& text);

  std::vector<SceneFacts> scenes;  // in the order examined
  std::vector<std::string> warnings;
  // Dependencies a dry run could not open.
  int missingDependencies = 0;
  bool submitCalled = false;
  int submitStatus = 0;
};
