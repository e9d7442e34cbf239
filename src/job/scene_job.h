#pragma once
// The record of work of a run. The command-line record carries the run's
// settings and the scan of the scene named on the command line; a
// referenced-scene record carries the scan of one referenced scene and
// lives only until its parent has taken over what it found.
//
// The operations are defined in the folder of the subsystem that owns
// them: app/ (command line, run driver), scene/ (reading, rewriting, the
// walk, paths), submit/ (the submit description).

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/filter_stream.h"
#include "job/dependency.h"

struct FileAttribute;

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
  // A referenced-scene record for the scene at `path`, scanned on behalf
  // of `parent`.
  SceneJob(const std::string& path, SceneJob* parent);
  ~SceneJob() = default;
  SceneJob(const SceneJob&) = delete;
  SceneJob& operator=(const SceneJob&) = delete;

  void setDefaults();

  int textureCount() const { return static_cast<int>(textureFiles.size()); }
  int sceneFileCount() const { return static_cast<int>(sceneFiles.size()); }
  int transferCount() const { return static_cast<int>(transferFiles.size()); }

  // Run driver (app/run_driver.cpp).
  int prepareSubmission();
  int printDependencies();
  int runSubmit();

  // Command line (app/command_line.cpp).
  int parseArguments(int argc, char** argv);
  void validateArguments();
  static void printUsage();

  // Scene opening and statement reader (scene/statement_reader.cpp).
  int openScene();
  int nextStatement();
  int readStatement();
  // readStatement for the walk: follows the node of every statement, writes
  // through, unchanged, every statement in which neither keyword of the
  // ASCII recognisers stands and that sets no path attribute of the table,
  // and stops at the first statement that does.
  int readMarkedStatement();

  // The one place where a recogniser records a path it found
  // (scene/dependency_record.cpp): its variables are expanded and its
  // slashes made backslashes; with `facts` it is a texture, without a
  // scene. Returns the path as recorded.
  std::string recordPath(const std::string& text, const DependencyFacts* facts);
  // The path in a statement or token: the text without the delimiters around it.
  static std::string trimmed(const char* text) {
    std::string path(text);
    trimDelimiters(path);
    return path;
  }
  // The facts of a texture found now: the node the statement belongs to.
  DependencyFacts factsOfAttribute(std::string_view attribute) const;

  // ASCII recognisers (scene/ascii_rewriting.cpp).
  int rewriteFileReference();
  int rewriteTextureAttribute();
  // A texture path found in a statement, recorded; its bare name, now on the transfer list.
  std::string recordTexture(const std::string& text, const DependencyFacts& facts);
  // Writes the statement a recogniser rewrote, keeping it as the statement
  // at hand where it fits; returns 1.
  int putRewritten(const std::string& rewritten);
  // A path attribute of the table on a node of its type (scene/node_tracking.cpp).
  int rewriteNodeAttribute();
  // Follows the node that statements belong to; true when the statement
  // sets a path attribute that the table names for that node's type.
  // Inline for the reader's fast path: while no node is open, only a
  // statement that begins with 'c' (createNode) can matter.
  bool followNode(const char* bytes, std::size_t length) {
    if (!node.open) {
      std::size_t i = 0;
      while (i < length && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
      if (i == length || bytes[i] != 'c') return false;
    }
    return followStatement(bytes, length);
  }
  bool followStatement(const char* bytes, std::size_t length);
  // Ends the node that statements belong to, if any.
  void endNode();
  static void trimDelimiters(std::string& text);
  static const char* findLastUnquoted(const char* text, int c);

  // Binary token reader and recognisers (scene/token_reader.cpp,
  // scene/binary_rewriting.cpp).
  int readToken();
  // readToken for the walk: writes through, unchanged, every token that
  // holds neither marker of the binary recognisers, with the bytes around
  // it, and stops at the first token that holds one.
  int readMarkedToken();
  int rewriteBinaryReference();
  int rewriteBinaryTexture();
  // A well-formed Maya binary scene read by its structure and copied
  // (scene/structured_binary.cpp); a referenced file that is no Maya scene
  // at all copied as it is. 0, with the warning, when the scene is to be
  // read token by token instead.
  int passStructuredBinary();

  // The walk over the reference tree (scene/scene_walk.cpp).
  int scanScene();

  // Path resolution (scene/path_resolution.cpp).
  int resolveDependencyPath(std::string& entry);
  static int isRelativePath(const std::string& path);
  static int joinDirectory(const std::string& directory, std::string& entry);
  static void normalizeSlashes(std::string& entry);
  static int cutLastComponent(std::string& path);
  // Where a file named by the scene at `namingScene` is looked for when it
  // does not open at its path: the scene's folder, the project folder
  // above it, and the project's scenes\ (`forScene`) or sourceimages\.
  static std::vector<std::string> fallbackFolders(const std::string& namingScene, bool forScene);
  // For an `entry` that does not open: 1 when a file of its base name opens
  // in one of this scene's fallback folders; `entry` is then that file, and
  // a line says so (naming the path as `recorded`).
  int locateElsewhere(std::string& entry, const std::string& recorded, bool forScene) const;

  // Submit description (submit/submit_file_writer.cpp).
  int writeSubmitFile();
  // The header, the transfer line and the jobs; false when a job did not
  // advance the running frame and the jobs were stopped.
  bool writeSubmitDescription(FilterStream& stream);
  // Hands each job's first and last frame, as the description writes them,
  // to `visit`; false when a job did not advance the running frame.
  bool forEachJob(const std::function<void(double firstFrame, double lastFrame)>& visit) const;

  // Path of the scene this record scans; absent until the command line
  // names one. A referenced-scene record keeps its own copy of the path.
  std::optional<std::string> scenePath;

  // The current ASCII statement or binary token, NUL-terminated, and its
  // length: an ASCII statement may hold NUL bytes of its own.
  char statement[kStatementCapacity] = {};
  std::size_t statementLength = 0;
  // Leaves no unit in `statement`, as every reader does before it reads and
  // at the end of the scene.
  void clearStatement() {
    statement[0] = '\0';
    statementLength = 0;
  }
  int isBinary = 0;
  // The last statement read was cut at the length limit: the next one read
  // is its rest.
  bool statementCut = false;

  std::vector<std::string> textureFiles;
  // Beside each textureFiles entry, in step with it.
  std::vector<DependencyFacts> textureFacts;
  std::vector<std::string> sceneFiles;
  std::vector<std::string> transferFiles;

  double startFrame = -1.0;
  double endFrame = -1.0;
  int framesPerJob = 10;
  double byFrame = 1.0;
  const char* imageName = "Frame";
  std::string headerPath;

  std::unique_ptr<FilterStream> sceneStream;

  // The record this one was created for; null for the command-line record.
  SceneJob* parent = nullptr;

  // --dry-run: scenes are read but no copy is written, nothing is staged,
  // described or submitted. Referenced-scene records take it from their parent.
  bool dryRun = false;
  // Dependencies that could not be opened (counted on the command-line record).
  int missingDependencies = 0;

  // What the run report tells beyond the lists (kept on the command-line
  // record): --report's file, made absolute; every scene examined, in the
  // order examined; the warnings printed; the submit tool's status.
  std::optional<std::string> reportPath;
  std::vector<SceneFacts> sceneFacts;
  std::vector<std::string> warnings;
  bool submitCalled = false;
  int submitStatus = 0;
  // How this record's scene was read: "statements", "structure", "tokens"
  // or "as is" (a referenced file that is no Maya scene).
  const char* readingMode = "statements";
  // The command-line record.
  SceneJob& commandLineRecord() {
    SceneJob* record = this;
    while (record->parent != nullptr) record = record->parent;
    return *record;
  }
  // Prints "WARNING: `text`" as a line, and keeps it for the report.
  void warn(const std::string& text);

  // The ASCII walk's node: set by `createNode` of a type the table knows,
  // kept by setAttr, addAttr, rename and lockNode, ended by anything else.
  struct OpenNode {
    bool open = false;
    std::string type;
    std::size_t firstTexture = 0;  // textureFiles entries from here on were named by this node
    int tiling = 0;
    bool frames = false;
    const FileAttribute* pathRow = nullptr;  // the path attribute the statement at hand sets
  } node;

  // Kept by the scene walk. This scene's path made absolute, which tells
  // scenes apart; the absolute paths of the scenes through which it was
  // reached, from the command-line scene down, itself last; and for each
  // `sceneFiles` entry the chain of the scene that named it. A scene that
  // stands on its own chain is a circular reference.
  std::string absoluteScenePath;
  // The folder this scene's relative paths resolve against, as the system
  // named it when first asked: the same for every path of the scene.
  std::optional<std::string> resolutionBase;
  std::vector<std::string> referenceChain;
  std::vector<std::vector<std::string>> sceneFileChains;
  // On the command-line record: the scene that took each copy name so far
  // in the run, keyed by the name in lower case (caseFolded).
  struct CopyOwner {
    std::string scenePath;
    std::string absolutePath;
  };
  std::map<std::string, CopyOwner> copyOwners;
};
