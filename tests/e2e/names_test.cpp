// Names a scene holds that the run must not put into the working folder or the description: refused in both
// formats, as a texture, as a reference and as a table attribute, with status 2, nothing staged and no description
// (names close to them are among those the node attribute table stages). The stand-in submit tool sees an injected
// line as a failed submission.
#include "e2e/run_fixture.h"
#include "support/maya_binary.h"

namespace {
const std::string kImageNode = "createNode aiImage -n \"img\";\n\tsetAttr \".filename\" -type \"string\" ";
// A Maya binary scene naming the path as a texture ("ftn": a file node's ftn), as an image node's file name
// ("filename") or as a reference.
std::string binary(const std::string& marker, const std::string& path) {
  const MayaBinary m{4};
  const std::string aiImage("\x00\x11\x5D\x17", 4);
  return m.scene({m.head({m.chunk("VERS", "2024")}), marker == "ftn" ? m.node("RTFT", "tex", "", {m.text("ftn", path)})
      : marker == "filename" ? m.node(aiImage, "img", "", {m.text("filename", path)}) : m.reference(path, "n", 0)});
}
std::string staged(const std::string& dependency, const std::string& name) {
  return "ERROR: '" + dependency + "' cannot be staged under the name '" + name + "'.\n";
}
}  // namespace

TEST_F(RunFixture, RefusedNames) {
  enum : unsigned { kAsciiTexture = 1, kBinaryTexture = 2, kAsciiReference = 4, kBinaryReference = 8,
                    kAsciiAttribute = 16, kBinaryAttribute = 32 };  // an image node's file name, from the table
  const unsigned all = 63, textures = 51;
  // A trailing '#' stands for the scene's format letter.
  struct Row { std::string name; unsigned in; };
  const Row rows[] = {{"a.tif\nqueue 1000\n#", all}, {"b,c.tif", all}, {"C:evil.tif", all}, {"tex.tif:hidden", all},
      {"a*.tif", all}, {"a?.tif", all}, {"a\"b.tif", all}, {"a<b.tif", all}, {"b>a.tif", all}, {"a|b.tif", all},
      {"a\x01.tif", all}, {"a\x1f.tif", all}, {"a\x7f.tif", all}, {"a\tb.tif", all}, {"tex.tif.", all},
      {".", all}, {"..", all}, {"", textures}, {"CON", textures}, {"nul.tif", textures}, {"Com1.png", textures},
      {"lpt9.tar.gz", textures}, {"aux .tif", textures}, {"vantle_render.sub", textures}, {"vantle_render.lock", textures},
      {"Vantle_Render.SUB", textures}, {"VANTLE_RENDER.4711-3.PARTIAL", textures}, {"~Shot.m#", textures},
      {" tex.tif", textures},
      {"tex.tif ", kBinaryTexture | kBinaryAttribute}};  // a binary path is whole (the ASCII reader trims it)
  int count = 0;
  for (const Row& row : rows) {
    for (unsigned kind = 1; kind <= kBinaryAttribute; kind <<= 1) {
      if ((row.in & kind) == 0) continue;
      const bool attribute = kind >= kAsciiAttribute, texture = kind <= kBinaryTexture || attribute;
      const bool isBinary = kind == kBinaryTexture || kind == kBinaryReference || kind == kBinaryAttribute;
      std::string name = row.name;
      if (!name.empty() && name.back() == '#') name.back() = isBinary ? 'b' : 'a';
      const std::string path = (texture ? "sourceimages/" : "scenes/") + name, shot = isBinary ? "shot.mb" : "shot.ma";
      const std::string scene =
          isBinary ? binary(attribute ? "filename" : texture ? "ftn" : "FREFFREF", path)
                   : kMa + (attribute ? kImageNode : texture ? kFtn : "file -r -dr 1 ") + "\"" + path + "\";\n";
      proj("scenes/" + shot, scene);
      const ProgramResult result = render("w" + std::to_string(count++), shot);
      const std::string dependency = windowsForm(at((texture ? "sourceimages/" : "scenes/") + name));
      EXPECT_EQ(result.out, examining(at("scenes/" + shot)) + staged(dependency, texture ? name : "~" + name))
          << kind << " " << name;
      EXPECT_EQ(result.status, 2) << kind << " " << name;
      EXPECT_EQ(left(), Names{"~" + shot}) << kind << " " << name;  // the scene's own copy, whole
    }
  }
}

