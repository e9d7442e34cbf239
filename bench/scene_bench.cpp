// vantle_bench: how close vantleRender comes to a plain copy of a scene.
//
// Generates a large ASCII scene and a large binary scene (with the small
// scenes and textures they reference) in a temporary directory, then, in
// one run and side by side, times
//   - a read-and-write copy of each scene (128 KiB blocks), `cp`, and `cp`
//     followed by `sync --data`: a copy on the disk, as every file the
//     program writes is before it takes its name (the yardstick of the
//     goals printed),
//   - `sed` rewriting every ".ftn" line of it,
//   - the whole built vantleRender on it (stand-in submit tool on PATH,
//     VANTLE_RENDER_PATH naming a header),
// repeating each measurement and printing the medians, with the program's
// peak resident memory as wait4 reports it. Last it times reference chains
// of growing depth, each scene of which the walk reads once, and the staging of a
// shot's textures (1 GiB by default) against `cp` of the same files (and
// again followed by `sync --data`), and
// a scene dense with the kinds of dependency against one without.
//
// Usage: vantle_bench [--size-mb N] [--runs N] [--dir DIR] [--program EXE]
//                     [--chain-max D] [--chain-kb K] [--texture-mb N]
//                     [--only ascii|binary|chains|textures|dependencies|followed|cache] [--keep]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

struct Options {
  double sizeMiB = 512;
  int runs = 5;
  std::string parent;
  std::string program = VANTLE_RENDER_EXE;
  int chainMax = 20;
  double chainKiB = 1024;
  double textureMiB = 1024;
  double followedMiB = 100;
  double cacheFrameMiB = 8;
  std::string only;
  bool keep = false;
};

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "vantle_bench: %s\n", why.c_str());
  std::exit(2);
}

void usage() {
  std::fprintf(stderr,
               "Usage: vantle_bench [--size-mb N] [--runs N] [--dir DIR] [--program EXE]\n"
               "                    [--chain-max D] [--chain-kb K] [--texture-mb N] [--followed-mb N]\n"
               "                    [--only ascii|binary|chains|textures|dependencies|followed|cache] [--keep]\n"
               "  --size-mb N    size of each large scene in MiB (default 512)\n"
               "  --runs N       repetitions of every measurement; medians are printed (default 5)\n"
               "  --dir DIR      where the temporary directory is made (default $TMPDIR or /tmp)\n"
               "  --program EXE  the vantleRender to measure (default the one built with this)\n"
               "  --chain-max D  deepest reference chain timed, 0 for none (default 20)\n"
               "  --chain-kb K   size of each scene of a chain in KiB (default 1024)\n"
               "  --texture-mb N the textures of the staging measurement in all, in MiB, 0 for none (default 1024)\n"
               "  --followed-mb N the USD layer and the Arnold scene file that the program follows, in MiB each,\n"
               "                 0 for none (default 100)\n"
               "  --cache-frame-mb N each of the 200 frames of the cache measured, in MiB, 0 for none (default 8)\n"
               "  --only WHAT    measure only the ascii scene, the binary scene, the chains, the textures\n"
               "                 or the dependency kinds (dependencies), or the followed files (followed), or the cache\n"
               "  --keep         leave the generated files behind\n");
  std::exit(1);
}

Options parseOptions(int argc, char** argv) {
  Options o;
  const char* tmp = std::getenv("TMPDIR");
  o.parent = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage();
      return argv[++i];
    };
    if (a == "--size-mb") o.sizeMiB = std::atof(value().c_str());
    else if (a == "--runs") o.runs = std::atoi(value().c_str());
    else if (a == "--dir") o.parent = value();
    else if (a == "--program") o.program = value();
    else if (a == "--chain-max") o.chainMax = std::atoi(value().c_str());
    else if (a == "--chain-kb") o.chainKiB = std::atof(value().c_str());
    else if (a == "--texture-mb") o.textureMiB = std::atof(value().c_str());
    else if (a == "--followed-mb") o.followedMiB = std::atof(value().c_str());
    else if (a == "--cache-frame-mb") o.cacheFrameMiB = std::atof(value().c_str());
    else if (a == "--only") o.only = value();
    else if (a == "--keep") o.keep = true;
    else usage();
  }
  if (o.sizeMiB <= 0 || o.runs < 1 || o.chainKiB <= 0 || o.textureMiB < 0) usage();
  if (!o.only.empty() && o.only != "ascii" && o.only != "binary" && o.only != "chains" && o.only != "textures" &&
      o.only != "dependencies" && o.only != "followed" && o.only != "cache") {
    usage();
  }
  o.program = fs::absolute(o.program).string();
  return o;
}

// ---------------------------------------------------------------------------
// Writing generated files.

class Output {
 public:
  explicit Output(const fs::path& path) : file_(std::fopen(path.c_str(), "wb")) {
    if (file_ == nullptr) fail("cannot create " + path.string());
    buffer_.reserve(kBlock + 65536);
  }
  ~Output() { close(); }
  void close() {
    if (file_ == nullptr) return;
    drain();
    if (std::fclose(file_) != 0) fail("write failed");
    file_ = nullptr;
  }
  void put(const std::string& s) { put(s.data(), s.size()); }
  void put(const char* s) { put(s, std::strlen(s)); }
  void put(const char* s, std::size_t n) {
    buffer_.append(s, n);
    written_ += n;
    if (buffer_.size() >= kBlock) drain();
  }
  void put(char c) { put(&c, 1); }
  void putU32(std::uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
    put(b, 4);
  }
  std::uint64_t written() const { return written_; }

 private:
  static constexpr std::size_t kBlock = 8u << 20;
  void drain() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
      fail("write failed");
    }
    buffer_.clear();
  }
  std::FILE* file_;
  std::string buffer_;
  std::uint64_t written_ = 0;
};

void writeFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  Output out(path);
  out.put(bytes);
}

// Random bytes standing in for an image.
void writeTexture(const fs::path& path, std::mt19937_64& rng) {
  std::string bytes(64 * 1024, '\0');
  for (char& c : bytes) c = static_cast<char>(rng());
  writeFile(path, bytes);
}

// ---------------------------------------------------------------------------
// ASCII scenes: mostly createNode and setAttr statements with numeric
// arrays, about one statement in a thousand a texture or a reference.

