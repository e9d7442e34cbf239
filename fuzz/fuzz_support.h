#pragma once
// What every fuzz target shares: a private working folder, a quiet
// standard output, and plain reference versions of the scene rules that
// the targets hold the program's own code against. The references are
// written for obviousness, not speed, and share no code with src/.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/memory_cursor.h"
#include "job/run_options.h"
#include "job/scene_job.h"
#include "scene/scene_plan.h"
#include "scene/walk_state.h"

namespace fuzz {

// Stops the process with a message that libFuzzer reports as a crash, so
// the input that broke an invariant is saved.
#define FUZZ_CHECK(condition)                                                          \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

// The absolute path of the target's own folder, its current directory
// (fuzz_workspace.cpp makes it before the first input).
const std::string& workspace();

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
}

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  FUZZ_CHECK(in.good());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes the scene to `path` and opens it as a run does, with its copy
// "~<path>" beside it. SceneJob cannot be copied or moved, hence the pointer.
inline std::unique_ptr<SceneJob> openScene(const std::string& path, const std::string& scene) {
  writeBytes(path, scene);
  auto job = std::make_unique<SceneJob>(path);
  FUZZ_CHECK(job->openScene() == 1);
  return job;
}

// Closes the job's output, puts it under its name and returns what was
// written to `path`.
inline std::string closeCopy(SceneJob& job, const std::string& path) {
  job.sceneStream->commitOutput();
  FUZZ_CHECK(!job.sceneStream->writeFailed());
  return readBytes(path);
}

inline std::string currentDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// ---- Reference versions of the string rules -----------------------------

const std::string kReferenceKeyword = "file -r ";
const std::string kTextureKeyword = "setAttr \".ftn\" -type \"string\"";
const std::string kDelimiterSet = "\n'\"();\t ";

inline bool isDelimiter(char c) {
  for (char d : kDelimiterSet) {
    if (c == d) return true;
  }
  return false;
}

inline std::string trimDelimiters(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (last > first && isDelimiter(text[last - 1])) --last;
  while (first < last && isDelimiter(text[first])) ++first;
  return text.substr(first, last - first);
}

// Index of the last `c` outside double quotes, or npos. Quotes flip the
// state wherever they stand, a backslash before them changes nothing.
inline std::size_t findLastUnquoted(const std::string& text, char c) {
  std::size_t found = std::string::npos;
  bool inside = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == c && !inside) found = i;
    else if (text[i] == '"') inside = !inside;
  }
  return found;
}

inline std::string normalizeSlashes(std::string text) {
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

// The text after the later of the last '\' and the last '/'.
inline std::string baseName(const std::string& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  }
  return path.substr(start);
}

inline std::string overwritePadded(const std::string& target, const std::string& name) {
  std::string result = target;
  for (std::size_t i = 0; i < result.size(); ++i) result[i] = i < name.size() ? name[i] : ' ';
  return result;
}

// The text of a buffer up to its first NUL, as the recognisers see it.
inline std::string asText(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

// ---- Reference versions of the recognisers -------------------------------

struct AsciiRewrite {
  std::string path;      // recorded in sceneFiles or textureFiles
  std::string transfer;  // recorded in transferFiles
  std::string written;   // what goes to the copy
  std::string kept;      // the statement afterwards (file references only)
};

inline std::optional<AsciiRewrite> fileReference(const std::string& statement) {
  const std::size_t keyword = statement.find(kReferenceKeyword);
  if (keyword == std::string::npos) return std::nullopt;
  const std::size_t after = keyword + kReferenceKeyword.size();
  const std::size_t space = findLastUnquoted(statement.substr(after), ' ');
  if (space == std::string::npos) return std::nullopt;
  const std::size_t separator = after + space;
  AsciiRewrite r;
  r.path = normalizeSlashes(trimDelimiters(statement.substr(separator)));
  r.transfer = normalizeSlashes("~" + baseName(r.path));
  r.kept = statement.substr(0, separator);
  r.written = r.kept + " \"" + r.transfer + "\";\n";
  return r;
}

inline std::optional<AsciiRewrite> textureAttribute(const std::string& statement) {
  if (statement.find(kTextureKeyword) == std::string::npos) return std::nullopt;
  const std::size_t separator = findLastUnquoted(statement, ' ');
  if (separator == std::string::npos) return std::nullopt;
  AsciiRewrite r;
  r.path = normalizeSlashes(trimDelimiters(statement.substr(separator)));
  r.transfer = normalizeSlashes(baseName(r.path));
  r.written = kTextureKeyword + " (\"" + r.transfer + "\");\n";
  return r;
}

// What the walk makes of one ASCII statement (bytes, NULs included), and
// what it records.
struct AsciiOutcome {
  std::string written;
  std::vector<std::string> scenes, textures, transfers;

  // Records one rewrite as its recogniser does: the path in `paths`
  // (scenes or textures), the new name among the transfers, the new
  // statement in the copy.
  void record(const AsciiRewrite& rewrite, std::vector<std::string>& paths) {
    paths.push_back(rewrite.path);
    transfers.push_back(rewrite.transfer);
    written += rewrite.written;
  }
};

inline void walkStatement(const std::string& statement, AsciiOutcome& out) {
  std::string text = asText(statement);
  auto reference = fileReference(text);
  if (reference) {
    out.record(*reference, out.scenes);
    text = reference->kept;
  }
  auto texture = textureAttribute(text);
  // A file node without an image is rewritten as any other and names nothing.
  if (texture && texture->path.empty()) out.written += texture->written;
  if (texture && !texture->path.empty()) out.record(*texture, out.textures);
  if (!reference && !texture) out.written += statement;
}

// ---- Reference version of the binary scan -------------------------------

inline bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool isPrintable(unsigned char c) { return c >= 0x20 && c <= 0x7E; }

struct Span {
  std::size_t start;
  std::size_t length;
};

// Runs of printable bytes that begin with a letter, at least three long,
// cut into pieces of at most the token limit.
inline std::vector<Span> tokens(const std::string& scene) {
  const std::size_t limit = SceneJob::kMaxTokenBytes;
  std::vector<Span> found;
  std::size_t i = 0;
  while (i < scene.size()) {
    if (!isLetter(static_cast<unsigned char>(scene[i]))) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < scene.size() && end - i < limit && isPrintable(static_cast<unsigned char>(scene[end]))) ++end;
    if (end - i >= 3) found.push_back({i, end - i});
    i = end;
  }
  return found;
}

