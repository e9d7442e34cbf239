// make_example <examples folder> <output folder>
//
// Lays out the example production tree under the output folder:
//
//   vantle_render.hdr                   the submit header, copied
//   project/scenes/shot.ma, set.ma      the ASCII scenes, copied
//   project/scenes/prop.mb              a binary scene, made here
//   project/cache/crate_drop.abc        an Alembic cache that prop.mb references
//   project/sourceimages/*.tif, *.png   texture images, made here
//   library/textures/concrete.png       a texture outside the project, which
//                                       shot.ma names by its absolute path
//
// The ASCII scenes carry the placeholder @ASSET_LIBRARY@ where a scene names
// the texture library by absolute path; it is replaced by the absolute path
// of the generated library folder, so the example works wherever it is made.
// The binary files are made here rather than kept in the repository.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kLibraryPlaceholder[] = "@ASSET_LIBRARY@";

// ---------------------------------------------------------------- files

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// ---------------------------------------------------------------- bytes

void putBigEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void putLittleEndian16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void putLittleEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift <= 24; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void putFloat(std::string& out, float value) {
  std::uint32_t bits;
  static_assert(sizeof bits == sizeof value, "32-bit float expected");
  std::memcpy(&bits, &value, sizeof bits);
  putBigEndian32(out, bits);
}