class AsciiScene {
 public:
  AsciiScene(Output& out, std::uint64_t seed) : out_(out), rng_(seed) {
    for (int i = 0; i < 4096; ++i) {
      char text[32];
      std::snprintf(text, sizeof text, "%.6g", std::uniform_real_distribution<double>(-100, 100)(rng_));
      floats_.emplace_back(text);
      std::snprintf(text, sizeof text, "%d", static_cast<int>(rng_() % 20000));
      ints_.emplace_back(text);
    }
  }

  void header(const std::string& name) {
    out_.put("//Maya ASCII 2020 scene\n//Name: " + name + "\n//Last modified: Mon, Jan 06, 2025 10:00:00 AM\n");
    out_.put("//Codeset: UTF-8\nrequires maya \"2020\";\nrequires \"stereoCamera\" \"10.0\";\n");
    out_.put("currentUnit -l centimeter -a degree -t film;\nfileInfo \"application\" \"maya\";\n");
  }

  void reference(const std::string& ns, const std::string& path) {
    out_.put("file -r -ns \"" + ns + "\" -dr 1 -rfn \"" + ns + "RN\" -op \"v=0;\" \"" + path + "\";\n");
    ++statements_;
  }

  void texture(const std::string& path) {
    char name[64];
    std::snprintf(name, sizeof name, "file%" PRIu64, nodes_++);
    out_.put(std::string("createNode file -n \"") + name + "\";\n");
    out_.put("\tsetAttr \".ftn\" -type \"string\" \"" + path + "\";\n");
    statements_ += 2;
  }

  // A node of a type whose attributes name files (file nodes with tiles,
  // renderer and cache nodes), `kind` choosing which.
  void fileNode(int kind, const std::string& folder) {
    char name[64];
    std::snprintf(name, sizeof name, "dep%" PRIu64, nodes_++);
    static const char* const kNodes[][3] = {
        {"file", ".ftn", "tile_1001.tif"},          {"file", ".ftn", "tex_03.tif"},
        {"aiImage", ".filename", "tex_05.tif"},     {"RedshiftNormalMap", ".tex0", "tex_07.tif"},
        {"gpuCache", ".cfn", "crate.abc"},          {"aiVolume", ".filename", "smoke_####.vdb"},
        {"PxrTexture", ".filename", "tex_<UDIM>.tif"},
    };
    const auto& node = kNodes[kind % std::size(kNodes)];
    out_.put(std::string("createNode ") + node[0] + " -n \"" + name + "\";\n");
    out_.put("\trename -uid \"6A2E1C3B-4D5E-6F70-8192-A3B4C5D6E7F8\";\n");
    if (kind % std::size(kNodes) == 0) out_.put("\tsetAttr \".uvt\" 3;\n");
    out_.put(std::string("\tsetAttr \"") + node[1] + "\" -type \"string\" \"" + folder + "/" + node[2] + "\";\n");
    statements_ += 3;
  }

  // One statement of ordinary scene data.
  void ordinary() {
    ++statements_;
    const std::uint64_t node = nodes_;
    char text[160];
    switch (rng_() % 10) {
      case 0:
        std::snprintf(text, sizeof text, "createNode transform -n \"grp_%" PRIu64 "\" -p \"set_%" PRIu64 "\";\n",
                      node, node / 50);
        out_.put(text);
        ++nodes_;
        return;
      case 1:
        std::snprintf(text, sizeof text, "\trename -uid \"%08X-%04X-%04X-%04X-%012" PRIX64 "\";\n",
                      static_cast<unsigned>(rng_()), static_cast<unsigned>(rng_() & 0xffff),
                      static_cast<unsigned>(rng_() & 0xffff), static_cast<unsigned>(rng_() & 0xffff),
                      static_cast<std::uint64_t>(rng_() & 0xffffffffffffULL));
        out_.put(text);
        return;
      case 2:
        std::snprintf(text, sizeof text, "createNode mesh -n \"shape_%" PRIu64 "\" -p \"grp_%" PRIu64 "\";\n",
                      node, node);
        out_.put(text);
        ++nodes_;
        return;
      case 3:
        out_.put("\tsetAttr -k off \".v\";\n");
        return;
      case 4:
        out_.put("\tsetAttr \".t\" -type \"double3\" " + pick(floats_) + " " + pick(floats_) + " " +
                 pick(floats_) + " ;\n");
        return;
      case 5:
        std::snprintf(text, sizeof text, "connectAttr \"shape_%" PRIu64 ".iog\" \":initialShadingGroup.dsm\" -na;\n",
                      node);
        out_.put(text);
        return;
      case 6:
        out_.put("\tsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\n");
        return;
      case 7:
      case 8:
        array(".vt", "", 3 + rng_() % 300, floats_);
        return;
      default:
        array(".ed", "", 3 + rng_() % 300, ints_);
        return;
    }
  }

  // A statement far past the reader's length limit.
  void veryLong(std::size_t values) { array(".vt", "", values, floats_); }

  std::uint64_t statements() const { return statements_; }

 private:
  const std::string& pick(const std::vector<std::string>& pool) { return pool[rng_() % pool.size()]; }

  void array(const char* attribute, const char* type, std::size_t count, const std::vector<std::string>& pool) {
    char text[96];
    std::snprintf(text, sizeof text, "\tsetAttr -s %zu \"%s[0:%zu]\"%s", count, attribute, count - 1, type);
    out_.put(text);
    for (std::size_t i = 0; i < count; ++i) {
      out_.put(i % 6 == 0 ? "\n\t\t " : " ");
      out_.put(pick(pool));
    }
    out_.put(";\n");
  }

  Output& out_;
  std::mt19937_64 rng_;
  std::vector<std::string> floats_;
  std::vector<std::string> ints_;
  std::uint64_t nodes_ = 0;
  std::uint64_t statements_ = 0;
};

struct SceneCounts {
  std::uint64_t bytes = 0;
  int textures = 0;
  int references = 0;
  int longStatements = 0;
};