struct BinaryOutcome {
  std::string copy;
  std::vector<Span> rewritten;  // the path tokens
  std::vector<std::string> scenes, textures, transfers;
};

inline BinaryOutcome walkBinary(const std::string& scene) {
  BinaryOutcome out;
  out.copy = scene;
  const std::vector<Span> all = tokens(scene);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string token = scene.substr(all[i].start, all[i].length);
    const bool reference = token.find("FREFFREF") != std::string::npos;
    const bool texture = !reference && token.find("ftn") != std::string::npos;
    if ((!reference && !texture) || i + 1 == all.size()) continue;
    const Span path = all[++i];
    const std::string raw = scene.substr(path.start, path.length);
    const std::string name = normalizeSlashes((reference ? "~" : "") + baseName(raw));
    (reference ? out.scenes : out.textures).push_back(normalizeSlashes(trimDelimiters(raw)));
    out.transfers.push_back(name);
    out.copy.replace(path.start, path.length, overwritePadded(raw, name));
    out.rewritten.push_back(path);
  }
  return out;
}

}  // namespace fuzz

namespace fuzz {

// ---- Reference version of the binary scene structure ---------------------

struct IffItem {
  std::string tag, form, ignored;  // form: groups only; ignored: a FOR8-wide header's 4 bytes
  bool group = false;
  std::string nodeForm, groupForm;  // chunks: the form of their node group (under the top one) and of their group
  std::string data;                 // chunks only, without padding
};

inline std::uint64_t bigEndianAt(const std::string& s, std::size_t at, int width) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = value << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return value;
}

// The groups and chunks of s[from, to) in order; false unless they fill it exactly.
inline bool walkIffRange(const std::string& s, std::size_t from, std::size_t to, int width, std::size_t depth,
                         const std::string& nodeForm, const std::string& groupForm, std::vector<IffItem>& items) {
  while (from < to) {
    if (to - from < 4) return false;
    IffItem item;
    item.tag = s.substr(from, 4);
    int own = 0;
    for (const char* g : {"FOR4", "LIS4", "CAT4"}) if (item.tag == g) own = 4;
    for (const char* g : {"FOR8", "LIS8", "CAT8"}) if (item.tag == g) own = 8;
    if (item.tag == "PROP") own = width;
    item.group = own != 0;
    const int w = item.group ? own : width;
    const std::size_t header = w == 4 ? 8 : 16;
    if (to - from < header) return false;
    if (w == 8) item.ignored = s.substr(from + 4, 4);
    const std::uint64_t size = bigEndianAt(s, from + (w == 4 ? 4 : 8), w);
    if (size > to - from - header) return false;
    if (item.group) {
      if (size < 4) return false;
      item.form = s.substr(from + header, 4);
      items.push_back(item);
      if (!walkIffRange(s, from + header + 4, from + header + size, w, depth + 1, depth == 1 ? item.form : nodeForm,
                        item.form, items)) {
        return false;
      }
      from += header + size;
      continue;
    }
    const std::uint64_t padding = (w - size % w) % w;
    if (padding > to - from - header - size) return false;
    item.nodeForm = nodeForm;
    item.groupForm = groupForm;
    item.data = s.substr(from + header, size);
    items.push_back(item);
    from += header + size + padding;
  }
  return true;
}

