// Binary scenes read by their structure, as Maya writes them in both widths; malformed ones read token by token after
// a warning; referenced files that are no Maya scene copied as they are, from binary and ASCII scenes alike.
#include "e2e/run_fixture.h"
#include "support/maya_binary.h"

namespace {
using namespace std::string_literals;
// Files that a scene references without being Maya scenes; each holds what a printable-run reader would follow.
const std::pair<std::string, std::string> kForeign[] = {
    {"cache/anim.abc", "Ogawa\0\xff\x01\0FREFFREF\0scenes/x.ma\0ftn\0y.tif"s},
    {"fbx/mesh.fbx", "Kaydara FBX Binary  \0\x1a\0ftn\0C:/a/b.tif\0"s},
    {"notes/read me.txt", "v 1 2 3\n# ftn maps/x.tif FREFFREF ../y.ma\n"}};
// A path a scene names and what the copy names instead, padded with spaces to the path's length where shorter.
struct Field {
  std::string path, name;
  std::string copy() const {
    return name + std::string(path.size() > name.size() ? path.size() - name.size() : 0, ' ');
  }
};
}  // namespace

TEST_F(RunFixture, BinaryScenesByStructure) {
  for (const auto& [name, bytes] : kForeign) proj(name, bytes);
  const std::string maple = "\xC3\xA9rable-\xE6\x9C\xA8.tif", clip = proj("2024/clip.tif", "clip"),
                    mapleFile = proj("sourceimages/" + maple, "m");
  proj("sourceimages/wood.tif", "wood"), proj("$LIB/stone.tif", "stone");
  const std::string projW = windowsForm(temp.at("proj")), notes = temp.at("proj/notes/read me.txt");
  for (const int width : {4, 8}) {
    const MayaBinary m{width};
    proj("ball.mb", m.scene({m.head({m.chunk("VERS", "2024")})}));
    // Reference chunks of 76 bytes (short paths): their size's low byte is the letter 'L'.
    const std::vector<Field> refs = {{"ball.mb", "~ball.mb"}, {"./cache/anim.abc", "~anim.abc"},
        {"../proj/fbx/mesh.fbx", "~mesh.fbx"}, {notes, "~read me.txt"}},
        files = {{"./sourceimages/wood.tif", "wood.tif"}, {"$LIB/stone.tif", "stone.tif"}, {"2024/clip.tif", "clip.tif"},
                 {"sourceimages/" + maple, maple}};
    const auto scene = [&](bool copy) {
      std::vector<std::string> top = {m.head({m.chunk("VERS", "2024"), m.chunk("PLUG", "mtoa\0" "5.0\0"
          "aiImage\0\0\x11\x5d\x17"s), m.chunk("LUNI", "cm")})};
      for (const Field& f : refs)
        top.push_back(m.reference(copy ? f.copy() : f.path, "ns", f.path.size() < 65 ? 65 - f.path.size() : 0, f.path));
      const char* forms[] = {"RTFT", "PSDT", "RTMV", "RTFT"};
      for (std::size_t i = 0; i < files.size(); ++i)
        top.push_back(m.node(forms[i], "tex" + std::to_string(i), "", {m.text("ftn", copy ? files[i].copy()
            : files[i].path), m.attribute("DBLE", "uvt", "@\x08\0\0\0\0\0\0"s)}));
      top.push_back(m.node("XFRM", "leftnostril_ctrl", "head_grp", {m.text("softness", "maps/soft.tif"),
                                                                    m.text("ftn", "maps/not_a_file_node.tif")}));
      top.push_back(m.node("REFN", "nsRN", "", {m.text("fn[0]", "C:/old/ball.mb")}));
      top.push_back(m.group("LIS", "CONS", {m.chunk("CONN", "tex0.ftn\0ball.mb\0"s)}));
      top.push_back(m.head({m.chunk("INCL", "ball.mb\0./cache/anim.abc\0"s)}));
      return m.scene(top);
    };
    const std::string shot = scene(false);
    ASSERT_EQ(shot[shot.find("FREF" + m.sizeField(76)) + 3 + m.sizeField(0).size()], 'L');
    proj("scenes/shot.mb", shot);
    const Names scenes{projW + "\\ball.mb", projW + "\\.\\cache\\anim.abc", projW + "\\..\\proj\\fbx\\mesh.fbx",
                       windowsForm(notes)},
        textures{projW + "\\.\\sourceimages\\wood.tif", projW + "\\$LIB\\stone.tif", clip, mapleFile};
    std::string out = examining(at("scenes/shot.mb"));
    for (const std::string& s : scenes) out += examining(s);
    for (const std::string& t : {"wood.tif"s, "stone.tif"s, "clip.tif"s, maple}) out += copied(t);
    EXPECT_EQ(render("w" + std::to_string(width), "shot.mb").out, out + report(textures, scenes) + kSubmitted);
    EXPECT_EQ(file("~shot.mb"), scene(true)) << width;  // well formed, naming ~ball.mb whole
    EXPECT_EQ(file("~ball.mb"), readFile(at("ball.mb")));
    for (const auto& [name, bytes] : kForeign) EXPECT_EQ(file("~" + name.substr(name.find('/') + 1)), bytes) << name;
    EXPECT_EQ(file("vantle_render.sub"), description({"~ball.mb", "~anim.abc", "~mesh.fbx", "~read me.txt", "wood.tif",
        "stone.tif", "clip.tif", maple, "~shot.mb"}));
    // Cut short, or a chunk's size running past its group: a warning, then the scene read token by token as ever.
    const std::string path = "sourceimages/wood.tif";
    std::string cut = m.scene({m.head({m.chunk("VERS", "2024")}), m.node("RTFT", "tex", "", {m.text("ftn", path)})});
    std::string overrun = cut;
    cut.resize(cut.size() - 2);
    overrun[overrun.find("STR ") + 3 + m.sizeField(0).size()] += 0x40;
    for (std::string bad : {cut, overrun}) {
      proj("scenes/shot.mb", bad);
      const std::string shot = at("scenes/shot.mb");
      EXPECT_EQ(render(work + (bad == cut ? "cut" : "overrun"), "shot.mb").out, examining(shot) + malformed(shot) +
                copied("wood.tif") + report({windowsForm(at(path))}, {}) + kSubmitted);
      EXPECT_EQ(file("~shot.mb"), bad.replace(bad.find(path), path.size(), "wood.tif" + std::string(13, ' ')));
    }
  }
  // From an ASCII scene: the same files copied as they are, nothing read from them.
  proj("scenes/shot.ma", "//Maya ASCII 2020 scene\nfile -r -typ \"Alembic\" \"cache/anim.abc\";\nfile -r -typ \"FBX\" "
       "\"fbx/mesh.fbx\";\nfile -r -ns \"n\" \"notes/read me.txt\";\n");
  Names scenes;
  std::string out = examining(at("scenes/shot.ma"));
  for (const auto& [name, bytes] : kForeign) scenes.push_back(windowsForm(at(name))), out += examining(scenes.back());
  EXPECT_EQ(render("ascii", "shot.ma").out, out + report({}, scenes) + kSubmitted);
  for (const auto& [name, bytes] : kForeign) EXPECT_EQ(file("~" + name.substr(name.find('/') + 1)), bytes) << name;
}