// `textures` and `references` are paths as the scene spells them.
SceneCounts generateAscii(const fs::path& path, std::uint64_t bytes, std::uint64_t seed,
                          const std::vector<std::string>& textures, const std::vector<std::string>& references,
                          int longStatements) {
  Output out(path);
  AsciiScene scene(out, seed);
  SceneCounts counts;
  scene.header(path.filename().string());
  std::mt19937_64 rng(seed ^ 0x5eed);
  std::uint64_t nextLong = longStatements > 0 ? bytes / (longStatements + 1) : ~0ull;
  std::uint64_t nextSpecial = 1000;
  while (out.written() < bytes) {
    if (out.written() >= nextLong) {
      scene.veryLong(20000 + rng() % 60000);
      ++counts.longStatements;
      nextLong += bytes / (longStatements + 1);
    } else if (scene.statements() >= nextSpecial && (!textures.empty() || !references.empty())) {
      nextSpecial += 1000;
      // Most are textures: a shot references a few dozen scenes at most.
      if (!references.empty() && (textures.empty() || rng() % 50 == 0)) {
        const std::size_t r = rng() % references.size();
        scene.reference("ref" + std::to_string(r), references[r]);
        ++counts.references;
      } else {
        scene.texture(textures[rng() % textures.size()]);
        ++counts.textures;
      }
    } else {
      scene.ordinary();
    }
  }
  counts.bytes = out.written();
  return counts;
}

// ---------------------------------------------------------------------------
// Binary scenes, well formed as Maya writes FOR4 files: a HEAD group, per
// reference an FRDI and an FREF group, then one group per node (form type
// the node's type id) of float and integer arrays, now and then a file
// node naming a texture. The top group's size is filled in at the end.

class BinaryScene {
 public:
  BinaryScene(Output& out, std::uint64_t seed) : out_(out), rng_(seed) {}

  void header() {
    out_.put("FOR4");
    out_.putU32(0);  // the whole size, written by finish()
    out_.put("Maya");
    group("HEAD", [&] {
      chunk("VERS", std::string("2020\0", 5));
      chunk("UVER", std::string("undef\0", 6));
      chunk("FINF", std::string("application\0maya\0product\0Maya 2020\0", 35));
    });
  }

  void texture(const std::string& path) {
    group("RTFT", [&] {
      chunk("CREA", std::string("\0", 1) + "file" + std::to_string(nodes_++) + std::string(1, '\0'));
      chunk("STR ", std::string("ftn\0\0", 5) + path + std::string(1, '\0'));
    });
  }

  void reference(const std::string& path) {
    group("FRDI", [&] { chunk("FRDI", std::string("\0\0\0\x01", 4) + path + std::string(1, '\0')); });
    group("FREF", [&] {
      const std::string ns = "ref" + std::to_string(nodes_++);
      chunk("FREF", path + std::string(1, '\0') + ns + std::string("\0\0\0", 3) + ns + "RN" + std::string(1, '\0'));
    });
  }

  void ordinary() {
    const std::uint64_t node = nodes_++;
    const std::size_t count = 16 + rng_() % 2000;
    switch (rng_() % 4) {
      case 0:
        group("XFRM", [&] {
          chunk("CREA", "\x01grp_" + std::to_string(node) + std::string(1, '\0'));
          chunk("DBL3", std::string("t\0\0", 3) + floats(6, 100.0f));
        });
        return;
      case 1:
        group("DMSH", [&] {
          chunk("CREA", "\x01shape_" + std::to_string(node) + std::string("\0grp_", 5) + std::to_string(node) +
                            std::string(1, '\0'));
          chunk("FLT3", std::string("vt\0\0", 4) + floats(count * 3, 100.0f));
          chunk("FLT3", std::string("n\0\0", 3) + floats(count * 3, 1.0f));
        });
        return;
      case 2:
        group("DMSH", [&] {
          chunk("FLT2", std::string("uvst[0].uvsp\0\0", 14) + floats(count * 2, 1.0f, true));
        });
        return;
      default:
        group("DMSH", [&] { chunk("INT ", std::string("ed\0\0", 4) + ints(count * 3)); });
        return;
    }
  }

  // The top group's size: everything after its first 8 bytes.
  static void finish(const fs::path& path, std::uint64_t bytes) {
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    const std::uint32_t size = static_cast<std::uint32_t>(bytes - 8);
    const char b[4] = {static_cast<char>(size >> 24), static_cast<char>(size >> 16), static_cast<char>(size >> 8),
                       static_cast<char>(size)};
    if (file == nullptr || std::fseek(file, 4, SEEK_SET) != 0 || std::fwrite(b, 1, 4, file) != 4 ||
        std::fclose(file) != 0) {
      fail("cannot finish " + path.string());
    }
  }

 private:
  // A group is built whole first: its size comes before its children.
  template <typename Body>
  void group(const char* type, Body body) {
    body_.clear();
    body();
    out_.put("FOR4");
    out_.putU32(static_cast<std::uint32_t>(body_.size() + 4));
    out_.put(type);
    out_.put(body_);
  }

  void chunk(const char* tag, const std::string& payload) {
    body_ += tag;
    const auto size = static_cast<std::uint32_t>(payload.size());
    for (int shift = 24; shift >= 0; shift -= 8) body_ += static_cast<char>(size >> shift);
    body_ += payload;
    if (payload.size() % 4 != 0) body_.append(4 - payload.size() % 4, '\0');
  }

  static void putFloat(std::string& s, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    s += static_cast<char>(bits >> 24);
    s += static_cast<char>(bits >> 16);
    s += static_cast<char>(bits >> 8);
    s += static_cast<char>(bits);
  }

  // Real data never names a texture by accident; random bytes could, for
  // a reader of printable runs.
  static void scrubMarkers(std::string& s) {
    for (std::size_t at = s.find("ftn"); at != std::string::npos; at = s.find("ftn", at)) s[at] = 'F';
  }

  std::string floats(std::size_t count, float range, bool positive = false) {
    std::string s;
    s.reserve(count * 4);
    std::uniform_real_distribution<float> value(positive ? 0.0f : -range, range);
    for (std::size_t i = 0; i < count; ++i) putFloat(s, value(rng_));
    scrubMarkers(s);
    return s;
  }

  std::string ints(std::size_t count) {
    std::string s;
    s.reserve(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t v = static_cast<std::uint32_t>(rng_() % 200000);
      s += static_cast<char>(v >> 24);
      s += static_cast<char>(v >> 16);
      s += static_cast<char>(v >> 8);
      s += static_cast<char>(v);
    }
    scrubMarkers(s);
    return s;
  }

  Output& out_;
  std::mt19937_64 rng_;
  std::uint64_t nodes_ = 0;
  std::string body_;
};