void putDouble(std::string& out, double value) {
  std::uint64_t bits;
  static_assert(sizeof bits == sizeof value, "64-bit double expected");
  std::memcpy(&bits, &value, sizeof bits);
  putBigEndian32(out, static_cast<std::uint32_t>(bits >> 32));
  putBigEndian32(out, static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
}

std::string cstr(const std::string& text) { return text + '\0'; }

// ---------------------------------------------------------------- binary scene

// As Maya writes a FOR4 scene: a chunk is a tag, a big-endian size and the
// data padded to four bytes; a group is "FOR4", its size, its form type and
// its children. Each node is a group whose form type is its type id; its
// first chunk CREA holds a flag byte, its name and its parent's name.
std::string chunk(const std::string& tag, const std::string& data) {
  std::string out = tag;
  putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  out += data;
  while (out.size() % 4 != 0) out += '\0';
  return out;
}

std::string group(const std::string& type, const std::vector<std::string>& chunks) {
  std::string body = type;
  for (const std::string& c : chunks) body += c;
  std::string out = "FOR4";
  putBigEndian32(out, static_cast<std::uint32_t>(body.size()));
  return out + body;
}

std::string createNode(const std::string& name, const std::string& parent = "") {
  std::string data = '\0' + cstr(name);
  if (!parent.empty()) data += cstr(parent);
  return chunk("CREA", data);
}

// An attribute chunk: the short name, NUL, a flag byte, the value.
std::string attribute(const std::string& tag, const std::string& name, const std::string& value) {
  return chunk(tag, cstr(name) + '\0' + value);
}

std::string stringAttribute(const std::string& name, const std::string& value) {
  return attribute("STR ", name, cstr(value));
}

std::string double3Attribute(const std::string& name, double x, double y, double z) {
  std::string data;
  putDouble(data, x);
  putDouble(data, y);
  putDouble(data, z);
  return attribute("DBL3", name, data);
}

// A crate: a box of 8 corners, with the corner positions as 32-bit floats.
std::string propScene() {
  std::string corners;
  const float half = 0.75f;
  for (int corner = 0; corner < 8; ++corner) {
    putFloat(corners, (corner & 1) ? half : -half);
    putFloat(corners, (corner & 2) ? 1.5f : 0.0f);
    putFloat(corners, (corner & 4) ? half : -half);
  }

  std::string head = group("HEAD", {
      chunk("VERS", cstr("2024")),
      chunk("UVER", cstr("undef")),
      chunk("MADE", cstr("undef")),
      chunk("CHNG", cstr("Tue Mar 12 09:58:31 2024")),
      chunk("LUNI", cstr("cm")),
      chunk("TUNI", cstr("film")),
      chunk("AUNI", cstr("deg")),
      chunk("FINF", cstr("application") + cstr("maya")),
      chunk("FINF", cstr("product") + cstr("Maya 2024")),
  });
  // The crate's fall, an Alembic cache referenced as Maya references one:
  // an FRDI group, then an FREF group whose chunk holds the path, the
  // namespace, two flag bytes and the reference node's name.
  const std::string cache = "cache/crate_drop.abc";
  std::string cacheDirectory = group("FRDI", {chunk("FRDI", std::string("\0\0\0\x01", 4) + cstr(cache))});
  std::string cacheReference =
      group("FREF", {chunk("FREF", cstr(cache) + cstr("crate_drop") + std::string("\0\x01", 2) + cstr("crate_dropRN"))});
  std::string crate = group("XFRM", {
      createNode("crate"),
      double3Attribute("t", 3.25, 0.0, -1.5),
      double3Attribute("r", 0.0, 35.0, 0.0),
  });
  std::string crateShape = group("DMSH", {
      createNode("crateShape", "crate"),
      attribute("FLT3", "vt", corners),
  });
  std::string texture = group("RTFT", {
      createNode("crateFile"),
      stringAttribute("ftn", "sourceimages/metal.png"),
      stringAttribute("cs", "sRGB"),
  });
  std::string placement = group("RPL2", {
      createNode("place2dTexture1"),
  });
  return group("Maya", {head, cacheDirectory, cacheReference, crate, crateShape, texture, placement});
}

// An Alembic cache stands in here as its header and a few bytes: nothing
// reads it, it is copied as it is.
std::string alembicCache() { return std::string("Ogawa\xff\x01\0\0\0\0\0\0\0\0\x10", 16) + "crate_drop frames 1-25"; }

// ---------------------------------------------------------------- images

struct Rgb {
  unsigned char r, g, b;
};

using Painter = Rgb (*)(int x, int y);

Rgb wood(int x, int y) {
  int grain = ((x * 3 + y / 3) % 7) * 6;
  return {static_cast<unsigned char>(120 + grain), static_cast<unsigned char>(78 + grain / 2), 40};
}

Rgb brick(int x, int y) {
  bool mortar = y % 4 == 3 || (x + (y / 4 % 2) * 4) % 8 == 7;
  return mortar ? Rgb{200, 196, 188} : Rgb{156, 62, 44};
}

Rgb metal(int x, int y) {
  auto v = static_cast<unsigned char>(140 + (x + y) * 3);
  return {v, v, static_cast<unsigned char>(v + 8)};
}

Rgb sky(int, int y) {
  return {static_cast<unsigned char>(110 + y * 5), static_cast<unsigned char>(160 + y * 4), 235};
}

Rgb concrete(int x, int y) {
  auto v = static_cast<unsigned char>(150 + ((x * 37 + y * 91) % 23));
  return {v, v, v};
}

const int kImageSize = 16;

// Baseline TIFF, little-endian, one uncompressed RGB strip.
std::string tiffImage(Painter paint) {
  const int n = kImageSize;
  const std::uint32_t pixelBytes = static_cast<std::uint32_t>(n * n * 3);
  const std::uint16_t entries = 10;
  const std::uint32_t ifdOffset = 8;
  const std::uint32_t bitsOffset = ifdOffset + 2 + entries * 12 + 4;
  const std::uint32_t pixelOffset = bitsOffset + 6;

  std::string out = "II";
  putLittleEndian16(out, 42);
  putLittleEndian32(out, ifdOffset);
  putLittleEndian16(out, entries);
  auto entry = [&out](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    putLittleEndian16(out, tag);
    putLittleEndian16(out, type);
    putLittleEndian32(out, count);
    putLittleEndian32(out, value);  // a SHORT sits in the low half, as little-endian wants
  };
  const std::uint16_t kShort = 3;
  const std::uint16_t kLong = 4;
  entry(256, kShort, 1, n);            // width
  entry(257, kShort, 1, n);            // height
  entry(258, kShort, 3, bitsOffset);   // bits per sample
  entry(259, kShort, 1, 1);            // no compression
  entry(262, kShort, 1, 2);            // RGB
  entry(273, kLong, 1, pixelOffset);   // strip offset
  entry(277, kShort, 1, 3);            // samples per pixel
  entry(278, kShort, 1, n);            // rows per strip
  entry(279, kLong, 1, pixelBytes);    // strip byte count
  entry(284, kShort, 1, 1);            // chunky
  putLittleEndian32(out, 0);           // no further image
  for (int i = 0; i < 3; ++i) putLittleEndian16(out, 8);
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      Rgb c = paint(x, y);
      out += static_cast<char>(c.r);
      out += static_cast<char>(c.g);
      out += static_cast<char>(c.b);
    }
  }
  return out;
}

