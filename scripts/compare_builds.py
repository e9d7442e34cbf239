#!/usr/bin/env python3
"""Runs two builds of vantleRender over the same generated scene trees and
compares everything each run leaves: standard output and error, the exit
status, every file under the tree's folder (the working folder with its
scene copies, textures, description and report, a report written outside
it, and what the stand-in submit tool noted), names, bytes and modes.

Started by scripts/compare-builds.sh, which finds the stand-in submit tool.
Each tree is made from the seed and its number alone, in a folder of its
own; the old build runs in it first, the folder is moved aside, the tree is
laid out again at the same path and the new build runs there, so every path
the runs print is the same. A tree whose runs differ is kept for
inspection.

By default no scene of a tree is reached twice: the command-line scene
references scenes that reference nothing further (a scene two levels down
is scanned again by the level above it). --with-repeats also makes trees
that meet scenes more than once: chains, diamonds, cycles through a
referenced scene, a scene referenced twice.
"""

import argparse
import os
import random
import shlex
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
from concurrent.futures import ProcessPoolExecutor

# ------------------------------------------------------------------ the tree


class Tree:
    """The files of one generated tree, the command line and environment."""

    def __init__(self, root):
        self.root = root
        self.files = {}  # path relative to root -> bytes
        self.modes = {}  # path relative to root -> mode, for executables
        self.dirs = set()  # empty folders to make
        self.arguments = []
        self.env = {}
        self.features = set()  # what the generator put in, for the summary

    def add(self, relative, data, mode=None):
        if isinstance(data, str):
            data = data.encode("utf-8", "surrogateescape")
        self.files[relative] = data
        if mode is not None:
            self.modes[relative] = mode

    def has(self, relative):
        return relative in self.files

    def lay_out(self, at):
        os.makedirs(at)
        for folder in sorted(self.dirs):
            os.makedirs(os.path.join(at, folder), exist_ok=True)
        for relative, data in sorted(self.files.items()):
            path = os.path.join(at, relative)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(data)
            if relative in self.modes:
                os.chmod(path, self.modes[relative])


def parent(folder):
    return os.path.dirname(folder)


# ------------------------------------------------------- binary scenes (IFF)


class MayaBinary:
    """Groups and chunks as a Maya binary scene lays them out: FOR4 with
    u32 sizes and padding to 4, FOR8 with 4 ignored bytes, a u64 size and
    padding to 8."""

    def __init__(self, width):
        self.width = width

    def size_field(self, size):
        if self.width == 8:
            return b"\0\0\0\x07" + struct.pack(">Q", size)
        return struct.pack(">I", size)

    def chunk(self, tag, data):
        pad = (self.width - len(data) % self.width) % self.width
        return tag + self.size_field(len(data)) + data + b"\0" * pad

    def group(self, kind, form, children):
        body = form + b"".join(children)
        tag = kind if kind == b"PROP" else kind + str(self.width).encode()
        return tag + self.size_field(len(body)) + body

    def scene(self, children):
        return self.group(b"FOR", b"Maya", children)

    def head(self, chunks):
        return self.group(b"FOR", b"HEAD", chunks)

    def attribute(self, tag, name, value):
        return self.chunk(tag, name + b"\0\x01" + value)

    def text(self, name, value):
        return self.attribute(b"STR ", name, value + b"\0")

    def double(self, name, value):
        return self.attribute(b"DBLE", name, struct.pack(">d", value))

    def node(self, form, name, attributes):
        crea = self.chunk(b"CREA", b"\0" + name + b"\0")
        return self.group(b"FOR", form, [crea] + attributes)

    def reference(self, path, ns, fill):
        return self.group(b"FOR", b"FRDI", [self.chunk(b"FRDI", b"\0\0\0\x01" + path + b"\0")]) + self.group(
            b"FOR", b"FREF", [self.chunk(b"FREF", path + b"\0" + ns + b"\0\x01\x02" + ns + b"RN\0" + b"\0" * fill)])


# Form types of node types with a fixed id; the others come from the PLUG chunk.
FIXED_IDS = {
    "file": b"RTFT", "psdFileTex": b"PSDT", "movie": b"RTMV", "imagePlane": b"DIPL",
    "AlembicNode": struct.pack(">I", 0x00082697), "gpuCache": struct.pack(">I", 0x580000C4),
    "mayaUsdProxyShape": struct.pack(">I", 0x58000095), "mentalrayIblShape": struct.pack(">I", 0x00102E55),
    "aiImage": struct.pack(">I", 0x00115D17), "aiStandIn": struct.pack(">I", 0x00115C01),
    "aiVolume": struct.pack(">I", 0x00115C05), "aiPhotometricLight": struct.pack(">I", 0x00115C87),
    "aiMaterialx": struct.pack(">I", 0x00115D9C), "PxrTexture": struct.pack(">I", 0x001012DB),
}
PLUGIN_IDS = {
    "RedshiftProxyMesh": 0x0013A101, "RedshiftNormalMap": 0x0013A102, "RedshiftDomeLight": 0x0013A103,
    "xgmPalette": 0x0013A201,
}