SceneCounts generateBinary(const fs::path& path, std::uint64_t bytes, std::uint64_t seed, int textureTokens,
                           int referenceTokens, const std::vector<std::string>& textures,
                           const std::vector<std::string>& references) {
  Output out(path);
  BinaryScene scene(out, seed);
  SceneCounts counts;
  std::mt19937_64 rng(seed ^ 0xb1);
  scene.header();
  const std::uint64_t textureEvery = textureTokens > 0 ? bytes / textureTokens + 1 : ~0ull;
  const std::uint64_t referenceEvery = referenceTokens > 0 ? bytes / referenceTokens + 1 : ~0ull;
  std::uint64_t nextTexture = textureEvery / 2;
  std::uint64_t nextReference = referenceEvery / 2;
  while (out.written() < bytes) {
    if (out.written() >= nextTexture && !textures.empty()) {
      scene.texture(textures[rng() % textures.size()]);
      ++counts.textures;
      nextTexture += textureEvery;
    } else if (out.written() >= nextReference && !references.empty()) {
      scene.reference(references[rng() % references.size()]);
      ++counts.references;
      nextReference += referenceEvery;
    } else {
      scene.ordinary();
    }
  }
  counts.bytes = out.written();
  out.close();
  BinaryScene::finish(path, counts.bytes);
  return counts;
}

// ---------------------------------------------------------------------------
// Running and timing.

struct Measure {
  double seconds = 0;     // wall-clock time
  double cpuSeconds = 0;  // user and system time, the process's and its children's
  long peakKiB = 0;
  int status = -1;
};

double cpuSecondsOf(const struct rusage& usage) {
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Child {
  std::vector<std::string> argv;
  std::string workingDirectory;
  std::vector<std::pair<std::string, std::string>> environment;
  std::string stdoutPath = "/dev/null";
};

// Every measurement starts with nothing left to write back from the one
// before, so that no run pays for another's output.
void settle() { sync(); }

Measure run(const Child& child) {
  settle();
  std::vector<char*> argv;
  for (const std::string& a : child.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) fail("fork failed");
  if (pid == 0) {
    if (!child.workingDirectory.empty() && chdir(child.workingDirectory.c_str()) != 0) _exit(126);
    for (const auto& [name, value] : child.environment) setenv(name.c_str(), value.c_str(), 1);
    const int out = open(child.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) _exit(126);
    dup2(out, 1);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) fail("wait4 failed");
  Measure m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.cpuSeconds = cpuSecondsOf(usage);
  m.peakKiB = usage.ru_maxrss;
  m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return m;
}

// The floor: every byte read once and written once, in 128 KiB blocks (as cp
// does when it copies by reading and writing; larger blocks are slower). Run
// as a command of its own (vantle_bench --copy FROM TO), like the others.
int copyBytes(const char* from, const char* to) {
  const int in = open(from, O_RDONLY);
  const int out = open(to, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0) return 2;
  std::vector<char> buffer(128u << 10);
  for (;;) {
    const ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0) return 2;
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put <= 0) return 2;
      done += put;
    }
  }
  return close(in) == 0 && close(out) == 0 ? 0 : 2;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void emptyDirectory(const fs::path& dir) {
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
}

int countLines(const fs::path& path, const char* prefix) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return -1;
  int count = 0;
  char line[4096];
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strncmp(line, prefix, std::strlen(prefix)) == 0) ++count;
  }
  std::fclose(f);
  return count;
}

struct Bench {
  Options options;
  std::string self;  // this program, for the read-write copy
  fs::path root;     // the temporary directory
  fs::path project;  // scenes and textures
  fs::path work;     // the program's working directory
  fs::path copies;   // where the copies and sed write
  fs::path header;
  fs::path bin;

  Child program(const fs::path& scene, const fs::path& log) const {
    Child c;
    c.argv = {options.program, "-s", "1", "-e", "100", "-j", "10", scene.string()};
    c.workingDirectory = work.string();
    const char* path = std::getenv("PATH");
    c.environment = {{"PATH", bin.string() + ":" + (path != nullptr ? path : "/usr/bin:/bin")},
                     {"VANTLE_RENDER_PATH", header.string()}};
    c.stdoutPath = log.string();
    return c;
  }
};

// Rewrites every texture line as the program does: bare name in parentheses.
const char kSedScript[] =
    "s|^[[:space:]]*\\(setAttr \"\\.ftn\" -type \"string\"\\) \"\\([^\"]*/\\)\\{0,1\\}\\([^\"/]*\\)\";$|\\1 (\"\\3\");|";

// The medians of repeated measurements of one command.
struct Samples {
  std::vector<double> wall;
  std::vector<double> cpu;
  long peakKiB = 0;
  void add(const Measure& m) {
    wall.push_back(m.seconds);
    cpu.push_back(m.cpuSeconds);
  }
  double wallMedian() const { return median(wall); }
  double cpuMedian() const { return median(cpu); }
};

// One line of a table of medians: time, throughput and CPU time.
void printHeading() { std::printf("  %-20s %9s %9s %9s\n", "", "time (s)", "MiB/s", "cpu (s)"); }
void printRow(const char* name, const Samples& samples, double mib) {
  std::printf("  %-20s %9.3f %9.0f %9.3f\n", name, samples.wallMedian(), mib / samples.wallMedian(),
              samples.cpuMedian());
}

// A command timed again and again, and where its times go.
struct Timed {
  Samples* samples;
  std::function<void()> run;
};

// Runs every command once untimed (each then finds its input, and the
// memory its output takes, as the timed rounds do), then `runs` rounds,
// each starting with another command, so that none is always the one that
// follows the deletion of the last round's output.
void rotate(int runs, const std::vector<Timed>& commands) {
  for (const Timed& command : commands) command.run();
  for (const Timed& command : commands) *command.samples = Samples();
  for (int r = 0; r < runs; ++r) {
    for (std::size_t i = 0; i < commands.size(); ++i) commands[(r + i) % commands.size()].run();
  }
}

// The median of `a` / `b` within each round, which ran under the same load.
double roundRatio(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) ratios.push_back(a[i] / b[i]);
  return median(ratios);
}

