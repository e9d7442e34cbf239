// --report FILE: a JSON document, read here with the library, that agrees with what the run printed and left, for
// every outcome; standard output and the folder are the same as without it.
#include <nlohmann/json.hpp>

#include "e2e/run_fixture.h"

namespace {
using json = nlohmann::json;
// A text of the report as bytes: a string, or {"hex", "text"} when the bytes are not UTF-8.
std::string bytesOf(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  const std::string hex = value.at("hex");
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), 0, 16));
  return bytes;
}
bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
#ifdef _WIN32
const std::string kToolFails = "@exit /b 3";
#else
const std::string kToolFails = "exit 3";
#endif
}  // namespace

TEST_F(RunFixture, Report) {
  proj("sourceimages/wood.tif", "wood"), proj("lib/wood.tif", "other wood"), proj("scenes/set.ma", kMa + ftn("sourceimages/wood.tif"));
  for (const char* name : {"t.1001.tif", "t.1002.tif", "a.0001.png", "a.0002.png", "b\xe9.tif"}) {
#ifdef _WIN32
    if (std::string(name) == "b\xe9.tif") continue;  // no such name on Windows
#endif
    proj(std::string("sourceimages/") + name, name);
  }
  const struct {
    std::string scene, tool;
    Names extra, statuses, kinds;
    int status;
    std::string read = "statements";
  } rows[] = {
      {kMa + "file -r -ns \"s\" \"scenes/set.ma\";\n", "", {}, {"copied", "copied"}, {"reference", "file"}, 0},
      {kMa + ftn("sourceimages/none.tif"), "", {}, {"missing"}, {"file"}, 0},
      {kMa + ftn("sourceimages/wood.tif") + ftn("sourceimages/wood.tif") + "file -r -ns \"s\" \"scenes/gone.ma\";\n", "",
       {}, {"missing", "", ""}, {"reference", "file", "file"}, 2},  // stopped before staging
      {kMa + ftn("sourceimages/wood.tif"), "", {"--dry-run"}, {"would be copied"}, {"file"}, 0},
      {kMa + ftn("sourceimages/wood.tif"), kToolFails, {}, {"copied"}, {"file"}, 2},
      {kMa + "createNode file -n \"f\";\n\tsetAttr \".uvt\" 3;\n" + ftn("sourceimages/t.<UDIM>.tif") +
           "createNode imagePlane -n \"i\";\n\tsetAttr \".ufe\" yes;\n"
           "\tsetAttr \".imn\" -type \"string\" \"sourceimages/a.0001.png\";\n",
       "", {}, {"copied", "copied", "copied", "copied"}, {"tiles", "sequence"}, 0},
      {kMa + ftn("sourceimages/wood.tif") + ftn("lib/wood.tif"), "", {}, {"copied", "name collision"}, {"file", "file"},
       2},
      {kMa + "createNode xgmPalette -n \"x\";\n\tsetAttr \".xfn\" -type \"string\" \"sourceimages/wood.tif\";\n", "",
       {}, {"copied"}, {"file"}, 0},
      {"not a scene\n", "", {}, {}, {}, 0, "tokens"},
#ifndef _WIN32
      {kMa + ftn("sourceimages/b\xe9.tif"), "", {}, {"copied"}, {"file"}, 0},
#endif
  };
  int n = 0;
  for (const auto& row : rows) {
    proj("scenes/shot.ma", row.scene), submitTool(row.tool);
    Names arguments = {"-s", "1", "-e", "12", "-j", "5", at("scenes/shot.ma")};
    arguments.insert(arguments.end(), row.extra.begin(), row.extra.end());
    temp.makeDir(work = "plain" + std::to_string(n));
    const ProgramResult plain = run(arguments);
    const Names plainLeft = left();
    temp.makeDir(work = "reported" + std::to_string(n));
    const std::string reportPath = temp.at("report" + std::to_string(n++) + ".json");
    arguments.insert(arguments.begin() + 2, {"--report", reportPath});
    const ProgramResult result = run(arguments);
    SCOPED_TRACE(result.out);
    EXPECT_EQ(result.out, plain.out);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(left(), plainLeft);
    const json report = json::parse(readFile(reportPath));  // throws, failing the test, when it is not JSON

    EXPECT_EQ(report["version"], 1);
    EXPECT_EQ(report["exit_status"], result.status);
    EXPECT_EQ(report["dry_run"], !row.extra.empty());
    EXPECT_EQ(report["submit"]["called"], holds(result.out, "Calling vantle_submit"));
    const bool called = report["submit"]["called"];
    EXPECT_EQ(report["submit"]["status"], !called ? json(nullptr) : json(row.tool == kToolFails ? 3 : 0));
    EXPECT_EQ(report["jobs"].size(), 3u);  // 1-5, 6-10, 11-12
    for (const json& scene : report["scenes"]) EXPECT_TRUE(holds(result.out, examining(bytesOf(scene["path"]))));
    EXPECT_EQ(report["scenes"][0]["read"], row.read);
    Names warnings;  // the WARNING lines of standard output, in order
    for (std::size_t at = 0; (at = result.out.find("WARNING: ", at)) != std::string::npos; at += 9)
      warnings.push_back(result.out.substr(at + 9, result.out.find('\n', at) - at - 9));
    EXPECT_EQ(report["warnings"], json(warnings));
    Names statuses, kinds;
    for (const json& dependency : report["dependencies"]) {
      kinds.push_back(dependency["kind"]);
      for (const json& file : dependency["files"]) {
        const std::string name = bytesOf(file["name"]), status = file["status"].is_null() ? "" : file["status"];
        statuses.push_back(status);
        const bool here = status == "copied" || status == "found";
        EXPECT_EQ(file["size"], here ? json(readFile(inWork(name)).size()) : status == "missing" ? json() : file["size"]);
        if (dependency["kind"] == "reference" || status == "name collision" || status.empty()) continue;
        EXPECT_TRUE(holds(result.out, status == "missing" ? "' to '" + name + "'\n"
                                                          : "File '" + name + "' " + status + " to current"));
      }
    }
    EXPECT_EQ(statuses, row.statuses);
    EXPECT_EQ(kinds, row.kinds);
    std::string transfer;
    for (const json& entry : report["transfer"]) transfer += (transfer.empty() ? "" : ", ") + bytesOf(entry);
    const bool described = holds(result.out, "Calling");
    EXPECT_TRUE(!described || holds(file("vantle_render.sub"), "transfer_input_files = " + transfer + "\n"));
    if (holds(row.scene, "\xe9")) {
      EXPECT_EQ(bytesOf(report["transfer"][0]), "b\xe9.tif");
      EXPECT_TRUE(report["transfer"][0].contains("hex"));
    }
  }
  for (const std::string& name : temp.list()) EXPECT_FALSE(holds(name, ".partial")) << name;
}
