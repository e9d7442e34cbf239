#include "caches/xgen_reader.h"

#include "names/base_name.h"
#include "names/comparison_key.h"

namespace {

constexpr std::string_view kProject = "${PROJECT}";
constexpr std::string_view kBlanks = " \t\r";

// What an archive a description names may be: the archive, its geometry
// and scene files, its materials.
constexpr std::string_view kArchiveEndings[] = {".xarc", ".abc", ".ass", ".ass.gz", ".ma", ".mb"};

struct Text {
  std::string_view text;
  std::size_t offset;
};

Text trimmed(Text part) {
  const std::size_t first = part.text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {{}, part.offset};
  const std::size_t last = part.text.find_last_not_of(kBlanks);
  return {part.text.substr(first, last - first + 1), part.offset + first};
}

bool namesArchive(std::string_view path) {
  const std::string folded = caseFolded(std::string(path));
  for (std::string_view ending : kArchiveEndings) {
    if (folded.size() > ending.size() && folded.compare(folded.size() - ending.size(), ending.size(), ending) == 0) {
      return true;
    }
  }
  return false;
}

void add(std::vector<XgenValue>& values, XgenValueKind kind, Text value) {
  if (value.text.empty()) return;
  values.push_back({kind, std::string(value.text), {}, static_cast<std::int64_t>(value.offset),
                    static_cast<std::int64_t>(value.text.size())});
}

// The quoted archive paths of a line; a quote escaped as `\"` ends a path
// as a plain one does.
void addArchives(std::vector<XgenValue>& values, Text line) {
  std::size_t open = line.text.find('"');
  while (open != std::string_view::npos) {
    const std::size_t close = line.text.find('"', open + 1);
    if (close == std::string_view::npos) return;
    std::string_view path = line.text.substr(open + 1, close - open - 1);
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (namesArchive(path)) add(values, XgenValueKind::kArchive, {path, line.offset + open + 1});
    open = line.text.find('"', close + 1);
  }
}

// A line `name<blanks>value`: the values it names.
void addAttribute(std::vector<XgenValue>& values, Text line) {
  const Text attribute = trimmed(line);
  const std::size_t nameEnd = attribute.text.find_first_of(kBlanks);
  if (nameEnd == std::string_view::npos) return;
  const std::string_view name = attribute.text.substr(0, nameEnd);
  const Text value = trimmed({attribute.text.substr(nameEnd), attribute.offset + nameEnd});
  if (name == "xgProjectPath") {
    add(values, XgenValueKind::kProjectPath, value);
  } else if (name == "cacheFileName") {
    add(values, XgenValueKind::kCacheFile, value);
  } else if (name == "xgDataPath") {
    std::size_t start = 0;
    while (start <= value.text.size()) {
      std::size_t end = value.text.find(';', start);
      if (end == std::string_view::npos) end = value.text.size();
      add(values, XgenValueKind::kDataPath, trimmed({value.text.substr(start, end - start), value.offset + start}));
      start = end + 1;
    }
  } else {
    addArchives(values, value);
  }
}

}  // namespace

std::string withXgenProject(std::string_view path, std::string_view project) {
  std::string folder(project);
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  std::string expanded(path);
  for (std::size_t at = expanded.find(kProject); at != std::string::npos; at = expanded.find(kProject, at)) {
    expanded.replace(at, kProject.size(), folder);
    at += folder.size();
  }
  return expanded;
}

std::vector<XgenValue> readXgenFile(std::string_view bytes, std::string_view projectFolder) {
  std::vector<XgenValue> values;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const Text line{bytes.substr(start, end - start), start};
    const Text content = trimmed(line);
    // An archive group's lines begin with '#' and still name archives.
    if (!content.text.empty() && content.text[0] == '#') {
      addArchives(values, content);
    } else if (!content.text.empty()) {
      addAttribute(values, content);
    }
    start = end + 1;
  }
  std::string project(projectFolder);
  for (const XgenValue& value : values) {
    if (value.kind == XgenValueKind::kProjectPath) project = value.written;
  }
  for (XgenValue& value : values) value.path = withXgenProject(value.written, project);
  return values;
}

std::string xgenPaletteName(std::string_view bytes) {
  bool inPalette = false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = trimmed({bytes.substr(start, end - start), start}).text;
    start = end + 1;
    const std::size_t nameEnd = line.find_first_of(kBlanks);
    const std::string_view word = line.substr(0, nameEnd);
    if (word == "Palette" || word == "endAttrs") inPalette = word == "Palette";
    if (inPalette && word == "name" && nameEnd != std::string_view::npos) {
      return std::string(trimmed({line.substr(nameEnd), 0}).text);
    }
  }
  return std::string();
}

std::string xgenGuideCacheName(std::string_view sceneFileName, std::string_view palette) {
  const std::string_view base = baseName(sceneFileName);
  const std::size_t dot = base.rfind('.');
  std::string name(base.substr(0, dot == std::string_view::npos ? base.size() : dot));
  name += "__";
  for (char c : palette) {
    if (c == ':') {
      name += "__";
    } else {
      name += c;
    }
  }
  return name + ".abc";
}