// Runs a copy the program is measured against, whose output goes to the
// folder of copies, which is emptied again.
// The table of a measure against a durable copy, and the ratio its goal
// is set for.
void printAgainstDurableCopy(const char* copyName, const Samples& copy, const Samples& program, double mib,
                             const char* copyWords) {
  printHeading();
  printRow(copyName, copy, mib);
  printRow("vantleRender", program, mib);
  std::printf("  vantleRender / %s, median of the runs' ratios: time %.2f (goal: at most 1.25)\n", copyWords,
              roundRatio(program.wall, copy.wall));
  std::fflush(stdout);
}

void runCopy(const Bench& b, const Child& command, Samples& samples, const std::string& failure) {
  const Measure m = run(command);
  if (m.status != 0) fail(failure);
  samples.add(m);
  emptyDirectory(b.copies);
}

void measureScene(const Bench& b, const char* label, const fs::path& scene, const SceneCounts& counts) {
  const double mib = static_cast<double>(counts.bytes) / kMiB;
  Samples copy, cp, cpSync, sed, program;
  const fs::path log = b.root / "program.log";
  const std::string copyName = "~" + scene.filename().string();

  // The plain commands the program is set beside; what each wrote is
  // cleared after it.
  Child copyCommand, cpCommand, cpSyncCommand, sedCommand;
  copyCommand.argv = {b.self, "--copy", scene.string(), (b.copies / "copy").string()};
  cpCommand.argv = {"cp", scene.string(), (b.copies / "cp").string()};
  // The program puts every file it writes on the disk before the file takes
  // its name; cp leaves its copy in the system's cache. The durable copy:
  cpSyncCommand.argv = {"sh", "-c", "cp \"$0\" \"$1\" && sync --data \"$1\"", scene.string(),
                        (b.copies / "cp-sync").string()};
  sedCommand.argv = {"sed", "-e", kSedScript, scene.string()};
  sedCommand.environment = {{"LC_ALL", "C"}};
  sedCommand.stdoutPath = (b.copies / "sed").string();
  const auto runReadWrite = [&] { runCopy(b, copyCommand, copy, "the read-write copy failed"); };
  const auto runCp = [&] { runCopy(b, cpCommand, cp, "cp failed"); };
  const auto runCpSync = [&] { runCopy(b, cpSyncCommand, cpSync, "cp and sync failed"); };
  const auto runSed = [&] { runCopy(b, sedCommand, sed, "sed failed"); };
  const auto runProgram = [&] {
    const Measure m = run(b.program(scene, log));
    if (m.status != 0) fail(std::string("vantleRender failed on the ") + label + " scene, see " + log.string());
    const std::uintmax_t copied = fs::file_size(b.work / copyName);
    if (copied == 0 || (std::strcmp(label, "binary") == 0 && copied != counts.bytes)) {
      fail(std::string("the rewritten ") + label + " scene has the wrong size");
    }
    program.add(m);
    emptyDirectory(b.work);
  };
  rotate(b.options.runs, {{&copy, runReadWrite}, {&program, runProgram}, {&cp, runCp}, {&cpSync, runCpSync}, {&sed, runSed}});
  std::printf("\n%s scene: %.1f MiB, %d textures, %d references", label, mib, counts.textures, counts.references);
  if (counts.longStatements > 0) std::printf(", %d over-long statements", counts.longStatements);
  std::printf("; medians of %d runs\n", b.options.runs);
  printHeading();
  const auto line = [mib](const char* name, const Samples& samples) { printRow(name, samples, mib); };
  line("read-write copy", copy);
  line("cp", cp);
  line("cp, sync --data", cpSync);
  line("sed (.ftn lines)", sed);
  line("vantleRender", program);
  std::printf("  vantleRender / cp, median of the runs' ratios: time %.2f\n", roundRatio(program.wall, cp.wall));
  std::printf("  vantleRender / cp with sync --data, median of the runs' ratios: time %.2f (goal: at most 1.25)\n",
              roundRatio(program.wall, cpSync.wall));
  std::printf("  vantleRender / read-write copy, median of the runs' ratios: time %.2f, cpu %.2f\n",
              roundRatio(program.wall, copy.wall), roundRatio(program.cpu, copy.cpu));
  std::printf("  (ratios of the medians: time %.2f, cpu %.2f; to cp: time %.2f)\n",
              program.wallMedian() / copy.wallMedian(), program.cpuMedian() / copy.cpuMedian(),
              program.wallMedian() / cp.wallMedian());
  std::printf("  peak resident memory: %.1f MiB (goal: at most the scene + 32 MiB = %.1f MiB)\n",
              program.peakKiB / 1024.0, mib + 32);
  std::fflush(stdout);
}

// A shot whose time goes to its textures: a small scene naming a dozen
// large images, staged by the program, against `cp` of the same images
// into an empty folder of the same file system.
void measureTextures(const Bench& b) {
  const int count = 12;
  const std::uint64_t each = static_cast<std::uint64_t>(b.options.textureMiB * kMiB / count);
  const fs::path dir = b.project / "textures";
  const fs::path scene = dir / "scenes" / "textured.ma";
  std::vector<std::string> files;
  {
    fs::create_directories(scene.parent_path());
    fs::create_directories(dir / "sourceimages");
    Output out(scene);
    AsciiScene ascii(out, 77);
    ascii.header(scene.filename().string());
    std::mt19937_64 rng(77);
    for (int i = 0; i < count; ++i) {
      const std::string name = "sourceimages/large_" + std::to_string(i) + ".tif";
      Output image(dir / name);
      std::string block(1 << 20, '\0');
      for (std::uint64_t left = each; left > 0;) {
        for (std::size_t k = 0; k + 8 <= block.size(); k += 8) {
          const std::uint64_t word = rng();
          std::memcpy(&block[k], &word, 8);
        }
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
        image.put(block.substr(0, n));
        left -= n;
      }
      ascii.texture(name);
      files.push_back((dir / name).string());
    }
    while (out.written() < 64 * 1024) ascii.ordinary();
  }
  const fs::path log = b.root / "textures.log";
  Child cpCommand;
  cpCommand.argv = {"cp"};
  cpCommand.argv.insert(cpCommand.argv.end(), files.begin(), files.end());
  cpCommand.argv.push_back(b.copies.string());
  // The same, with the copies put on the disk as the program puts the files it stages.
  Child cpSyncCommand;
  cpSyncCommand.argv = {"sh", "-c", "cp \"$@\" \"$0\" && sync --data \"$0\"/*", b.copies.string()};
  cpSyncCommand.argv.insert(cpSyncCommand.argv.end(), files.begin(), files.end());
  Samples cp, cpSync, program;
  const auto runPlain = [&](const Child& command, Samples& samples) {
    runCopy(b, command, samples, "cp of the textures failed");
  };
  const auto runProgram = [&] {
    const Measure m = run(b.program(scene, log));
    if (m.status != 0) fail("vantleRender failed on the textured scene, see " + log.string());
    program.add(m);
    emptyDirectory(b.work);
  };
  rotate(b.options.runs, {{&cp, [&] { runPlain(cpCommand, cp); }},
                          {&cpSync, [&] { runPlain(cpSyncCommand, cpSync); }},
                          {&program, runProgram}});
  const double mib = static_cast<double>(each) * count / kMiB;
  std::printf("\ntexture staging: %d textures, %.1f MiB in all; medians of %d runs\n", count, mib, b.options.runs);
  printHeading();
  printRow("cp", cp, mib);
  printRow("cp, sync --data", cpSync, mib);
  printRow("vantleRender", program, mib);
  std::printf("  vantleRender / cp, median of the runs' ratios: time %.2f\n", roundRatio(program.wall, cp.wall));
  std::printf("  vantleRender / cp with sync --data, median of the runs' ratios: time %.2f (goal: at most 1.0)\n",
              roundRatio(program.wall, cpSync.wall));
  std::fflush(stdout);
  if (!b.options.keep) fs::remove_all(dir);
}