# The node types and attributes that name files.
ATTRIBUTE_ROWS = [
    ("file", "ftn"), ("psdFileTex", "ftn"), ("movie", "ftn"), ("imagePlane", "imn"), ("AlembicNode", "fn"),
    ("gpuCache", "cfn"), ("aiImage", "filename"), ("aiStandIn", "dso"), ("aiVolume", "filename"),
    ("aiPhotometricLight", "ai_filename"), ("aiMaterialx", "filename"), ("RedshiftProxyMesh", "fn"),
    ("RedshiftNormalMap", "tex0"), ("RedshiftDomeLight", "tex0"), ("RedshiftDomeLight", "tex1"),
    ("PxrTexture", "filename"), ("mentalrayIblShape", "tx"), ("xgmPalette", "xfn"), ("mayaUsdProxyShape", "fp"),
]

# ------------------------------------------------------------------- scenes


class Dependency:
    def __init__(self, path, node_type=None, attribute=None, marks=None, ns=None):
        self.path = path  # as written in the scene
        self.node_type = node_type  # None for a reference
        self.attribute = attribute
        self.marks = marks or {}  # "uvt": int, "ufe": bool, "first": bool (set before the path)
        self.ns = ns


class Scene:
    def __init__(self, relative, kind):
        self.relative = relative  # from the tree's root
        self.kind = kind  # ascii, binary4, binary8, malformed4, malformed8, other, empty
        self.references = []
        self.attributes = []
        # Statements and tokens that the readers take in ways of their own (a
        # path split over lines, a commented-out texture, a token holding
        # "ftn" by chance): they name files that are not there.
        self.quirks = True

    @property
    def folder(self):
        return parent(self.relative)

    @property
    def name(self):
        return os.path.basename(self.relative)


def render_ascii(scene, rng):
    out = ["//Maya ASCII 2024 scene", "//Name: " + scene.name, "//Codeset: UTF-8"]
    for dep in scene.references:
        typ = "mayaBinary" if dep.path.endswith(".mb") else "mayaAscii"
        if rng.random() < 0.4:
            out.append('file -rdi 1 -ns "%s" -rfn "%sRN" -op "v=0;" -typ "%s" "%s";' % (dep.ns, dep.ns, typ, dep.path))
        head = 'file -r -ns "%s" -dr 1 -rfn "%sRN" -op "v=0;" -typ "%s"' % (dep.ns, dep.ns, typ)
        out.append(head + ("\n\t\t " if rng.random() < 0.5 else " ") + '"%s";' % dep.path)
    out += ['requires maya "2024";', "currentUnit -l centimeter -a degree -t film;",
            'fileInfo "application" "maya";', 'createNode transform -n "root";',
            '\tsetAttr ".t" -type "double3" 0 6.5 18 ;']
    if rng.random() < 0.05:  # a scene larger than the readers' blocks
        row = '\tsetAttr ".pt[%d:%d]" -type "float3" ' + "0.25 -1.5 3 " * 20 + ";"
        out += [row % (i, i + 20) for i in range(0, rng.choice([2000, 6000]), 20)]
    if rng.random() < 0.03:  # a statement past the statement buffer
        out.append('\tsetAttr ".fc[0:9999]" -type "polyFaces" ' + "f 3 1 2 3 " * 5000 + ";")
    count = 0
    for dep in scene.attributes:
        count += 1
        node = "%s%d" % (dep.node_type or "transform", count)
        if dep.node_type is None:  # ".ftn" counts on any node
            out.append('createNode transform -n "%s";' % node)
        else:
            out.append('createNode %s -n "%s";' % (dep.node_type, node))
        out.append('\trename -uid "%08X-4B7D-1E90-6A2F-0C8B5D4E%04X";' % (rng.getrandbits(32), count))
        marks = []
        if "uvt" in dep.marks:
            marks.append('\tsetAttr ".uvt" %d;' % dep.marks["uvt"])
        if "ufe" in dep.marks:
            marks.append('\tsetAttr ".ufe" %s;' % ("yes" if dep.marks["ufe"] else "no"))
        if dep.marks.get("first"):
            out += marks
        statement = '\tsetAttr ".%s" -type "string"' % dep.attribute
        split = scene.quirks and rng.random() < 0.15
        out.append(statement + ("\n\t\t" if split else " ") + '"%s";' % dep.path)
        for tile, path in dep.marks.get("euvt", []):
            out.append('\tsetAttr ".euvt[%d].eutn" -type "string" "%s";' % (tile, path))
        if not dep.marks.get("first"):
            out += marks
        if rng.random() < 0.3:
            out.append('\tsetAttr ".cs" -type "string" "sRGB";')
        if rng.random() < 0.2:
            out.append('connectAttr "place2dTexture1.o" "%s.uv";' % node)
    if rng.random() < 0.3:  # set on another node by name, and a camera's image name: neither names a file
        out.append('setAttr "file1.ftn" -type "string" "sourceimages/by_name.tif";')
        out.append('createNode camera -n "camShape";\n\tsetAttr ".imn" -type "string" "persp";')
    if scene.quirks and rng.random() < 0.2:
        out.append('// setAttr ".ftn" -type "string" "sourceimages/in_a_comment.tif";')
    out.append("// End of " + scene.name)
    return ("\n".join(out) + "\n").encode("utf-8", "surrogateescape")


