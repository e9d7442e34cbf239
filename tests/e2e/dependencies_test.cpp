// What a render loads besides `file -r` scenes and `ftn` textures: variables in paths, the table's node attributes,
// names that stand for several files, paths from another machine; and the dry run.
#include <algorithm>
#include <cctype>

#include "e2e/run_fixture.h"
#include "support/maya_binary.h"

using namespace std::string_literals;

// --help (the usage, then every other option and variable), --version anywhere; --dry-run anywhere: the whole tree is
// read (a reference or texture missing is counted), nothing is written into the working folder and nothing submitted.
TEST_F(RunFixture, DryRunHelpVersion) {
  const std::string shot = at("scenes/shot.ma"), set = proj("scenes/set.ma", kMa + ftn("sourceimages/wood.tif"));
  const std::string wood = proj("sourceimages/wood.tif", "w"), none = windowsForm(at("sourceimages/none.tif"));
  const std::string gone = windowsForm(at("scenes/gone.ma")), end = "\nDry run: nothing written, nothing submitted.\n";
  temp.write(work + "/mine.tif", "mine");
  const std::string wouldCopy = "File 'wood.tif' would be copied to current directory.\n";
  const std::string help = golden("help.txt");
  const struct { Names arguments; std::string scene, out; int status; } rows[] = {
      {{"-s", "1", "--help", "x.ma"}, "", help, 0}, {{"--version", "--help"}, "", "vantleRender 0.1.0\n", 0},
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
// Every path attribute of the table on a node of its type is staged as a texture is, in both formats (binary: node
// types by form type, a plug-in's by the PLUG chunk's id, uvt and ufe from DBLE chunks, paths overwritten in place);
// names that stand for several files give each node's files as staged, in order, in the entry's place; decoys stay.
// Left alone: a camera's imn, a reference node's fn[0], a path on another type, an attribute after the node ended.
// $NAME and ${NAME} in references and paths; an unset variable stays as written and its path is reported.
TEST_F(RunFixture, NodeAttributesTilesAndSequences) {
  how.environment["PROJ"] = temp.at("proj"), how.environment["LIB"] = temp.at("lib");
  how.environment["NOPE"] = std::nullopt;
  const std::string s = "sourceimages/", redshift = std::string("\0\x12\x34\x56", 4), rtft = "RTFT";
  // A node: its type, its binary form type (none: ASCII only), its values in order (paths, numbers or "yes"), the
  // files staged for it (none: reported as missing), files that stay; `alone`: not taken; `inSet`: in the props.
  struct Row {
    std::string type, form;
    std::vector<std::pair<std::string, std::string>> values;
    Names files, decoys = {};
    bool alone = false, inSet = false;
  };
  std::vector<Row> rows = {{"psdFileTex", "PSDT", {{"ftn", s + "paint.psd"}}, {"paint.psd"}},
      {"file", rtft, {{"ftn", s + "rock.tif"}}, {"rock.tif", "rock.tx"}, {"rock.png"}},
      {"movie", "", {{"ftn", s + "clip.mov"}}, {"clip.mov"}},
      {"file", "", {{"euvt[2].eutn", s + "tile.tif"}}, {"tile.tif"}},
      {"imagePlane", "DIPL", {{"ufe", "yes"}, {"imn", s + "anim.0001.png"}},
       {"anim.0001.png", "anim.0002.png", "anim.10.png"}, {"anim.png", "anim.0001.png.bak"}},
      {"AlembicNode", std::string("\0\x08\x26\x97", 4), {{"fn", "${LIB}/figure.abc"}}, {"figure.abc"}},
      {"gpuCache", std::string("\x58\0\0\xC4", 4), {{"cfn", s + "bottle.abc"}}, {"bottle.abc"}},
      {"aiImage", std::string("\0\x11\x5d\x17", 4), {{"filename", s + "c.<udim>.tx"}}, {"c.1001.tx", "c.1002.tx"}},
      {"aiImage", "", {{"filename", s + "seq.<f>.exr"}}, {"seq.1.exr", "seq.25.exr"}, {"seq..exr"}},
      {"aiStandIn", "", {{"dso", s + "stand.abc"}}, {"stand.abc"}},
      {"aiVolume", "", {{"filename", s + "v.####.vdb"}}, {"v.0001.vdb"}, {"v.vdb"}},
      {"aiPhotometricLight", "", {{"ai_filename", s + "lamp.ies"}}, {"lamp.ies"}},
      {"aiMaterialx", "", {{"filename", s + "look.mtlx"}}, {"look.mtlx"}},
      {"RedshiftProxyMesh", "", {{"fn", s + "mesh.rs"}}, {"mesh.rs"}},
      {"RedshiftNormalMap", redshift, {{"tex0", s + "n.png"}}, {"n.png"}},
      {"RedshiftDomeLight", "", {{"tex0", s + "dome0.hdr"}, {"tex1", s + "dome1.hdr"}}, {"dome0.hdr", "dome1.hdr"}},
      {"PxrTexture", "", {{"filename", s + "px.<UDIM>.tex"}}, {"px.1001.tex"}, {"px.tex"}},
      {"mentalrayIblShape", "", {{"tx", s + "ibl.hdr"}}, {"ibl.hdr"}},
      {"xgmPalette", "", {{"xfn", s + "hair.xgen"}}, {"hair.xgen"}},
      {"mayaUsdProxyShape", std::string("\x58\0\0\x95", 4), {{"fp", s + "cube.usda"}}, {"cube.usda"}},
      {"mayaUsdProxyShapeBase", "", {{"fp", s + "base.usda"}}, {"base.usda"}},
      {"pxrUsdReferenceAssembly", "", {{"fp", s + "set.usda"}}, {"set.usda"}},
      {"file", rtft, {{"ftn", s + "stone.<UDIM>.tif"}}, {"stone.1001.tif", "stone.1002.tif"},
       {"stone.10x1.tif", "stone.12345.tif"}},
      {"file", rtft, {{"uvt", "1"}, {"ftn", s + "z_u0_v0.tif"}}, {"z_u0_v0.tif", "z_u1_v0.tif"}, {"z_u1.tif"}},
      {"file", rtft, {{"ftn", s + "m.u1_v1.tif"}, {"uvt", "2"}}, {"m.u1_v1.tif", "m.u2_v1.tif"}, {"m.u1_w1.tif"}},
      {"file", rtft, {{"uvt", "4"}, {"ftn", s + "e_1.tif"}, {"euvt[0].eutn", s + "e_2.tif"}}, {"e_1.tif", "e_2.tif"},
       {"e_3.tif"}},
      {"file", rtft, {{"ftn", "Q:/old/p.<UDIM>.tif"}}, {"p.1001.tif"}},
      {"file", rtft, {{"ftn", "Q:/old/far.png"}}, {"far.png"}}, {"file", "", {{"ftn", "$NOPE/${NOPE}.tif"}}, {}},
      {"camera", "DCAM", {{"imn", s + "cam.png"}}, {}, {"cam.png"}, true},
      {"reference", "REFN", {{"fn[0]", s + "ref.ma"}}, {}, {"ref.ma"}, true},
      {"transform", "XFRM", {{"fn", s + "t.x"}}, {}, {"t.x"}, true},
      {"file", rtft, {{"uvt", "3"}, {"ftn", s + "w_1001_c.png"}}, {"w_1001_c.png", "w_1002_c.png", "w_1011_c.png"},
       {"w_2001_c.png", "w_1002_cc.png", "w_1002_c.png.bak"}, false, true},
      {"file", rtft, {{"ftn", "$LIB/g.tif"}}, {"g.tif"}, {}, false, true}};
  // Names close to the ones refused pass as before.
  for (const std::string name : {"console.tif", "COM10.png", "nul_x.tif", "lpt.tif", "~set.ma", "vantle_render.sub.tif",
                                 "tex..tif", ".hidden.tif", "a'b (2).tif"})
    rows.push_back({"file", rtft, {{"ftn", s + name}}, {name}});
  const std::string alone = "createNode AlembicNode -n \"a\";\nconnectAttr \"time1.o\" \"a.tm\";\n"
      "\tsetAttr \".fn\" -type \"string\" \"a.x\";\ncreateNode gpuCache -n \"g\";\n"
      "\tsetAttr \"other.cfn\" -type \"string\" \"sourceimages/g.x\";\n";
  // A statement cut at the length limit does not end its node.
  const std::string longNode = "createNode gpuCache -n \"g\";\n\tsetAttr \".x\" -type \"string\" \"" +
                               std::string(40958, 'x') + "\";\n\tsetAttr \".cfn\" -type \"string\" \"";
  const auto isNumber = [](const std::string& value) { return value == "yes" || std::isdigit(value[0]); };
  // Files that name files are staged under "~" + their names; the layers and documents hold none, so they are staged
  // as they are, with a warning; the collection file is one that names nothing.
  const auto asStaged = [](const std::string& name) {
    for (const std::string ext : {".usda", ".mtlx", ".xgen"})
      if (name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0) return "~" + name;
    return name;
  };
  const auto where = [&](const std::string& path, const std::string& name) {  // where a file the path names lies
    return path[0] == '$' ? windowsForm(temp.at("lib/" + name)) : windowsForm(at(s + name));
  };
  for (const Row& row : rows) {
    for (const std::string& name : row.decoys) proj(s + name, "decoy");
    for (const std::string& name : row.files) temp.write(row.values.back().second[0] == '$' ? "lib/" + name :
                                                         "proj/" + s + name, name);
  }
  proj(s + "a.x", "a.x"), proj(s + "g.x", "g.x"), proj(s + "long.abc", "long.abc");
  for (const int width : {0, 4, 8}) {  // 0: ASCII
    const MayaBinary m{width ? width : 4};
    const std::string ext = width ? ".mb" : ".ma", set = windowsForm(at("scenes/props" + ext));
    // The node as the scene holds it, or as its copy does.
    const auto node = [&](const Row& row, bool copy) {
      std::string text = "createNode " + row.type + " -n \"n\";\n\trename -uid \"ID\";\n"
                         "\taddAttr -ci true -sn \"x\" -ln \"x\" -at \"bool\";\n";
      std::vector<std::string> chunks;
      for (const auto& [attribute, value] : row.values) {
        const std::string base = asStaged(value.substr(value.rfind('/') + 1)), field = !copy || row.alone ? value :
            width ? base + std::string(value.size() - base.size(), ' ') : base;
        if (isNumber(value)) {
          text += "\tsetAttr \"." + attribute + "\" " + value + ";\n";
          chunks.push_back(m.dble(attribute, value == "yes" ? 1 : std::stod(value)));
        } else {
          text += attribute == "ftn" && field != value ? bare(field)
                                                       : "\tsetAttr \"." + attribute + "\" -type \"string\" \"" +
                                                             field + "\";\n";
          chunks.push_back(m.text(attribute, field));
        }
      }
      return width ? m.node(row.form, "n", "", chunks) : text;
    };
    std::vector<std::string> nodes[2], copies[2];  // the shot's, the props'
    std::string scan[2], late, staging;  // printed while each scene is read, after the walk, while staging
    Names staged, transfer{"~props" + ext};
    for (const bool inSet : {false, true}) {
      for (const Row& row : rows) {
        if (row.inSet != inSet || (width && row.form.empty())) continue;
        nodes[inSet].push_back(node(row, false)), copies[inSet].push_back(node(row, true));
        if (row.alone) continue;
        std::string path;
        for (const auto& value : row.values) path = isNumber(value.second) || !path.empty() ? path : value.second;
        const std::string base = path.substr(path.rfind('/') + 1);
        for (const std::string& name : row.files)
          staged.push_back(where(path, name)), transfer.push_back(asStaged(name)), staging += copied(asStaged(name));
        if (row.files.empty()) staged.push_back(windowsForm(at(path))), staging += unable(staged.back(), base);
        if (row.files.empty() && base.find('<') == std::string::npos) transfer.push_back(base);  // as named
        if (row.type.compare(0, 12, "mayaUsdProxy") == 0 ||
            row.type == "pxrUsdReferenceAssembly" || row.type == "aiMaterialx" || row.type == "RedshiftProxyMesh")
          staging += "WARNING: files that '" + staged.back() + "' names itself are not staged.\n";
        if (path[0] == 'Q')  // a name for several files is looked for when it is expanded, after the walk
          (base.find('<') == std::string::npos ? scan[inSet] : late) += "File '" + windowsForm(path) +
              "' not found; using '" + where(path, base) + "'.\n";
      }
      if (!inSet && !width) {  // said while the scene is read, before the paths it named are looked for
        scan[0].insert(0, "\nMAX_BUFFER_SIZE exceeded, parsing errors may have occured.\nPlease send mail to "
                          "render-support@example.com.\n");
        staged.push_back(where(s, "long.abc")), transfer.push_back("long.abc"), staging += copied("long.abc");
      }
    }
    // A scene of the nodes: the shot's first references the props; the ASCII shot ends with the statements alone.
    const auto scene = [&](std::vector<std::string> parts, bool shot, bool copy) {
      const std::string head = m.head({m.chunk("VERS", "2024"), m.chunk("PLUG", "redshift4maya\0" "3.0\0"
                                                                          "RedshiftNormalMap\0"s + redshift)});
      const std::string set = "$PROJ/scenes/props.mb", setCopy = "~props.mb" + std::string(set.size() - 9, ' ');
      if (width) parts.insert(parts.begin(), shot ? head + m.reference(copy ? setCopy : set, "s", 0, set) : head);
      std::string text = kMa + (shot ? "file -r -ns \"s\" \"" + (copy ? "~"s : "$PROJ/scenes/") + "props.ma\";\n" : "");
      for (const std::string& part : parts) text += part;
      return width ? m.scene(parts) : !shot ? text : text + alone + longNode + (copy ? "" : s) + "long.abc\";\n";
    };
    const std::string shot = scene(nodes[0], true, false), setText = scene(nodes[1], false, false);
    const std::string shotCopy = scene(copies[0], true, true), setCopy = scene(copies[1], false, true);
    proj("scenes/props" + ext, setText), proj("scenes/shot" + ext, shot), transfer.push_back("~shot" + ext);
    EXPECT_EQ(render("w" + std::to_string(width), "shot" + ext).out, examining(at("scenes/shot" + ext)) + scan[0] +
              examining(set) + scan[1] + late + staging + report(staged, {set}) + kSubmitted) << width;
    EXPECT_EQ(file("~shot" + ext), shotCopy) << width;
    EXPECT_EQ(file("~props" + ext), setCopy) << width;
    EXPECT_EQ(file("vantle_render.sub"), description(transfer)) << width;
    Names all{"vantle_render.sub"};  // and what is transferred, but the texture named with the unset variable
    for (const std::string& name : transfer) {
      if (name[0] != '$') all.push_back(name);
      const bool sceneCopy = name.rfind("~props", 0) == 0 || name.rfind("~shot", 0) == 0;
      EXPECT_TRUE(sceneCopy || name[0] == '$' || file(name) == name || file(name) == name.substr(1)) << name;
    }
    std::sort(all.begin(), all.end());
    EXPECT_EQ(left(), all) << width;
    temp.makeDir(work = "d" + std::to_string(width));
    // The missing textures (ASCII only) count.
    EXPECT_EQ(run({"-s", "1", "-e", "1", at("scenes/shot" + ext), "--dry-run"}).status, width ? 0 : 2);
    EXPECT_EQ(left(), Names{});
  }
}