// What reading the kinds of dependency costs: a scene dense with file
// nodes, tiles, renderer and cache nodes against one of the same size with
// none, both read, rewritten and their files staged.
void measureDependencyTable(const Bench& b) {
  const std::uint64_t bytes = static_cast<std::uint64_t>(std::max(16.0, b.options.sizeMiB / 4) * kMiB);
  const fs::path dir = b.project / "dense";
  std::mt19937_64 rng(99);
  for (const char* name : {"tile_1001.tif", "tile_1002.tif", "tile_1011.tif", "tex_03.tif", "tex_05.tif",
                           "tex_07.tif", "crate.abc", "smoke_0001.vdb", "smoke_0002.vdb", "tex_1001.tif"}) {
    writeTexture(dir / "sourceimages" / name, rng);
  }
  std::uint64_t dependencies = 0;
  const auto generate = [&](const fs::path& scene, int every) {
    fs::create_directories(scene.parent_path());
    Output out(scene);
    AsciiScene ascii(out, 5);
    ascii.header(scene.filename().string());
    for (std::uint64_t n = 0; out.written() < bytes; ++n) {
      if (every > 0 && n % every == 0) {
        ascii.fileNode(static_cast<int>(n / every), "sourceimages");
        ++dependencies;
      } else {
        ascii.ordinary();
      }
    }
  };
  const fs::path plain = dir / "scenes" / "plain.ma", dense = dir / "scenes" / "dense.ma";
  generate(plain, 0);
  generate(dense, 50);
  const fs::path log = b.root / "dense.log";
  Samples plainTimes, denseTimes;
  const auto time = [&](const fs::path& scene, Samples& samples) {
    const Measure m = run(b.program(scene, log));
    if (m.status != 0) fail("vantleRender failed on " + scene.filename().string() + ", see " + log.string());
    samples.add(m);
    emptyDirectory(b.work);
  };
  rotate(b.options.runs, {{&plainTimes, [&] { time(plain, plainTimes); }}, {&denseTimes, [&] { time(dense, denseTimes); }}});
  const double mib = static_cast<double>(bytes) / kMiB;
  std::printf("\ndependency kinds: two ASCII scenes of %.1f MiB, one with %" PRIu64
              " file, tile, renderer and cache nodes (one among every 50 statements), one with none; medians of %d runs\n",
              mib, dependencies, b.options.runs);
  printHeading();
  printRow("without", plainTimes, mib);
  printRow("dense", denseTimes, mib);
  std::printf("  dense / without, median of the runs' ratios: time %.2f\n", roundRatio(denseTimes.wall, plainTimes.wall));
  std::fflush(stdout);
  if (!b.options.keep) fs::remove_all(dir);
}

void measureChains(const Bench& b) {
  const std::uint64_t bytes = static_cast<std::uint64_t>(b.options.chainKiB * 1024);
  std::printf("\nreference chains: each scene %.0f KiB with one texture, references the next; medians of %d runs\n",
              b.options.chainKiB, b.options.runs);
  std::printf("  %5s %10s %12s %10s %10s\n", "depth", "Examining", "MiB scanned", "time (s)", "MiB/s");
  std::vector<int> depths;
  for (int depth = 2; depth <= b.options.chainMax; depth += depth < 4 ? 1 : 4) depths.push_back(depth);
  if (b.options.chainMax >= 2 && depths.back() != b.options.chainMax) depths.push_back(b.options.chainMax);
  for (const int depth : depths) {
    const fs::path dir = b.project / ("chain" + std::to_string(depth));
    std::mt19937_64 rng(depth);
    for (int i = 1; i <= depth; ++i) {
      writeTexture(dir / "sourceimages" / ("ctex_" + std::to_string(i) + ".tif"), rng);
      std::vector<std::string> refs;
      if (i < depth) refs.push_back("scenes/chain_" + std::to_string(i + 1) + ".ma");
      fs::create_directories(dir / "scenes");
      const fs::path scene = dir / "scenes" / ("chain_" + std::to_string(i) + ".ma");
      Output out(scene);
      AsciiScene ascii(out, 1000 * depth + i);
      ascii.header(scene.filename().string());
      if (!refs.empty()) ascii.reference("next", refs[0]);
      ascii.texture("sourceimages/ctex_" + std::to_string(i) + ".tif");
      while (out.written() < bytes) ascii.ordinary();
    }
    const fs::path top = dir / "scenes" / "chain_1.ma";
    const fs::path log = b.root / "chain.log";
    std::vector<double> times;
    int examined = 0;
    for (int r = 0; r < b.options.runs; ++r) {
      Measure m = run(b.program(top, log));
      if (m.status != 0) fail("vantleRender failed on a chain, see " + log.string());
      times.push_back(m.seconds);
      examined = countLines(log, "Examining '");
      emptyDirectory(b.work);
    }
    std::uint64_t scanned = 0;
    for (int i = 1; i <= depth; ++i) scanned += fs::file_size(dir / "scenes" / ("chain_" + std::to_string(i) + ".ma"));
    // Each scene is examined once: the count is the depth. The bytes read
    // follow from the count, the scenes being near one size.
    const double mib = static_cast<double>(scanned) / depth * examined / kMiB;
    const double t = median(times);
    std::printf("  %5d %10d %12.1f %10.3f %10.0f\n", depth, examined, mib, t, mib / t);
    std::fflush(stdout);
    if (!b.options.keep) fs::remove_all(dir);
  }
}