def encode(text):
    return text.encode("utf-8", "surrogateescape")


def render_binary(scene, rng, width):
    m = MayaBinary(width)
    plug = b"mtoa\x005.0\0"
    for node_type, ident in sorted(PLUGIN_IDS.items()):
        plug += encode(node_type) + b"\0" + struct.pack(">I", ident)
    head = [m.chunk(b"VERS", b"2024"), m.chunk(b"PLUG", plug), m.chunk(b"LUNI", b"cm")]
    top = [m.head(head)]
    for dep in scene.references:
        path = encode(dep.path)
        top.append(m.reference(path, encode(dep.ns), max(0, 65 - len(path)) if rng.random() < 0.5 else 0))
    if scene.quirks:
        top.append(m.node(b"XFRM", b"root", [m.text(b"softness", b"maps/soft.tif"), m.double(b"tx", 1.5)]))
    else:
        top.append(m.node(b"XFRM", b"root", [m.text(b"shape", b"box"), m.double(b"tx", 1.5)]))
    count = 0
    for dep in scene.attributes:
        count += 1
        if dep.node_type is None:  # ftn on a node of no table type: not a file in a well-formed scene
            form = b"XFRM"
        elif dep.node_type in FIXED_IDS:
            form = FIXED_IDS[dep.node_type]
        else:
            form = struct.pack(">I", PLUGIN_IDS[dep.node_type])
        attributes = []
        marks = []
        if "uvt" in dep.marks:
            marks.append(m.double(b"uvt", float(dep.marks["uvt"])))
        if "ufe" in dep.marks:
            marks.append(m.double(b"ufe", 1.0 if dep.marks["ufe"] else 0.0))
        if dep.marks.get("first"):
            attributes += marks
        attributes.append(m.text(encode(dep.attribute), encode(dep.path)))
        for tile, path in dep.marks.get("euvt", []):
            attributes.append(m.text(b"euvt[%d].eutn" % tile, encode(path)))
        if not dep.marks.get("first"):
            attributes += marks
        top.append(m.node(form, b"node%d" % count, attributes))
    top.append(m.group(b"LIS", b"CONS", [m.chunk(b"CONN", b"node1.ftn\0root.tx\0" if scene.quirks else b"a.o\0b.i\0")]))
    top.append(m.head([m.chunk(b"INCL", b"".join(encode(d.path) + b"\0" for d in scene.references))]))
    return m.scene(top)


def render_scene(scene, rng):
    if scene.kind == "ascii":
        return render_ascii(scene, rng)
    if scene.kind in ("binary4", "binary8"):
        return render_binary(scene, rng, int(scene.kind[-1]))
    if scene.kind in ("malformed4", "malformed8"):
        data = bytearray(render_binary(scene, rng, int(scene.kind[-1])))
        if rng.random() < 0.5:
            del data[-2:]  # cut short
        else:
            # A chunk's size running past its group: the size's last byte raised.
            at = data.find(b"STR ")
            if at < 0:
                del data[-2:]
            else:
                last = at + 3 + (12 if scene.kind == "malformed8" else 4)
                data[last] = (data[last] + 0x40) % 256
        return bytes(data)
    if scene.kind == "other":  # neither ASCII nor a Maya binary scene: read token by token
        parts = [b"SCN1\x00\x01"]
        for dep in scene.references:
            parts.append(b"\0FREFFREF\0" + encode(dep.path) + b"\0")
        for dep in scene.attributes:
            if dep.attribute == "ftn" and not dep.marks.get("euvt"):
                parts.append(b"\x02ftn\x01" + encode(dep.path) + b"\0")
        return b"".join(parts)
    return b""


# --------------------------------------------------------------- generating

NAMES = ["wood", "stone", "brick", "metal", "sky", "grass", "rust", "paint", "leaf", "cloth", "skin", "bark",
         "sand", "tile", "glass", "water", "moss", "chrome", "\u00e9rable-\u6728", "w\udce9"]
EXTENSIONS = [".tif", ".png", ".exr", ".jpg", ".tx", ".hdr"]
FOREIGN_ROOTS = ["C:/old/proj/", "D:/jobs/shot010/", "/mnt/render01/proj/", "//server/share/proj/"]
BAD_NAMES = ["nul.tif", "a,b.tif", "vantle_render.sub", "trailing.tif.", "COM1.png", "vantle_render.7-1.partial"]