// Two referenced scenes whose copies' names differ in case only would be one file on the render nodes: the second is
// refused before it is opened, in both formats.
TEST_F(RunFixture, SceneCopiesDifferingInCaseOnly) {
  const std::string first = proj("lib/a/X.ma", kMa), second = windowsForm(at("lib/b/x.ma"));
  proj("lib/b/x.ma", kMa + "// another scene\n");
  for (const int width : {0, 4, 8}) {
    const MayaBinary m{width ? width : 4};
    const std::string shot = width ? "shot.mb" : "shot.ma";
    proj("scenes/" + shot, width ? m.scene({m.head({m.chunk("VERS", "2024")}), m.reference("lib/a/X.ma", "a", 0),
                                            m.reference("lib/b/x.ma", "b", 0)})
                                 : kMa + "file -r -ns \"a\" \"lib/a/X.ma\";\nfile -r -ns \"b\" \"lib/b/x.ma\";\n");
    const ProgramResult result = render("w" + std::to_string(width), shot);
    EXPECT_EQ(result.out, examining(at("scenes/" + shot)) + examining(first) + staged(second, "~x.ma")) << width;
    EXPECT_EQ(result.status, 2) << width;
    EXPECT_EQ(left(), (Names{"~X.ma", "~" + shot})) << width;
  }
}

// The command-line scene's copy stands in every job's Arguments line: no blank in it, nothing written.
TEST_F(RunFixture, RefusedSceneNames) {
  const std::string space = "' cannot be passed to the render jobs: its name holds a space.\n";
  std::vector<std::pair<std::string, std::string>> rows = {{"my shot.ma", space}, {"a,b.ma", ""}};
#ifndef _WIN32
  rows.push_back({"my\tshot.ma", space}), rows.push_back({"shot.ma.", ""});
#endif
  for (const auto& [name, message] : rows) {
    proj("scenes/" + name, kMa + ftn("wood.tif"));
    const ProgramResult result = render("w-" + name, name);
    EXPECT_EQ(result.out, message.empty() ? staged(at("scenes/" + name), "~" + name) : "ERROR: '" + at("scenes/" +
              name) + message) << name;
    EXPECT_EQ(result.status, 2) << name;
    EXPECT_EQ(left(), Names{}) << name;
  }
}

// The stand-in tool takes what the program writes, and nothing slipped in after the header; a folder on the transfer
// line when it lies in the working folder and holds only folders and plain files. A refused folder is named.
TEST_F(RunFixture, SubmitToolTakesWhatTheProgramWritesOnly) {
  temp.write(work + "/~shot.ma", kMa), temp.write(work + "/wood.tif", "wood"), temp.write("outside/a.bif", "bif");
  temp.write(work + "/liquid/voxel_liquid/voxel_liquid_volume.0052.bif", "bif"), temp.makeDir(work + "/liquid/empty");
  const std::string job = "\n\nArguments = -rd . -im Frame -s 1.0000 -e 1.0000 -b 1.0000 ~shot.ma\nQueue\n";
  const std::string transfer = "transfer_input_files = wood.tif, ~shot.ma";
  // The description, its status, the folder it names.
  std::vector<std::tuple<std::string, int, std::string>> rows = {
      {description({"wood.tif", "~shot.ma"}, {"1", "10", "11", "20"}), 0, ""}, {transfer + job, 0, ""},
      {kHeader + transfer + job + job + job, 0, ""}, {kHeader + transfer + "\nqueue 1000\n#" + job, 2, ""},
      {kHeader + transfer + "\nexecutable = evil.bat" + job, 2, ""}, {kHeader + transfer + "\n#" + job, 2, ""},
      {kHeader + transfer + job + "\n", 2, ""},
      {kHeader + transfer + job + "\n#, ~shot.ma" + job, 2, ""}};  // a whole job slipped in
  Names folders = {"liquid", "missing", ".", "..", "../outside"};
#ifndef _WIN32
  temp.makeDir(work + "/deep/sub"), temp.makeDir(work + "/piped");
  ASSERT_EQ(symlink(temp.at("outside").c_str(), inWork("linked").c_str()), 0);
  ASSERT_EQ(symlink(temp.at("outside/a.bif").c_str(), inWork("deep/sub/a.bif").c_str()), 0);
  ASSERT_EQ(mkfifo(inWork("piped/pipe").c_str(), 0600), 0);
  folders.insert(folders.end(), {"linked", "deep", "piped"});
#endif
  for (const std::string& folder : folders)
    rows.emplace_back(description({folder, "~shot.ma"}), folder == "liquid" ? 0 : 2, folder == "liquid" ? "" : folder);
  for (const auto& [text, status, named] : rows) {
    temp.write(work + "/vantle_render.sub", text);
    const ProgramResult result = runProgram({VANTLE_SUBMIT_EXE, {"vantle_render.sub"}, temp.at(work), {}});
    EXPECT_EQ(result.status, status) << text << result.err;
    EXPECT_TRUE(named.empty() || result.err.find("'" + named + "'") != std::string::npos) << result.err;
  }
}
