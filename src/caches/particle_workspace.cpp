#include "caches/particle_workspace.h"

#include <vector>

namespace {

constexpr std::string_view kParticlesRule = "particles";

struct Word {
  std::string text;  // escapes undone when quoted
  bool quoted;
};

// The MEL statements of the text, each as its words; `//` and `/* */`
// comments skipped, a quoted string one word.
std::vector<std::vector<Word>> statementsOf(std::string_view text) {
  std::vector<std::vector<Word>> statements(1);
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (text.compare(at, 2, "//") == 0) {
      at = text.find('\n', at);
    } else if (text.compare(at, 2, "/*") == 0) {
      at = text.find("*/", at + 2);
      if (at != std::string_view::npos) at += 2;
    } else if (c == ';') {
      statements.emplace_back(), ++at;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++at;
    } else if (c == '"') {
      Word word{"", true};
      for (++at; at < text.size() && text[at] != '"'; ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) ++at;
        word.text += text[at];
      }
      statements.back().push_back(word), ++at;
    } else {
      const std::size_t end = text.find_first_of(" \t\r\n;\"", at);
      statements.back().push_back({std::string(text.substr(at, end - at)), false});
      at = end;
    }
  }
  return statements;
}

std::string melQuoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string particlesRule(std::string_view workspaceMel) {
  std::string rule(kParticlesRule);
  for (const std::vector<Word>& words : statementsOf(workspaceMel)) {
    if (words.empty() || words[0].quoted || words[0].text != "workspace") continue;
    for (std::size_t i = 1; i + 2 < words.size(); ++i) {
      const bool fileRule = !words[i].quoted && (words[i].text == "-fr" || words[i].text == "-fileRule");
      if (fileRule && words[i + 1].quoted && words[i + 1].text == kParticlesRule && words[i + 2].quoted) {
        rule = words[i + 2].text;
      }
    }
  }
  return rule;
}

std::string stagedWorkspaceMel() {
  return "// The project of the render jobs is their working folder; its particle caches are staged in " +
         std::string(kStagedParticlesFolder) + ".\nworkspace -fr " + melQuoted(kParticlesRule) + " " +
         melQuoted(kStagedParticlesFolder) + ";\n";
}