std::uint32_t crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char byte : bytes) {
    crc ^= static_cast<unsigned char>(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const std::string& bytes) {
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (char byte : bytes) {
    a = (a + static_cast<unsigned char>(byte)) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

std::string pngChunk(const std::string& type, const std::string& data) {
  std::string out;
  putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  out += type + data;
  putBigEndian32(out, crc32(type + data));
  return out;
}

// PNG, 8-bit RGB, the pixels in one stored (uncompressed) deflate block.
std::string pngImage(Painter paint) {
  const int n = kImageSize;
  std::string header;
  putBigEndian32(header, n);
  putBigEndian32(header, n);
  header += std::string("\x08\x02\x00\x00\x00", 5);

  std::string raw;
  for (int y = 0; y < n; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < n; ++x) {
      Rgb c = paint(x, y);
      raw += static_cast<char>(c.r);
      raw += static_cast<char>(c.g);
      raw += static_cast<char>(c.b);
    }
  }
  std::string deflated = "\x78\x01";
  deflated += '\x01';  // last block, stored
  putLittleEndian16(deflated, static_cast<std::uint16_t>(raw.size()));
  putLittleEndian16(deflated, static_cast<std::uint16_t>(~raw.size()));
  deflated += raw;
  putBigEndian32(deflated, adler32(raw));

  return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", deflated) +
         pngChunk("IEND", "");
}

// ---------------------------------------------------------------- layout

void copyTree(const fs::path& from, const fs::path& to, const std::string& libraryPath) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
    if (!entry.is_regular_file()) continue;
    const fs::path target = to / fs::relative(entry.path(), from);
    std::string bytes = readBytes(entry.path());
    if (entry.path().extension() == ".ma") bytes = replaceAll(bytes, kLibraryPlaceholder, libraryPath);
    writeBytes(target, bytes);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_example <examples folder> <output folder>\n");
    return 1;
  }
  try {
    const fs::path source = argv[1];
    const fs::path out = argv[2];
    fs::create_directories(out);
    const fs::path library = fs::absolute(out / "library").lexically_normal();

    copyTree(source / "project", out / "project", library.generic_string());
    writeBytes(out / "vantle_render.hdr", readBytes(source / "vantle_render.hdr"));

    std::string prop = propScene();
    writeBytes(out / "project" / "scenes" / "prop.mb", prop);
    writeBytes(out / "project" / "cache" / "crate_drop.abc", alembicCache());

    const fs::path images = out / "project" / "sourceimages";
    writeBytes(images / "wood.tif", tiffImage(wood));
    writeBytes(images / "brick.tif", tiffImage(brick));
    writeBytes(images / "metal.png", pngImage(metal));
    writeBytes(images / "sky.png", pngImage(sky));
    writeBytes(library / "textures" / "concrete.png", pngImage(concrete));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_example: %s\n", error.what());
    return 2;
  }
  return 0;
}
