// The node that ASCII statements belong to, and the attributes of the
// table set on it. `createNode TYPE` starts a node; setAttr, addAttr,
// rename and lockNode stay with it; any other statement ends it. Only
// nodes of types the table knows are followed.

#include <cstring>
#include <string>
#include <string_view>

#include "job/scene_job.h"
#include "names/base_name.h"
#include "scene/file_attributes.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// `text` begins with `word` standing alone.
bool startsWord(std::string_view text, std::string_view word) {
  return text.size() > word.size() && text.compare(0, word.size(), word) == 0 &&
         (isBlank(text[word.size()]) || text[word.size()] == ';');
}

std::string_view skipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  return text.substr(i);
}

// The first word of `text` (ended by a blank, a semicolon or a quote).
std::string_view firstWord(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && !isBlank(text[i]) && text[i] != ';' && text[i] != '"') ++i;
  return text.substr(0, i);
}

bool isOn(std::string_view value) { return value == "yes" || value == "on" || value == "true" || value == "1"; }

}  // namespace

bool SceneJob::followStatement(const char* bytes, std::size_t length) {
  node.pathRow = nullptr;
  const std::string_view text = skipBlanks(std::string_view(bytes, length));
  if (text.empty()) return false;
  switch (text[0]) {
    case 'c':
      if (startsWord(text, "createNode")) {
        endNode();
        const std::string_view type = firstWord(skipBlanks(text.substr(10)));
        if (!hasFileAttributes(type)) return false;
        node.open = true;
        node.type.assign(type);
        node.firstTexture = textureFiles.size();
        node.tiling = 0;
        node.frames = false;
        return false;
      }
      break;
    case 's':
      if (startsWord(text, "setAttr")) {
        if (!node.open) return false;
        // Flags and their values come before the attribute, which is quoted.
        std::string_view rest = skipBlanks(text.substr(7));
        while (!rest.empty() && rest[0] == '-') {
          rest = skipBlanks(rest.substr(firstWord(rest).size()));
          if (!rest.empty() && rest[0] != '"' && rest[0] != '-') rest = skipBlanks(rest.substr(firstWord(rest).size()));
        }
        // Only an attribute of the node at hand: ".name", not "other.name".
        if (rest.size() < 2 || rest[0] != '"' || rest[1] != '.') return false;
        const std::size_t close = rest.find('"', 1);
        if (close == std::string_view::npos) return false;
        const FileAttribute* row = findFileAttribute(node.type, rest.substr(2, close - 2));
        if (row == nullptr) return false;
        const std::string_view value = firstWord(skipBlanks(rest.substr(close + 1)));
        switch (row->role) {
          case AttributeRole::kTiling:
            node.tiling = value.size() == 1 && value[0] >= '0' && value[0] <= '9' ? value[0] - '0' : 0;
            return false;
          case AttributeRole::kFrameSwitch:
            node.frames = isOn(value);
            return false;
          case AttributeRole::kPath:
            node.pathRow = row;
            return true;
        }
        return false;
      }
      break;
    case 'a':
      if (startsWord(text, "addAttr")) return false;
      break;
    case 'r':
      if (startsWord(text, "rename")) return false;
      break;
    case 'l':
      if (startsWord(text, "lockNode")) return false;
      break;
    case '/':
      // Comments are no statements.
      if (text.size() > 1 && (text[1] == '/' || text[1] == '*')) return false;
      break;
    default:
      break;
  }
  endNode();
  return false;
}

void SceneJob::endNode() {
  if (!node.open) return;
  node.open = false;
  // The node's uvt and ufe hold for its names whichever came first.
  for (std::size_t j = node.firstTexture; j < textureFacts.size(); ++j) {
    DependencyFacts& facts = textureFacts[j];
    if (facts.nodeType != node.type) continue;
    const FileAttribute* row = findFileAttribute(facts.nodeType, facts.attribute);
    if (row != nullptr) applyNodeMarks(*row, node.tiling, node.frames, facts.tiling, facts.frames);
  }
}

int SceneJob::rewriteNodeAttribute() {
  const FileAttribute* row = node.pathRow;
  node.pathRow = nullptr;
  if (row == nullptr || std::strstr(statement, "-type \"string\"") == nullptr) return 0;
  const char* separator = findLastUnquoted(statement, ' ');
  if (separator == nullptr) return 0;
  const std::string text = trimmed(separator);
  if (namesNoFile(text)) return 0;

  const std::string bareName = recordTexture(text, factsOfAttribute(row->attribute));
  return putRewritten(std::string(statement, static_cast<std::size_t>(separator - statement)) + " \"" + bareName +
                      "\";\n");
}