// A large file that names files, followed and rewritten by the program:
// a scene naming it, against a durable copy of the file alone.
void measureFollowedFile(const Bench& b, const char* label, const std::string& name, const std::string& head,
                         const std::string& (*block)(int), const std::string& node) {
  const std::uint64_t bytes = static_cast<std::uint64_t>(b.options.followedMiB * kMiB);
  const fs::path dir = b.project / "followed";
  const fs::path file = dir / "assets" / name;
  fs::create_directories(file.parent_path());
  fs::create_directories(dir / "scenes");
  std::mt19937_64 rng(7);
  for (int i = 0; i < 16; ++i) writeTexture(dir / "assets" / "tex" / ("t_" + std::to_string(i) + ".png"), rng);
  {
    Output out(file);
    out.put(head);
    for (int i = 0; out.written() < bytes; ++i) out.put(block(i));
  }
  const fs::path scene = dir / "scenes" / "shot.ma";
  writeFile(scene, "//Maya ASCII 2024 scene\n" + node + "assets/" + name + "\";\n");
  Samples program, cpSync;
  const fs::path log = b.root / "followed.log";
  Child cpSyncCommand;
  cpSyncCommand.argv = {"sh", "-c", "cp \"$0\" \"$1\" && sync --data \"$1\"", file.string(),
                        (b.copies / "cp-sync").string()};
  const auto runCpSync = [&] { runCopy(b, cpSyncCommand, cpSync, "cp and sync failed"); };
  const auto runProgram = [&] {
    const Measure m = run(b.program(scene, log));
    if (m.status != 0) fail(std::string("vantleRender failed on the ") + label + ", see " + log.string());
    if (fs::file_size(b.work / ("~" + name)) == 0) fail(std::string("no copy of the ") + label);
    program.add(m);
    emptyDirectory(b.work);
  };
  rotate(b.options.runs, {{&program, runProgram}, {&cpSync, runCpSync}});
  const double mib = static_cast<double>(fs::file_size(file)) / kMiB;
  std::printf("\n%s: %.1f MiB, a path every few KiB; medians of %d runs\n", label, mib, b.options.runs);
  printAgainstDurableCopy("cp, sync --data", cpSync, program, mib, "cp with sync --data");
  if (!b.options.keep) fs::remove_all(dir);
}

const std::string& usdaBlock(int i) {
  static std::string text;
  text = "def Xform \"Prop_" + std::to_string(i) + "\" (\n    kind = \"component\"\n)\n{\n";
  for (int k = 0; k < 40; ++k) text += "    double3 xformOp:translate = (" + std::to_string(k) + ", 0, 1.5)\n";
  text += "    asset inputs:file = @./tex/t_" + std::to_string(i % 16) + ".png@\n}\n";
  return text;
}

const std::string& assBlock(int i) {
  static std::string text;
  text = "polymesh\n{\n name mesh_" + std::to_string(i) + "\n nsides 4 1 UINT\n";
  for (int k = 0; k < 40; ++k) text += " vlist 3 1 VECTOR " + std::to_string(k) + " 0 1.5\n";
  text += "}\nimage\n{\n name img_" + std::to_string(i) + "\n filename \"tex/t_" + std::to_string(i % 16) +
          ".png\"\n}\n";
  return text;
}

// A cache of one file per frame, far longer than the frames rendered: the
// program stages the frames the jobs read, one more on each side, and the
// description; a durable copy of those same files is its floor.
void measureCache(const Bench& b) {
  const int frames = 200, first = 100, last = 119;
  const std::uint64_t each = static_cast<std::uint64_t>(b.options.cacheFrameMiB * kMiB);
  const fs::path dir = b.project / "cached";
  const fs::path folder = dir / "cache" / "sim";
  fs::create_directories(folder);
  fs::create_directories(dir / "scenes");
  writeFile(folder / "shape.xml", "<?xml version=\"1.0\"?>\n<cacheDescription>\n  <cacheType Type=\"OneFilePerFrame\" "
                                  "Format=\"mcx\"/>\n  <time Range=\"250-50000\"/>\n  <cacheTimePerFrame "
                                  "TimePerFrame=\"250\"/>\n</cacheDescription>\n");
  std::mt19937_64 rng(11);
  std::vector<std::string> needed = {(folder / "shape.xml").string()};
  for (int frame = 1; frame <= frames; ++frame) {
    const fs::path file = folder / ("shapeFrame" + std::to_string(frame) + ".mcx");
    Output out(file);
    std::string block(64 * 1024, '\0');
    while (out.written() < each) {
      for (char& c : block) c = static_cast<char>(rng());
      out.put(block);
    }
    if (frame >= first - 1 && frame <= last + 1) needed.push_back(file.string());
  }
  const fs::path scene = dir / "scenes" / "shot.ma";
  writeFile(scene, "//Maya ASCII 2024 scene\ncreateNode cacheFile -n \"c\";\n\tsetAttr \".cp\" -type \"string\" "
                   "\"cache/sim\";\n\tsetAttr \".cn\" -type \"string\" \"shape\";\n\tsetAttr \".sf\" 1;\n"
                   "\tsetAttr \".ss\" 1;\n\tsetAttr \".se\" 200;\n");
  Child program = b.program(scene, b.root / "cache.log");
  program.argv = {b.options.program, "-s", std::to_string(first), "-e", std::to_string(last), "-j", "10",
                  scene.string()};
  std::string copyScript = "cp";
  for (const std::string& file : needed) copyScript += " \"" + file + "\"";
  copyScript += " \"$0\" && sync --file-system \"$0\"";
  Child cpSyncCommand;
  cpSyncCommand.argv = {"sh", "-c", copyScript, b.copies.string()};
  Samples staged, cpSync;
  const auto runCpSync = [&] { runCopy(b, cpSyncCommand, cpSync, "cp and sync of the cache failed"); };
  const auto runProgram = [&] {
    const Measure m = run(program);
    if (m.status != 0) fail("vantleRender failed on the cache, see " + (b.root / "cache.log").string());
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(b.work / "sim")) files += entry.is_regular_file() ? 1 : 0;
    if (files != needed.size()) fail("the cache staged " + std::to_string(files) + " files, not " +
                                     std::to_string(needed.size()));
    staged.add(m);
    emptyDirectory(b.work);
  };
  rotate(b.options.runs, {{&staged, runProgram}, {&cpSync, runCpSync}});
  const double mib = static_cast<double>(needed.size() - 1) * static_cast<double>(each) / kMiB;
  std::printf("\ncache: %d frames of %.0f MiB, frames %d to %d rendered, %zu files staged; medians of %d runs\n",
              frames, b.options.cacheFrameMiB, first, last, needed.size(), b.options.runs);
  printAgainstDurableCopy("cp, sync (22 frames)", cpSync, staged, mib, "cp with sync");
  if (!b.options.keep) fs::remove_all(dir);
}