class Generator:
    def __init__(self, rng, tree, repeats, clean):
        self.rng = rng
        self.clean = clean  # nothing missing or refused: the run goes through to the submit tool
        self.tree = tree
        self.repeats = repeats
        self.count = 0
        self.textures = {}  # paths as written so far, by the folder they are taken from, to be named again
        self.placed = []  # relative paths of texture files made, for collisions

    def unique(self, stem=None):
        self.count += 1
        stem = stem or self.rng.choice(NAMES)
        return "%s_%d" % (stem, self.count)

    def content(self, relative):
        size = 2000 if self.rng.random() < 0.9 else self.rng.choice([70000, 300000])
        line = ("texture %s\n" % relative).encode("utf-8", "surrogateescape")
        return (line * (size // len(line) + 1))[:size]

    def place(self, relative, data=None):
        self.tree.add(relative, data if data is not None else self.content(relative))
        self.placed.append(relative)
        if self.rng.random() < 0.12 and "." in os.path.basename(relative):  # a prepared .tx beside it
            stem, extension = os.path.splitext(relative)
            if extension != ".tx":
                self.tree.add(stem + ".tx", self.content(stem + ".tx"))
                self.tree.features.add("tx sibling")

    # A texture path as a scene in folder `folder` writes it, and the files it stands for.
    def texture(self, folder, node_type, attribute):
        rng, tree = self.rng, self.tree
        root = tree.root
        base = parent(folder)  # relative paths are taken from the folder above the scene's
        marks = {}
        extension = rng.choice(EXTENSIONS[:4]) if node_type != "aiStandIn" else rng.choice([".ass", ".vrscene", ".abc"])
        name = self.unique() + extension
        case = rng.choices(
            ["plain", "dot", "absolute", "library", "variable", "braced", "percent", "unset", "foreign", "missing",
             "again", "collision", "present", "tokens", "uvt", "ufe", "bad"],
            [14, 3, 5, 4, 4, 2, 2, 2, 8, 5, 4, 3, 3, 8, 4, 3, 1])[0]
        if self.clean and case in ("missing", "bad"):
            case = "plain"
        if case == "again" and self.textures.get(base):
            return rng.choice(self.textures[base]), marks
        if case in ("plain", "again"):
            self.place(os.path.join(base, "sourceimages", name))
            path = "sourceimages/" + name
        elif case == "dot":
            self.place(os.path.join(base, "sourceimages", name))
            path = "./sourceimages/" + name
        elif case == "absolute":
            self.place(os.path.join("lib", "textures", name))
            path = root + "/lib/textures/" + name
        elif case == "library":
            self.place(os.path.join("lib", "textures", name))
            path = "$VANTLE_TEX_LIB/" + name
        elif case == "braced":
            self.place(os.path.join("lib", "textures", name))
            path = "${VANTLE_TEX_LIB}/" + name
        elif case == "variable":
            self.place(os.path.join("proj", "sourceimages", name))
            path = "$VANTLE_PROJ/sourceimages/" + name
        elif case in ("percent", "unset", "foreign"):
            path = {"percent": "%VANTLE_TEX_LIB%/", "unset": "$VANTLE_NOT_SET/",
                    "foreign": rng.choice(FOREIGN_ROOTS) + "sourceimages/"}[case] + name
            where = rng.choice([folder, base, os.path.join(base, "sourceimages")] + [None] * (not self.clean))
            if where is not None:
                self.place(os.path.join(where, name))
                tree.features.add("fallback")
        elif case == "missing":
            path = "sourceimages/" + name
            tree.features.add("missing texture")
        elif case == "collision":
            # Another file of a name already staged: the same bytes pass, other bytes end the run.
            if self.placed:
                earlier = rng.choice(self.placed)
                name = os.path.basename(earlier)
                other = os.path.join("lib", "other", self.unique("copy"), name)
                same = self.clean or rng.random() < 0.5
                self.place(other, tree.files[earlier] if same else None)
                path = root + "/" + other
                tree.features.add("texture collision, same bytes" if same else "texture collision")
            else:
                self.place(os.path.join(base, "sourceimages", name))
                path = "sourceimages/" + name
        elif case == "present":  # a file of that name already in the working folder
            self.place(os.path.join(base, "sourceimages", name))
            tree.add(os.path.join("work", name), b"put here before the run\n")
            path = "sourceimages/" + name
            tree.features.add("present in working folder")
        elif case == "tokens":
            stem = self.unique()
            form = rng.choice(["udim", "udim_lower", "uvtile", "hashes", "frame", "frameN", "uv", "other"])
            folder_of = os.path.join(base, "sourceimages")
            pattern, names = {
                "udim": (stem + ".<UDIM>.tif", [stem + ".%d.tif" % t for t in (1001, 1002, 1011)]),
                "udim_lower": (stem + "_<udim>.exr", [stem + "_%d.exr" % t for t in (1001, 1003)]),
                "uvtile": (stem + ".<UVTILE>.png", [stem + ".u1_v1.png", stem + ".u2_v1.png"]),
                "hashes": (stem + ".####.exr", [stem + ".%04d.exr" % f for f in (1, 2, 10)]),
                "frame": (stem + ".<f>.png", [stem + ".%d.png" % f for f in (1, 12)]),
                "frameN": (stem + ".<frame04>.png", [stem + ".%04d.png" % f for f in (7, 8)]),
                "uv": (stem + "_<u>_<v>.tif", [stem + "_1_1.tif", stem + "_2_1.tif"]),
                "other": (stem + "_<layer>.tif", [stem + "_diffuse.tif", stem + "_spec.tif"]),
            }[form]
            kept = names[:rng.randint(1 if self.clean else 0, len(names))]
            if not kept:
                tree.features.add("pattern matching nothing")
            if rng.random() < 0.2 and kept:
                # Not in the folder named: found in a folder above it.
                path = "sourceimages/missing_sub/" + pattern
            else:
                path = "sourceimages/" + pattern
            for each in kept:
                self.place(os.path.join(folder_of, each))
            tree.features.add("tokens")
            self.textures.setdefault(base, []).append(path)
            return path, marks
        elif case == "uvt" and node_type == "file":
            stem = self.unique()
            tiling = rng.choice([1, 2, 3, 3, 4])
            names = {1: ["%s_u0_v0.tif", "%s_u1_v0.tif"], 2: ["%s.u1_v1.tif", "%s.u2_v1.tif"],
                     3: ["%s.1001.tif", "%s.1002.tif", "%s.1013.tif"], 4: ["%s.1001.tif"]}[tiling]
            names = [each % stem for each in names]
            for each in names[:rng.randint(1, len(names))]:
                self.place(os.path.join(base, "sourceimages", each))
            marks = {"uvt": tiling, "first": rng.random() < 0.5}
            if rng.random() < 0.3:
                tile = self.unique() + ".1005.tif"
                self.place(os.path.join(base, "sourceimages", tile))
                marks["euvt"] = [(rng.randint(0, 4), "sourceimages/" + tile)]
                tree.features.add("explicit tiles")
            tree.features.add("tiles")
            return "sourceimages/" + names[0], marks
        elif case == "ufe" and node_type in ("file", "imagePlane"):
            stem = self.unique()
            frames = ["%s.%04d.png" % (stem, f) for f in (1, 2, 3)]
            for each in frames[:rng.randint(1, 3)]:
                self.place(os.path.join(base, "sourceimages", each))
            marks = {"ufe": rng.random() < 0.8, "first": rng.random() < 0.5}
            tree.features.add("frame sequence")
            return "sourceimages/" + frames[0], marks
        elif case == "bad":
            name = rng.choice(BAD_NAMES)
            self.place(os.path.join(base, "sourceimages", name))
            path = "sourceimages/" + name
            tree.features.add("name that cannot be staged")
        else:
            self.place(os.path.join(base, "sourceimages", name))
            path = "sourceimages/" + name
        self.textures.setdefault(base, []).append(path)
        return path, marks

    def attributes_for(self, scene):
        rng = self.rng
        for _ in range(rng.randint(0, 6)):
            if rng.random() < 0.35:
                node_type, attribute = "file", "ftn"
            elif rng.random() < 0.05:
                node_type, attribute = None, "ftn"  # ".ftn" on a node of no table type
            else:
                node_type, attribute = rng.choice(ATTRIBUTE_ROWS)
            path, marks = self.texture(scene.folder, node_type or "file", attribute)
            scene.attributes.append(Dependency(path, node_type, attribute, marks))

    # A scene file for a reference from a scene in folder `folder`: the path written, and the scene (None when missing).
    def referenced(self, folder, depth):
        rng, tree = self.rng, self.tree
        base = parent(folder)
        kind = rng.choices(["ascii", "binary4", "binary8", "malformed4", "malformed8", "foreign", "empty"],
                           [10, 4, 3, 0 if self.clean else 1, 0 if self.clean else 1, 3, 0 if self.clean else 0.3])[0]
        if kind == "foreign":
            extension, data = rng.choice([
                (".abc", b"Ogawa\0\xff\x01\0FREFFREF\0scenes/x.ma\0ftn\0y.tif"),
                (".fbx", b"Kaydara FBX Binary  \0\x1a\0ftn\0C:/a/b.tif\0"),
                (".obj", b"v 1 2 3\n# ftn maps/x.tif FREFFREF ../y.ma\n"),
                (".usda", b"#usda 1.0\n(subLayers = [@./layer.usda@])\n")])
            stem = self.unique(rng.choice(["anim", "cache", "mesh", "crowd"]))
            relative = os.path.join(base, rng.choice(["cache", "scenes", "fbx"]), stem + extension)
            tree.add(relative, data)
            tree.features.add("referenced file that is no scene")
            return relative[len(base) + 1:], None
        extension = ".ma" if kind == "ascii" else ".mb"
        stem = self.unique(rng.choice(["set", "rig", "prop", "chars", "light", "fx"]))
        if rng.random() < 0.1:
            stem = stem.replace("_", " ")  # a referenced scene may hold a space
        subfolder = rng.choice(["scenes", "scenes", "assets", "assets/props"])
        relative = os.path.join(base, subfolder, stem + extension)
        how = rng.choices(["relative", "absolute", "variable", "foreign", "bare", "missing"], [8, 3, 2, 3, 1, 0 if self.clean else 2])[0]
        if how == "missing":
            tree.features.add("missing reference")
            return subfolder + "/" + stem + extension, None
        scene = Scene(relative, kind)
        scene.quirks = not self.clean
        if how == "relative":
            path = relative[len(base) + 1:]
        elif how == "absolute":
            path = tree.root + "/" + relative
        elif how == "variable":
            scene.relative = relative = os.path.join("proj", subfolder, stem + extension)
            path = "$VANTLE_PROJ/" + subfolder + "/" + stem + extension
        elif how == "bare":
            # A reference without a folder: its copy's name is longer than the path.
            scene.relative = relative = os.path.join(base, stem + extension)
            path = stem + extension
        else:
            where = rng.choice([folder, base, os.path.join(base, "scenes")] + [None] * (not self.clean))
            path = rng.choice(FOREIGN_ROOTS) + "scenes/" + stem + extension
            if where is None:
                tree.features.add("missing reference")
                return path, None
            scene.relative = relative = os.path.join(where, stem + extension)
            tree.features.add("fallback")
        if kind.startswith("binary") or kind.startswith("malformed"):
            tree.features.add("binary scene")
        if kind.startswith("malformed"):
            tree.features.add("malformed binary scene")
        self.attributes_for(scene)
        if self.repeats and depth < 3 and rng.random() < 0.5:
            tree.features.add("nested reference")
            self.references_for(scene, depth + 1, rng.randint(1, 2))
        tree.add(relative, render_scene(scene, rng))
        return path, scene

    def references_for(self, scene, depth, count):
        rng = self.rng
        made = []
        for _ in range(count):
            path, child = self.referenced(scene.folder, depth)
            scene.references.append(Dependency(path, ns=self.unique("ns")))
            made.append((path, child))
        if self.repeats and made and rng.random() < 0.5:
            # Met again: the same scene referenced twice, or a cycle back up.
            again = rng.choice(["twice", "cycle", "self"])
            children = [child for _, child in made if child is not None and child.kind == "ascii"]
            if again == "twice":
                scene.references.append(Dependency(made[0][0], ns=self.unique("ns")))
            elif again == "cycle" and children:
                child = children[0]
                child.references.append(Dependency(self.tree.root + "/" + scene.relative, ns=self.unique("ns")))
                self.tree.add(child.relative, render_scene(child, rng))
            elif again == "self":
                scene.references.append(Dependency(scene.name, ns=self.unique("ns")))
            self.tree.features.add("scene met twice")
        return made


def generate(root, seed, number, repeats):
    rng = random.Random("%d/%d/%s" % (seed, number, repeats))
    tree = Tree(root)
    clean = rng.random() < 0.5
    gen = Generator(rng, tree, repeats, clean)
    kind = rng.choices(["ascii", "binary4", "binary8", "malformed4", "other", "empty"],
                       [12, 5, 3] + ([0, 0, 0] if clean else [1, 0.5, 0.3]))[0]
    shot = Scene(os.path.join("proj", "scenes", "shot" + (".ma" if kind == "ascii" else ".mb")), kind)
    shot.quirks = not clean
    if kind != "ascii":
        tree.features.add("binary scene")
    if kind.startswith("malformed") or kind == "other":
        tree.features.add("malformed binary scene")
    gen.attributes_for(shot)
    if kind != "empty":
        gen.references_for(shot, 1, rng.choice([0, 1, 1, 2, 2, 3, 4]))
        if rng.random() < 0.06:  # a cycle of the direct kind: the scene names itself
            shot.references.append(Dependency(rng.choice(["scenes/", "./scenes/"]) + shot.name, ns="self"))
            tree.features.add("cycle")
        if not clean and rng.random() < 0.1:  # another scene whose copy would take the same name
            other = Scene(os.path.join("proj", "assets", shot.name), "ascii")
            gen.attributes_for(other)
            tree.add(other.relative, render_scene(other, rng))
            shot.references.append(Dependency("assets/" + shot.name, ns="twin"))
            tree.features.add("scene copy-name collision")
        if not clean and rng.random() < 0.1 and len(shot.references) >= 1:
            ref = shot.references[0]
            if not ref.path.startswith("$"):
                twin_name = os.path.basename(ref.path.replace("\\", "/"))
                twin = Scene(os.path.join("proj", "other", twin_name), "ascii")
                tree.add(twin.relative, render_scene(twin, rng))
                shot.references.append(Dependency("other/" + twin_name, ns="twin"))
                tree.features.add("scene copy-name collision")
    tree.add(shot.relative, render_scene(shot, rng))

    # The submit header, the stand-in tool, the working folder.
    header = ("# Submit header for the render jobs of vantleRender. Copied as it is to the\n"
              "# start of every vantle_render.sub; the transfer list and the jobs follow.\n"
              "executable = render.bat\noutput = render.out\n")
    if rng.random() < 0.3:
        header += "# Your own \"key = value\" lines for the render jobs go here.\n"
    header_path = os.path.join(root, "header.hdr")
    if not clean and rng.random() < 0.05:
        header_path = os.path.join(root, "no_header.hdr")
        tree.features.add("no header")
    else:
        tree.add("header.hdr", header)
    tool = rng.choices(["queues", "fails", "absent"], [1, 0, 0] if clean else [80, 10, 10])[0]
    tree.features.add("submit tool " + tool)
    if tool != "absent":
        script = ("#!/bin/sh\n# Stand-in submit tool: notes what it was given and what the folder held.\n"
                  "{ echo \"vantle_submit $*\"; ls -A; } >>'%s/submitted.txt'\n" % root)
        script += "exit 3\n" if tool == "fails" else "exec '%s' \"$@\"\n" % SUBMIT_TOOL
        tree.add("bin/vantle_submit", script, 0o755)
    tree.dirs.add("work")
    if rng.random() < 0.1:
        tree.add("work/vantle_render.4242-1.partial", b"left by a run killed outright\n")
        tree.add("work/notes.txt", b"not the run's\n")
        tree.features.add("leftovers in working folder")
    if rng.random() < 0.05:
        tree.add("work/vantle_render.sub", b"an earlier run's description\n")

    # The command line.
    start = rng.choice(["1", "0", "10", "1.5", "101"])
    arguments = ["-s", start, "-e", str(float(start) + rng.choice([0, 1, 9, 24, 40]))]
    if rng.random() < 0.7:
        arguments += ["-j", str(rng.choice([1, 3, 5, 10, 12]))]
    if rng.random() < 0.5:
        arguments += ["-b", rng.choice(["1", "2", "0.5", "3"])]
    if rng.random() < 0.25:
        arguments.insert(rng.randint(0, len(arguments)), "--dry-run")
        tree.features.add("dry run")
    report = rng.choices([None, "report.json", "../report.json", root + "/out/run.json"], [4, 2, 2, 1])[0]
    if report:
        at = rng.randint(0, len(arguments) // 2) * 2
        arguments[at:at] = ["--report", report]
        tree.features.add("report")
        if report.startswith(root):
            tree.dirs.add("out")
    scene_argument = "../proj/scenes/" + shot.name if rng.random() < 0.7 else root + "/" + shot.relative
    arguments.append(scene_argument)
    if not clean and rng.random() < 0.06:
        arguments = rng.choice([["-s", "1", scene_argument], ["-s", "1", "-e", "2", "-j", "0", scene_argument],
                                ["-e", "3", "-s", "x", scene_argument]])
        tree.features.add("command-line fault")
    tree.arguments = arguments
    tree.env = {
        "PATH": os.path.join(root, "bin") + ":/usr/bin:/bin",
        "VANTLE_RENDER_PATH": header_path,
        "VANTLE_TEX_LIB": root + "/lib/textures",
        "VANTLE_PROJ": root + "/proj",
        "HOME": root,
        "LC_ALL": "C",
    }
    return tree


# ----------------------------------------------------------------- running

SUBMIT_TOOL = None


def run(program, tree, at):
    tree.lay_out(at)
    try:
        done = subprocess.run([program] + tree.arguments, cwd=os.path.join(at, "work"), env=tree.env,
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        return done.stdout, done.stderr, done.returncode
    except subprocess.TimeoutExpired as expired:
        return expired.stdout or b"", expired.stderr or b"", "timed out"


def snapshot(folder):
    """Every entry under folder: kind, mode and bytes (a link's target)."""
    entries = {}
    for top, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(top, name)
            relative = os.path.relpath(path, folder)
            info = os.lstat(path)
            if stat.S_ISLNK(info.st_mode):
                entries[relative] = ("link", 0, os.readlink(path).encode("utf-8", "surrogateescape"))
            elif stat.S_ISDIR(info.st_mode):
                entries[relative] = ("folder", stat.S_IMODE(info.st_mode), b"")
            elif stat.S_ISREG(info.st_mode):
                with open(path, "rb") as data:
                    entries[relative] = ("file", stat.S_IMODE(info.st_mode), data.read())
            else:
                entries[relative] = ("special", stat.S_IMODE(info.st_mode), b"")
    return entries


def printable(data):
    text = data[:120].decode("utf-8", "backslashreplace")
    return '"' + "".join(c if c.isprintable() else "\\x%02x" % ord(c) for c in text) + '"'


def first_difference(a, b):
    lines_a, lines_b = a.split(b"\n"), b.split(b"\n")
    for number, (x, y) in enumerate(zip(lines_a, lines_b), 1):
        if x != y:
            return "line %d: old %s, new %s" % (number, printable(x), printable(y))
    return "old %d lines, new %d lines" % (len(lines_a), len(lines_b))


def show(name):
    return name.encode("utf-8", "surrogateescape").decode("utf-8", "backslashreplace")


def compare_tree(job):
    number, seed, repeats, old, new, base = job
    folder = os.path.join(base, "tree-%04d" % number)
    root = os.path.join(folder, "t")
    tree = generate(root, seed, number, repeats)
    results = {}
    for side, program in (("old", old), ("new", new)):
        results[side] = run(program, tree, root)
        os.rename(root, os.path.join(folder, side))
    differences = []
    (out_a, err_a, status_a), (out_b, err_b, status_b) = results["old"], results["new"]
    if status_a != status_b:
        differences.append("exit status %s vs %s" % (status_a, status_b))
    if out_a != out_b:
        differences.append("standard output differs, " + first_difference(out_a, out_b))
    if err_a != err_b:
        differences.append("standard error differs, " + first_difference(err_a, err_b))
    files_a, files_b = snapshot(os.path.join(folder, "old")), snapshot(os.path.join(folder, "new"))
    for name in sorted(set(files_a) | set(files_b)):
        a, b = files_a.get(name), files_b.get(name)
        if a is None:
            differences.append("only the new run left '%s'" % show(name))
        elif b is None:
            differences.append("only the old run left '%s'" % show(name))
        elif a[0] != b[0]:
            differences.append("'%s' is a %s vs a %s" % (show(name), a[0], b[0]))
        elif a[2] != b[2]:
            differences.append("'%s' differs, %s" % (show(name), first_difference(a[2], b[2])))
        elif a[1] != b[1]:
            differences.append("'%s' has mode %o vs %o" % (show(name), a[1], b[1]))
    # Without --with-repeats no scene may be examined twice: a tree that does
    # is not one whose output both builds must keep.
    examined = [line for line in out_a.split(b"\n") if line.startswith(b"Examining '")]
    skipped = [line for line in out_a.split(b"\n") if line.startswith(b"Skipping '")]
    met_twice = len(examined) != len(set(examined)) or len(skipped) != len(set(skipped))
    if not repeats and met_twice:
        differences.append("the old build met a scene twice: the tree is not one without repeats")

    # What the tree exercised, from the old run's output.
    seen = set(tree.features)
    checks = {
        b" copied to current directory.": "texture or scene staged",
        b"ERROR: Unable to copy": "missing texture reported",
        b"Unable to open '": "missing reference reported",
        b"would both be copied": "collision stopped the run",
        b"not found; using '": "found in a fallback folder",
        b"Dry run: nothing written": "dry run",
        b"reading it token by token": "read token by token",
        b"Skipping '": "circular reference skipped",
        b"names itself are not staged": "files named by staged files warned",
        b"cannot be staged under the name": "name refused",
        b"found in current directory": "found in working folder",
        b"Vantle_submit failed": "submit failed",
    }
    for text, what in checks.items():
        if text in out_a or text in err_a:
            seen.add(what)
    seen.add("exit status %s" % status_a)
    if met_twice:
        seen.add("a scene met twice")
    if any(b".mb'" in line for line in examined):
        seen.add("binary scene examined")

    if differences:
        # t is the tree as both runs found it, old/ and new/ the same folder after each run.
        tree.lay_out(root)
        for side, (out, err, status) in results.items():
            for suffix, data in (("stdout", out), ("stderr", err), ("status", str(status).encode() + b"\n")):
                with open(os.path.join(folder, side + "." + suffix), "wb") as file:
                    file.write(data)
        with open(os.path.join(folder, "rerun.sh"), "w", encoding="utf-8", errors="surrogateescape") as file:
            file.write("#!/bin/sh\n# rerun.sh PROGRAM: runs PROGRAM as the comparison did, in t/work (which it changes).\n")
            file.write('program=$(realpath "$1") && cd %s && exec env -i' % shlex.quote(os.path.join(root, "work")))
            for key, value in tree.env.items():
                file.write(" %s" % shlex.quote("%s=%s" % (key, value)))
            file.write(' "$program" %s\n' % " ".join(shlex.quote(a) for a in tree.arguments))
        os.chmod(os.path.join(folder, "rerun.sh"), 0o755)
    else:
        shutil.rmtree(folder)
    return number, differences, folder, seen


def main():
    global SUBMIT_TOOL
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("count", nargs="?", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--with-repeats", action="store_true", help="also trees that meet a scene twice")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--submit-tool", required=True, help="the stand-in vantle_submit")
    parser.add_argument("--dir", default=None, help="where trees are made (default: a new temp folder)")
    parser.add_argument("--summary", action="store_true", help="count what the trees exercised")
    options = parser.parse_args()
    SUBMIT_TOOL = os.path.abspath(options.submit_tool)
    old, new = os.path.abspath(options.old), os.path.abspath(options.new)
    for program in (old, new, SUBMIT_TOOL):
        if not os.access(program, os.X_OK):
            sys.exit("compare-builds: '%s' is not a program" % program)
    base = tempfile.mkdtemp(prefix="vantle-compare.", dir=options.dir)
    jobs = [(n, options.seed, options.with_repeats, old, new, base) for n in range(1, options.count + 1)]
    differing = 0
    exercised = {}
    with ProcessPoolExecutor(max_workers=max(1, options.jobs), initializer=set_tool, initargs=(SUBMIT_TOOL,)) as pool:
        for number, differences, folder, seen in pool.map(compare_tree, jobs, chunksize=4):
            for what in seen:
                exercised[what] = exercised.get(what, 0) + 1
            if differences:
                differing += 1
                for text in differences[:12]:
                    print("tree %d: %s (kept in %s)" % (number, text, folder), flush=True)
                if len(differences) > 12:
                    print("tree %d: ... and %d more differences" % (number, len(differences) - 12), flush=True)
    if options.summary:
        print("trees exercising each case (of %d):" % options.count)
        for what in sorted(exercised):
            print("  %5d  %s" % (exercised[what], what))
    if differing == 0:
        shutil.rmtree(base)
    print("compared %d trees, %d differ" % (options.count, differing))
    return 1 if differing else 0


def set_tool(tool):
    global SUBMIT_TOOL
    SUBMIT_TOOL = tool


if __name__ == "__main__":
    sys.exit(main())
