// The particles rule of a project's workspace.mel.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "caches/particle_workspace.h"

TEST(ParticleWorkspace, ParticlesRule) {
  const std::string rules = "//Maya 2024 Project Definition\n\nworkspace -fr \"scene\" \"scenes\";\n"
                            "workspace -fr \"fileCache\" \"cache/nCache\";\n";
  const std::pair<std::string, std::string> rows[] = {{"", "particles"}, {rules, "particles"},
      {rules + "workspace -fr \"particles\" \"./\";\nworkspace -fr \"images\" \"images\";\n", "./"},
      {"workspace -fileRule \"particles\" \"cache/particles\";", "cache/particles"},
      {"workspace -fr \"particles\" \"a\";\r\nworkspace -fr \"particles\" \"b\";\r\n", "b"},
      {"// particles\nworkspace -fr \"particles\" \"a\"; // workspace -fr \"particles\" \"old\";\n", "a"},
      {"/* workspace -fr \"particles\" \"old\"; */ workspace -fr \"scene\" \"particles\";", "particles"},
      {"workspace -fr \"particles\" \"my \\\"dir\\\"; x\";", "my \"dir\"; x"},
      {"workspace -fr \"scene\" \"scenes\" -fr \"particles\" \"p\";", "p"},
      {"workspace -fr \"particles\" \"\";", ""}, {"workspace -fr \"Particles\" \"x\";", "particles"},
      {"print \"workspace -fr \\\"particles\\\" \\\"no\\\"\";", "particles"},
      {"workspace -fr \"particles\"", "particles"}};
  for (const auto& [text, rule] : rows) EXPECT_EQ(particlesRule(text), rule) << text;
}
