// What a render loads besides `file -r` scenes and `ftn` textures: variables in paths, the table's node attributes,
// names that stand for several files, paths from another machine; and the dry run.
#include <cstring>

#include "e2e/run_fixture.h"
#include "support/maya_binary.h"

using namespace std::string_literals;

// $NAME and ${NAME} in references and textures; an unset variable stays as written and its path is reported.
TEST_F(RunFixture, EnvironmentVariables) {
  how.environment["PROJ"] = temp.at("proj"), how.environment["LIB"] = temp.at("lib");
  how.environment["NOPE"] = std::nullopt;
  const std::string wood = windowsForm(temp.write("lib/wood.tif", "w"));
  const std::string grain = windowsForm(temp.write("lib/g.tif", "g"));
  const std::string set = proj("scenes/set.ma", kMa + ftn("$LIB/g.tif"));
  proj("scenes/shot.ma", kMa + "file -r -ns \"set\" \"$PROJ/scenes/set.ma\";\n" + ftn("${LIB}/wood.tif") +
                         ftn("$NOPE/${NOPE}.tif"));
  const std::string nope = windowsForm(at("$NOPE/${NOPE}.tif"));
  EXPECT_EQ(render().out, examining(at("scenes/shot.ma")) + examining(set) + copied("wood.tif") +
            unable(nope, "${NOPE}.tif") + copied("g.tif") + report({wood, nope, grain}, {set}) + kSubmitted);
  EXPECT_EQ(file("~shot.ma"), kMa + "file -r -ns \"set\" \"~set.ma\";\n" + bare("wood.tif") + bare("${NOPE}.tif"));
  EXPECT_EQ(file("vantle_render.sub"), description({"~set.ma", "wood.tif", "${NOPE}.tif", "g.tif", "~shot.ma"}));
}
// --help, --version anywhere; --dry-run anywhere: the whole tree is read (a reference or texture missing is counted),
// nothing is written into the working folder and nothing submitted.
TEST_F(RunFixture, DryRunHelpVersion) {
  const std::string shot = at("scenes/shot.ma"), set = proj("scenes/set.ma", kMa + ftn("sourceimages/wood.tif"));
  const std::string wood = proj("sourceimages/wood.tif", "w"), none = windowsForm(at("sourceimages/none.tif"));
  const std::string gone = windowsForm(at("scenes/gone.ma")), end = "\nDry run: nothing written, nothing submitted.\n";
  temp.write(work + "/mine.tif", "mine");
  const std::string wouldCopy = "File 'wood.tif' would be copied to current directory.\n";
  const struct { Names arguments; std::string scene, out; int status; } rows[] = {
      {{"-s", "1", "--help", "x.ma"}, "", kUsage, 0}, {{"--version", "--help"}, "", "vantleRender 0.1.0\n", 0},
      {{"-s", "1", "-e", "1", shot, "--dry-run"}, kMa + "file -r -ns \"s\" \"scenes/set.ma\";\n" + ftn("mine.tif") +
       ftn("sourceimages/wood.tif"), examining(shot) + examining(set) + "File 'mine.tif' found in current directory.\n"
       + wouldCopy + "File 'wood.tif' found in current directory.\n" + report({windowsForm(at("mine.tif")), wood, wood},
       {set}) + end, 0},
      {{"--dry-run", "-s", "1", "-e", "1", shot},
       kMa + "file -r -ns \"g\" \"scenes/gone.ma\";\nfile -r -ns \"s\" \"scenes/set.ma\";\n" +
       ftn("sourceimages/none.tif"), examining(shot) + "Unable to open '" + gone + "'\n" + examining(set) +
       unable(none, "none.tif") + wouldCopy + report({none, wood}, {gone, set}) + end, 2}};
  for (const auto& row : rows) {
    if (!row.scene.empty()) proj("scenes/shot.ma", row.scene);
    const ProgramResult result = run(row.arguments);
    EXPECT_EQ(result.out, row.out);
    EXPECT_EQ(result.status, row.status) << row.out;
    EXPECT_EQ(left(), Names{"mine.tif"});
  }
}
// Every path attribute of the table on a node of its type is staged as a texture is; the same attribute on another
// type, a camera's imn, a reference node's fn[0], and an attribute after the node ended are left alone.
TEST_F(RunFixture, NodeAttributes) {
  const std::pair<std::string, std::string> taken[] = {{"file", "ftn"}, {"psdFileTex", "ftn"}, {"movie", "ftn"},
      {"file", "euvt[2].eutn"}, {"imagePlane", "imn"}, {"AlembicNode", "fn"}, {"gpuCache", "cfn"},
      {"aiImage", "filename"}, {"aiStandIn", "dso"}, {"aiVolume", "filename"}, {"aiPhotometricLight", "ai_filename"},
      {"aiMaterialx", "filename"}, {"RedshiftProxyMesh", "fn"}, {"RedshiftNormalMap", "tex0"},
      {"RedshiftDomeLight", "tex0"}, {"RedshiftDomeLight", "tex1"}, {"PxrTexture", "filename"},
      {"mentalrayIblShape", "tx"}, {"xgmPalette", "xfn"}, {"mayaUsdProxyShape", "fp"}};
  const std::string alone[] = {
      "createNode camera -n \"c\";\n\tsetAttr \".imn\" -type \"string\" \"sourceimages/c.x\";\n",
      "createNode reference -n \"rRN\";\n\tsetAttr \".fn[0]\" -type \"string\" \"sourceimages/r.x\";\n",
      "createNode transform -n \"t\";\n\tsetAttr \".fn\" -type \"string\" \"sourceimages/t.x\";\n",
      "createNode AlembicNode -n \"a\";\nconnectAttr \"time1.o\" \"a.tm\";\n"
      "\tsetAttr \".fn\" -type \"string\" \"a.x\";\n",
      "createNode gpuCache -n \"g\";\n\tsetAttr \"other.cfn\" -type \"string\" \"sourceimages/g.x\";\n"};
  std::string scene = kMa, copy = kMa, out = examining(at("scenes/shot.ma"));
  Names paths, transfer;
  for (const auto& [type, attribute] : taken) {
    const std::string name = type + "." + std::to_string(paths.size()), node = "createNode " + type + " -n \"n\";\n"
        "\trename -uid \"ID\";\n\taddAttr -ci true -sn \"x\" -ln \"x\" -at \"bool\";\n\tsetAttr \"." + attribute + "\"";
    paths.push_back(proj("sourceimages/" + name, name)), transfer.push_back(name), out += copied(name);
    if (type == "xgmPalette" || type == "mayaUsdProxyShape")
      out += "WARNING: files that '" + paths.back() + "' names itself are not staged.\n";
    scene += node + " -type \"string\" \"sourceimages/" + name + "\";\n";
    copy += attribute == "ftn" ? node.substr(0, node.rfind('\t')) + bare(name) : node + " -type \"string\" \"" + name +
                                                                                     "\";\n";
  }
  for (const std::string& statement : alone) scene += statement, copy += statement;
  // A statement cut at the length limit does not end its node.
  const std::string longNode = "createNode gpuCache -n \"g\";\n\tsetAttr \".x\" -type \"string\" \"" +
                               std::string(40958, 'x') + "\";\n\tsetAttr \".cfn\" -type \"string\" \"";
  scene += longNode + "sourceimages/long.abc\";\n", copy += longNode + "long.abc\";\n";
  paths.push_back(proj("sourceimages/long.abc", "long.abc")), transfer.push_back("long.abc");
  out.insert(out.find('\n') + 1, "\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\nPlease send mail to "
                                  "render-support@example.com.\n"), out += copied("long.abc");
  for (const std::string name : {"c.x", "r.x", "t.x", "a.x", "g.x"}) proj("sourceimages/" + name, name);
  proj("scenes/shot.ma", scene);
  transfer.push_back("~shot.ma");
  EXPECT_EQ(render().out, out + report(paths, {}) + kSubmitted);
  EXPECT_EQ(file("~shot.ma"), copy);
  EXPECT_EQ(file("vantle_render.sub"), description(transfer));
  EXPECT_EQ(left().size(), paths.size() + 2);
}
// Absolute paths of the machine that saved the scene: found beside the scene, in the project folder, in its
// sourceimages/ (textures) or scenes/ (references), or not at all; each texture named by two nodes.
TEST_F(RunFixture, PathsFromAnotherMachine) {
  const std::string shot = at("shots/shot.ma"), gone = "Q:\\old\\t4.tif";
  const Names found = {proj("shots/r1.ma", kMa), proj("scenes/r2.ma", kMa), proj("shots/t1.tif", "1"),
                       proj("t2.tif", "2"), proj("sourceimages/t3.tif", "3")};
  proj("scenes/r1.ma", kMa), proj("sourceimages/t1.tif", "not this one");
  std::string scene = kMa, copy = kMa, out = examining(shot);
  for (int i = 1; i <= 2; ++i) {
    const std::string name = "r" + std::to_string(i) + ".ma";
    scene += "file -r -ns \"r\" \"Q:/old/" + name + "\";\n", copy += "file -r -ns \"r\" \"~" + name + "\";\n";
    out += "File 'Q:\\old\\" + name + "' not found; using '" + found[i - 1] + "'.\n";
  }
  std::string staged;
  for (int i = 1; i <= 8; ++i) {
    const std::string name = "t" + std::to_string((i + 1) / 2) + ".tif";
    scene += ftn("Q:/old/" + name), copy += bare(name);
    if (i < 7) out += "File 'Q:\\old\\" + name + "' not found; using '" + found[(i + 1) / 2 + 1] + "'.\n";
    staged += i >= 7 ? unable(gone, name) : i % 2 ? copied(name) : "File '" + name + "' found in current directory.\n";
  }
  temp.write("proj/shots/shot.ma", scene);
  EXPECT_EQ(run({"-s", "1", "-e", "1", shot}).out, out + examining(found[0]) + examining(found[1]) + staged +
            report({found[2], found[2], found[3], found[3], found[4], found[4], gone, gone}, {found[0], found[1]}) +
            kSubmitted);
  EXPECT_EQ(file("~shot.ma") + file("t1.tif") + file("t2.tif") + file("t3.tif"), copy + "123");
}
// Names that stand for several files: each node's files as staged, in order, in the entry's place; decoys stay.
TEST_F(RunFixture, TilesSequencesAndSiblings) {
  const auto node = [](const std::string& type, const std::string& before, const std::string& attribute,
                       const std::string& path, const std::string& after = "") {
    const std::string head = "createNode " + type + " -n \"n\";\n" + before, name = path.substr(path.rfind('/') + 1);
    std::string bareAfter = after;  // a path there is bare in the copy too
    if (after.find("\"sourceimages/") != std::string::npos) bareAfter.erase(after.find("\"sourceimages/") + 1, 13);
    return std::make_pair(head + "\tsetAttr \"." + attribute + "\" -type \"string\" \"" + path + "\";\n" + after,
                          head + (attribute == "ftn" ? bare(name) : "\tsetAttr \"." + attribute +
                                                       "\" -type \"string\" \"" + name + "\";\n") + bareAfter);
  };
  const std::string uvt = "\tsetAttr \".uvt\" ", s = "sourceimages/";
  const struct { std::pair<std::string, std::string> scene; Names files, decoys; } rows[] = {
      {node("file", "", "ftn", s + "stone.<UDIM>.tif"), {"stone.1001.tif", "stone.1002.tif"},
       {"stone.10x1.tif", "stone.12345.tif"}},
      {node("file", uvt + "1;\n", "ftn", s + "z_u0_v0.tif"), {"z_u0_v0.tif", "z_u1_v0.tif"}, {"z_u1.tif"}},
      {node("file", "", "ftn", s + "m.u1_v1.tif", uvt + "2;\n"), {"m.u1_v1.tif", "m.u2_v1.tif"}, {"m.u1_w1.tif"}},
      {node("file", uvt + "4;\n", "ftn", s + "e_1.tif", "\tsetAttr \".euvt[0].eutn\" -type \"string\" \"" + s +
            "e_2.tif\";\n"), {"e_1.tif", "e_2.tif"}, {"e_3.tif"}},
      {node("imagePlane", "\tsetAttr \".ufe\" yes;\n", "imn", s + "anim.0001.png"),
       {"anim.0001.png", "anim.0002.png", "anim.10.png"}, {"anim.png", "anim.0001.png.bak"}},
      {node("aiImage", "", "filename", s + "seq.<f>.exr"), {"seq.1.exr", "seq.25.exr"}, {"seq..exr"}},
      {node("aiVolume", "", "filename", s + "v.####.vdb"), {"v.0001.vdb"}, {"v.vdb"}},
      {node("file", "", "ftn", s + "rock.tif"), {"rock.tif", "rock.tx"}, {"rock.png"}},
      {node("file", "", "ftn", "Q:/old/p.<UDIM>.tif"), {"p.1001.tif"}, {}},
      {node("PxrTexture", "", "filename", s + "none.<UDIM>.tex"), {}, {"none.tex"}},  // reported, not transferred
      {node("file", uvt + "3;\n", "ftn", s + "w_1001_c.png"), {"w_1001_c.png", "w_1002_c.png", "w_1011_c.png"},
       {"w_2001_c.png", "w_1002_cc.png", "w_1002_c.png.bak"}}};  // in the referenced scene
  const std::string set = proj("scenes/set.ma", kMa + rows[std::size(rows) - 1].scene.first);
  std::string scene = kMa + "file -r -ns \"s\" \"scenes/set.ma\";\n", copy = kMa + "file -r -ns \"s\" \"~set.ma\";\n";
  std::string out = examining(at("scenes/shot.ma")) + examining(set), staging;
  Names staged, transfer = {"~set.ma"};
  for (const auto& row : rows) {
    if (&row != &rows[std::size(rows) - 1]) scene += row.scene.first, copy += row.scene.second;
    if (row.files.empty())
      staged.push_back(windowsForm(at(s + "none.<UDIM>.tex"))), staging += unable(staged.back(), "none.<UDIM>.tex");
    else if (row.files[0] == "p.1001.tif")
      // expanded before any is staged
      out += "File 'Q:\\old\\p.<UDIM>.tif' not found; using '" + windowsForm(at(s + "p.<UDIM>.tif")) + "'.\n";
    for (const std::string& name : row.decoys) proj(s + name, "decoy");
    for (const std::string& name : row.files)
      staged.push_back(proj(s + name, name)), transfer.push_back(name), staging += copied(name);
  }
  proj("scenes/shot.ma", scene);
  transfer.push_back("~shot.ma");
  EXPECT_EQ(render().out, out + staging + report(staged, {set}) + kSubmitted);
  EXPECT_EQ(file("~shot.ma"), copy);
  EXPECT_EQ(file("vantle_render.sub"), description(transfer));
  for (const std::string& name : transfer) EXPECT_TRUE(name[0] == '~' || file(name) == name) << name;
  EXPECT_EQ(left().size(), transfer.size() + 1);
}
// The same in binary scenes, in both widths: node types by form type, a plug-in's by the PLUG chunk's id, uvt and
// ufe from DBLE chunks, a variable in a path; paths overwritten in place. A camera's imn and fn[0] are left alone.
TEST_F(RunFixture, BinaryNodeAttributes) {
  how.environment["LIB"] = temp.at("lib");
  const auto dble = [](double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    std::string bytes;
    for (int shift = 56; shift >= 0; shift -= 8) bytes += static_cast<char>(bits >> shift & 0xFF);
    return bytes;
  };
  const std::string s = "sourceimages/", redshift = std::string("\0\x12\x34\x56", 4);
  const struct { std::string form, attribute, path, mark; double value; Names files; } rows[] = {
      {"RTFT", "ftn", s + "w_1001_c.png", "uvt", 3, {"w_1001_c.png", "w_1002_c.png"}},
      {"DIPL", "imn", s + "anim.0001.png", "ufe", 1, {"anim.0001.png", "anim.0002.png"}},
      {std::string("\0\x08\x26\x97", 4), "fn", "${LIB}/figure.abc", "", 0, {"figure.abc"}},
      {std::string("\x58\0\0\xC4", 4), "cfn", s + "bottle.abc", "", 0, {"bottle.abc"}},
      {redshift, "tex0", s + "n.png", "", 0, {"n.png"}}, {"DCAM", "imn", s + "cam.png", "", 0, {}},
      {"REFN", "fn[0]", s + "ref.ma", "", 0, {}},
      {"RTFT", "ftn", "Q:/old/far.png", "", 0, {"far.png"}},
      {"PSDT", "ftn", s + "rock.tif", "", 0, {"rock.tif", "rock.tx"}},
      {std::string("\0\x11\x5d\x17", 4), "filename", s + "c.<udim>.tx", "", 0, {"c.1001.tx", "c.1002.tx"}},
      {std::string("\x58\0\0\x95", 4), "fp", s + "cube.usda", "", 0, {"cube.usda"}}};
  for (const std::string name : {"w_2001_c.png", "anim.png", "cam.png", "ref.ma"}) proj(s + name, "decoy");
  for (const int width : {4, 8}) {
    const MayaBinary m{width};
    std::vector<std::string> scene = {m.head({m.chunk("VERS", "2024"), m.chunk("PLUG", "redshift4maya\0" "3.0\0"
        "RedshiftNormalMap\0"s + redshift)})}, copy = scene;
    std::string out = examining(at("scenes/shot.mb")) + "File 'Q:\\old\\far.png' not found; using '" +
                      windowsForm(at(s + "far.png")) + "'.\n";
    Names staged, transfer;
    for (const auto& row : rows) {
      const std::string bare = row.path.substr(row.path.rfind('/') + 1), field = row.files.empty() ? row.path :
          bare + std::string(row.path.size() - bare.size(), ' ');
      std::vector<std::string> marks;
      if (!row.mark.empty()) marks.push_back(m.attribute("DBLE", row.mark, dble(row.value)));
      const auto node = [&](const std::string& value) {
        std::vector<std::string> attributes = marks;
        attributes.insert(attributes.begin() + (row.mark == "ufe"), m.text(row.attribute, value));
        return m.node(row.form, "n", "", attributes);
      };
      scene.push_back(node(row.path)), copy.push_back(node(field));
      for (const std::string& name : row.files) {
        staged.push_back(row.path[0] == '$' ? windowsForm(temp.write("lib/" + name, name)) : proj(s + name, name));
        transfer.push_back(name), out += copied(name);
      }
    }
    out += "WARNING: files that '" + staged.back() + "' names itself are not staged.\n";
    proj("scenes/shot.mb", m.scene(scene));
    transfer.push_back("~shot.mb");
    EXPECT_EQ(render("w" + std::to_string(width), "shot.mb").out, out + report(staged, {}) + kSubmitted);
    EXPECT_EQ(file("~shot.mb"), m.scene(copy));
    EXPECT_EQ(file("vantle_render.sub"), description(transfer));
    work = "d" + std::to_string(width), temp.makeDir(work);
    EXPECT_EQ(run({"-s", "1", "-e", "1", at("scenes/shot.mb"), "--dry-run"}).status, 0);
    EXPECT_EQ(left(), Names{});
  }
}
