#pragma once
// The record of work of a run. The command-line record carries the run's
// settings and the scan of the scene named on the command line; a
// referenced-scene record carries the scan of one referenced scene and
// lives only until the record that named it has taken over what it found.
// What the run keeps beyond one scene (its options, its log, the walk's
// state) is not here: the run owns it and hands it to the operations
// that need it.
//
// The operations are defined in the folder of the subsystem that owns
// them: app/ (command line, run driver), scene/ (reading, rewriting, the
// walk, paths), submit/ (the submit description).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/filter_stream.h"
#include "job/dependency.h"
#include "job/run_log.h"

class FollowedFiles;
struct RunOptions;
struct WalkState;

class SceneJob {
 public:
  static constexpr int kStatementCapacity = 40960;
  // An ASCII statement holds at most this many bytes of the scene, plus
  // one newline taken from the look-ahead.
  static constexpr int kMaxStatementBytes = 40958;
  // A binary token holds at most this many bytes.
  static constexpr int kMaxTokenBytes = 40957;
  static constexpr const char* kDefaultHeaderPath = "C:\\vantle_render\\vantle_render.hdr";
  // Names the submit header in place of kDefaultHeaderPath.
  static constexpr const char* kHeaderPathVariable = "VANTLE_RENDER_PATH";

  // The command-line record.
  SceneJob();
  // A referenced-scene record for the scene at `path`.
  explicit SceneJob(const std::string& path);
  ~SceneJob() = default;
  SceneJob(const SceneJob&) = delete;
  SceneJob& operator=(const SceneJob&) = delete;

  void setDefaults();

  int textureCount() const { return static_cast<int>(textureFiles.size()); }
  int sceneFileCount() const { return static_cast<int>(sceneFiles.size()); }
  int transferCount() const { return static_cast<int>(transferFiles.size()); }

  // Run driver (app/run_driver.cpp).
  int prepareSubmission(const RunOptions& options, RunLog& log, WalkState& walk, DependencyList& found,
                        FollowedFiles& followed);
  int printDependencies();
  int runSubmit(RunLog& log);

  // Command line (app/command_line.cpp): the settings here, the rest in `options`.
  int parseArguments(int argc, char** argv, RunOptions& options);
  void validateArguments();
  static void printUsage();

  // Scene opening and statement reader (scene/statement_reader.cpp).
  // Without `writeCopy` (a dry run) the scene is read and no copy written.
  int openScene(bool writeCopy = true);
  // One statement at a time into `statement`, for whoever reads the scene
  // unit by unit; the walk reads a whole scene at once
  // (scene/ascii_scene_reader.h).
  int nextStatement();
  int readStatement();

  // ASCII recognisers (scene/ascii_rewriting.cpp) on the statement at
  // hand: what they find goes to the record's lists, the rewritten
  // statement to the copy.
  int rewriteFileReference();
  int rewriteTextureAttribute();
  static void trimDelimiters(std::string& text);
  static const char* findLastUnquoted(const char* text, int c);

  // Binary token reader and recognisers (scene/token_reader.cpp,
  // scene/binary_rewriting.cpp).
  int readToken();
  int rewriteBinaryReference();
  int rewriteBinaryTexture();

  // The walk over the reference tree (scene/scene_walk.cpp).
  int scanScene(const RunOptions& options, RunLog& log, WalkState& walk, DependencyList& found);

  // Path resolution (scene/path_resolution.cpp). Relative entries resolve
  // against the folder above the scene's folder, as the system names it.
  int resolveDependencyPath(std::string& entry) const;
  static int isRelativePath(const std::string& path);
  static int joinDirectory(const std::string& directory, std::string& entry);
  static void normalizeSlashes(std::string& entry);
  static int cutLastComponent(std::string& path);

  // Submit description (submit/submit_file_writer.cpp).
  int writeSubmitFile();

  // Path of the scene this record scans; absent until the command line
  // names one. A referenced-scene record keeps its own copy of the path.
  std::optional<std::string> scenePath;

  // The current ASCII statement or binary token, NUL-terminated, and its
  // length: an ASCII statement may hold NUL bytes of its own.
  char statement[kStatementCapacity] = {};
  std::size_t statementLength = 0;
  int isBinary = 0;
  // The last statement read was cut at the length limit: the next one read
  // is its rest.
  bool statementCut = false;

  std::vector<std::string> textureFiles;
  std::vector<std::string> sceneFiles;
  std::vector<std::string> transferFiles;

  double startFrame = -1.0;
  double endFrame = -1.0;
  int framesPerJob = 10;
  double byFrame = 1.0;
  const char* imageName = "Frame";
  std::string headerPath;

  std::unique_ptr<FilterStream> sceneStream;
};