void measureFollowedFiles(const Bench& b) {
  measureFollowedFile(b, "USD layer in text form", "big.usda", "#usda 1.0\n", usdaBlock,
                      "createNode mayaUsdProxyShape -n \"s\";\n\tsetAttr \".fp\" -type \"string\" \"");
  measureFollowedFile(b, "Arnold scene file", "big.ass", "### a stand-in\n", assBlock,
                      "createNode aiStandIn -n \"a\";\n\tsetAttr \".dso\" -type \"string\" \"");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--copy") == 0) return copyBytes(argv[2], argv[3]);
  Bench b;
  b.options = parseOptions(argc, argv);
  std::error_code noLink;
  b.self = fs::read_symlink("/proc/self/exe", noLink).string();
  if (b.self.empty()) b.self = fs::absolute(argv[0]).string();
  if (access(b.options.program.c_str(), X_OK) != 0) fail("no program at " + b.options.program);

  std::string pattern = (fs::path(b.options.parent) / "vantle_bench.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) fail("cannot make a temporary directory in " + b.options.parent);
  b.root = pattern;
  b.project = b.root / "proj";
  b.work = b.root / "work";
  b.copies = b.root / "copies";
  b.bin = b.root / "bin";
  b.header = b.root / "vantle_render.hdr";
  fs::create_directories(b.work);
  fs::create_directories(b.copies);
  writeFile(b.header, "executable = render.sh\noutput = render.out\n");
  writeFile(b.bin / "vantle_submit", "#!/bin/sh\nexit 0\n");
  fs::permissions(b.bin / "vantle_submit", fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);

  const std::uint64_t bytes = static_cast<std::uint64_t>(b.options.sizeMiB * kMiB);
  const bool all = b.options.only.empty();
  double load[3] = {0, 0, 0};
  getloadavg(load, 3);
  std::printf("vantle_bench: %s\n  scenes in %s; load average %.2f %.2f %.2f, %ld processors\n",
              b.options.program.c_str(), b.root.c_str(), load[0], load[1], load[2], sysconf(_SC_NPROCESSORS_ONLN));
  std::fflush(stdout);

  std::mt19937_64 rng(42);
  std::vector<std::string> textures;
  for (int i = 0; i < 20; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "tex_%02d.tif", i);
    writeTexture(b.project / "sourceimages" / name, rng);
    textures.push_back(std::string("sourceimages/") + name);
  }

  if (all || b.options.only == "ascii") {
    std::vector<std::string> refs;
    for (int i = 0; i < 5; ++i) {
      const std::string name = "set_0" + std::to_string(i) + ".ma";
      const fs::path scene = b.project / "scenes" / name;
      fs::create_directories(scene.parent_path());
      writeTexture(b.project / "sourceimages" / ("set_tex_0" + std::to_string(i) + ".tif"), rng);
      Output out(scene);
      AsciiScene small(out, 100 + i);
      small.header(name);
      small.texture("sourceimages/set_tex_0" + std::to_string(i) + ".tif");
      while (out.written() < 16 * 1024) small.ordinary();
      refs.push_back("scenes/" + name);
    }
    const auto start = std::chrono::steady_clock::now();
    const fs::path scene = b.project / "scenes" / "shot.ma";
    const SceneCounts counts = generateAscii(scene, bytes, 1, textures, refs, 8);
    std::printf("  generated %s in %.1f s\n", scene.filename().c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    measureScene(b, "ASCII", scene, counts);
    if (!b.options.keep) fs::remove(scene);
  }

  if (all || b.options.only == "binary") {
    std::vector<std::string> refs;
    for (int i = 0; i < 5; ++i) {
      const std::string name = "prop_0" + std::to_string(i) + ".mb";
      writeTexture(b.project / "sourceimages" / ("prop_tex_0" + std::to_string(i) + ".tif"), rng);
      fs::create_directories(b.project / "scenes");
      generateBinary(b.project / "scenes" / name, 64 * 1024, 200 + i, 1, 0,
                     {"sourceimages/prop_tex_0" + std::to_string(i) + ".tif"}, {});
      refs.push_back("scenes/" + name);
    }
    const auto start = std::chrono::steady_clock::now();
    const fs::path scene = b.project / "scenes" / "shot.mb";
    // A few hundred markers in a full-size scene, fewer in a small one.
    const int markers = std::max(4, static_cast<int>(300 * b.options.sizeMiB / 512));
    const SceneCounts counts = generateBinary(scene, bytes, 2, markers, std::max(1, markers / 30), textures, refs);
    std::printf("  generated %s in %.1f s\n", scene.filename().c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    measureScene(b, "binary", scene, counts);
    if (!b.options.keep) fs::remove(scene);
  }

  if ((all || b.options.only == "chains") && b.options.chainMax >= 2) measureChains(b);
  if ((all || b.options.only == "textures") && b.options.textureMiB > 0) measureTextures(b);
  if (all || b.options.only == "dependencies") measureDependencyTable(b);
  if ((all || b.options.only == "followed") && b.options.followedMiB > 0) measureFollowedFiles(b);
  if ((all || b.options.only == "cache") && b.options.cacheFrameMiB > 0) measureCache(b);

  if (b.options.keep) {
    std::printf("\nfiles kept in %s\n", b.root.c_str());
  } else {
    fs::remove_all(b.root);
  }
  return 0;
}
