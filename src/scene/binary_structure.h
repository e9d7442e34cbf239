#pragma once
// The container of a Maya binary scene: groups and chunks, each a header
// (tag, in 8-byte-wide files 4 ignored bytes, a big-endian size of 4 or 8
// bytes) and its data; a group's data is its form type and its children,
// a chunk's data is padded with zeros to its width. walkMayaScene walks
// the headers in file order, seeking over chunk data, and tells a visitor
// where each group and chunk is; visitors read the little they need.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// Reads anywhere in a file through a buffer of one block, so that walking
// the headers of a scene reads on where they lie close together and seeks
// over the data between those far apart.
class BinaryFile {
 public:
  explicit BinaryFile(const std::string& path);
  // The bytes of a scene held in memory, which must outlive the reader.
  explicit BinaryFile(std::string_view bytes);
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  bool ok() const { return file_ != nullptr || memory_ != nullptr; }
  std::int64_t size() const { return size_; }
  // Copies bytes [offset, offset + count) to `out`; the count copied, fewer at the end of the file.
  std::size_t read(std::int64_t offset, char* out, std::size_t count);

 private:
  static constexpr std::size_t kBlock = std::size_t{64} << 10;
  std::FILE* file_ = nullptr;
  const char* memory_ = nullptr;
  std::int64_t size_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::int64_t bufferStart_ = 0;
  std::size_t bufferLength_ = 0;
  std::int64_t filePosition_ = -1;  // where the next fread reads, -1 when unknown
};

struct BinaryHeader {
  std::int64_t offset = 0;  // of the tag
  char tag[4] = {};
  int width = 4;           // 4: tag, u32 size; 8: tag, 4 ignored bytes, u64 size
  std::uint64_t size = 0;  // of the data, padding not counted
  bool isGroup = false;
  std::uint32_t formType = 0;  // groups only

  std::int64_t headerLength() const { return width == 4 ? 8 : 16; }
  std::int64_t sizeOffset() const { return offset + (width == 4 ? 4 : 8); }
  std::int64_t dataOffset() const { return offset + headerLength(); }
  bool hasTag(const char* text) const {
    return tag[0] == text[0] && tag[1] == text[1] && tag[2] == text[2] && tag[3] == text[3];
  }
};

// Zeros after a chunk's data up to a multiple of its width.
inline std::uint64_t chunkPadding(std::uint64_t size, int width) {
  return (static_cast<std::uint64_t>(width) - size % static_cast<std::uint64_t>(width)) %
         static_cast<std::uint64_t>(width);
}

// Where a chunk stands: the form type of the group directly around it,
// and of the node group it belongs to (a group directly under the top
// group, whose form type is its node's type id); 0 where there is none.
struct ChunkContext {
  std::uint32_t groupForm = 0;
  std::uint32_t nodeTypeId = 0;
  std::size_t depth = 0;  // groups around it, the top group included
};

class BinaryVisitor {
 public:
  virtual ~BinaryVisitor() = default;
  virtual void groupBegins(const BinaryHeader&) {}
  // `group` with the headers of the groups around it still open.
  virtual void groupEnds(const BinaryHeader&) {}
  virtual void chunk(const BinaryHeader&, const ChunkContext&) {}
};

// True when the first bytes of a file are those of a Maya binary scene:
// FOR4 or FOR8 and the form type Maya where that width puts it.
bool hasMayaForm(const char* head, std::size_t length);

// Walks the file's groups and chunks, telling the visitor of each as it
// is reached. True when the file is a well-formed Maya scene: one top
// group with form type Maya whose groups and chunks nest exactly and end
// exactly at the end of the file. The walk stops at the first fault, so
// a visitor must not act on what it was told until this returned true.
bool walkMayaScene(BinaryFile& file, BinaryVisitor& visitor);