// True when the scene is one top group of form Maya whose groups and chunks nest exactly and end at its end.
inline bool walkMayaIff(const std::string& s, std::vector<IffItem>& items) {
  items.clear();
  const int width = s.compare(0, 4, "FOR4") == 0 ? 4 : s.compare(0, 4, "FOR8") == 0 ? 8 : 0;
  if (width == 0 || s.size() < (width == 4 ? 12u : 20u)) return false;
  if (s.substr(width == 4 ? 8 : 16, 4) != "Maya") return false;
  if (bigEndianAt(s, width == 4 ? 4 : 8, width) != s.size() - (width == 4 ? 8 : 16)) return false;
  return walkIffRange(s, 0, s.size(), width, 0, "", "", items);
}

// What the structure names: a FREF chunk of a FREF group (its path), an ftn string of a file, psdFileTex or
// movie node, or the cp string of a cacheFile node, a folder (its value); `at` is where that text starts in the
// chunk's data.
struct IffPath {
  bool reference;
  std::size_t at;
  std::string text;
  bool folder = false;
};

inline std::optional<IffPath> namedPath(const IffItem& item) {
  if (item.group) return std::nullopt;
  if (item.tag == "FREF" && item.groupForm == "FREF") return IffPath{true, 0, asText(item.data)};
  if (item.tag == "STR " && item.nodeForm == "CCHF" && item.data.compare(0, 3, std::string("cp\0", 3)) == 0 &&
      item.data.size() >= 4) {
    return IffPath{false, 4, asText(item.data.substr(4)), true};
  }
  const bool fileNode = item.nodeForm == "RTFT" || item.nodeForm == "PSDT" || item.nodeForm == "RTMV";
  if (item.tag != "STR " || !fileNode || item.data.compare(0, 4, std::string("ftn\0", 4)) != 0) return std::nullopt;
  if (item.data.size() < 5) return std::nullopt;
  return IffPath{false, 5, asText(item.data.substr(5))};
}

// ---- Readers of files that name files ------------------------------------

// Where a plan's paths and fixed edits stand: each a range of the file,
// the paths in order and not empty, the edits in order, none overlapping
// another path or edit. The copy, these ranges replaced, then differs from
// the file nowhere else.
inline void checkPlanRanges(const std::string& file, const FilePlan& plan) {
  struct Range {
    std::int64_t offset, length;
  };
  std::vector<Range> ranges;
  std::int64_t after = 0;
  for (const FoundPath& found : plan.found) {
    FUZZ_CHECK(found.length > 0 && found.offset >= after);
    after = found.offset + found.length;
    ranges.push_back({found.offset, found.length});
  }
  after = 0;
  for (const Edit& edit : plan.fixed) {
    FUZZ_CHECK(edit.length >= 0 && edit.offset >= after);
    after = edit.offset + edit.length;
    ranges.push_back({edit.offset, edit.length});
  }
  std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.offset < b.offset; });
  after = 0;
  for (const Range& range : ranges) {
    FUZZ_CHECK(range.offset >= after && range.offset + range.length <= static_cast<std::int64_t>(file.size()));
    after = range.offset + range.length;
  }
}

// What every such reader owes, on any input: the copy through the cursor is
// the file byte for byte, the plan is the same whatever blocks the bytes
// come in, and each path found is a range of the file, in order, none
// overlapping another, holding exactly the text it names.
template <typename Read>
FilePlan checkFilePlan(const std::string& file, Read read) {
  MemoryCursor whole(file);
  const FilePlan plan = read(whole);
  FUZZ_CHECK(whole.copy() == file && whole.edits().empty());
  for (const std::size_t block : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{4096}}) {
    MemoryCursor in(file, block);
    const FilePlan again = read(in);
    FUZZ_CHECK(in.copy() == file);
    FUZZ_CHECK(again.found.size() == plan.found.size());
    for (std::size_t i = 0; i < plan.found.size(); ++i) {
      const FoundPath& x = again.found[i];
      const FoundPath& y = plan.found[i];
      FUZZ_CHECK(x.offset == y.offset && x.length == y.length && x.named.written == y.named.written &&
                 x.named.recorded == y.named.recorded && x.named.nodeType == y.named.nodeType &&
                 x.named.attribute == y.named.attribute);
    }
  }
  checkPlanRanges(file, plan);
  for (const FoundPath& found : plan.found) {
    FUZZ_CHECK(file.compare(static_cast<std::size_t>(found.offset), static_cast<std::size_t>(found.length),
                            found.named.written) == 0);
  }
  return plan;
}

}  // namespace fuzz
