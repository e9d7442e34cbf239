#include "scene/binary_structure.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/platform.h"

BinaryFile::BinaryFile(const std::string& path) : file_(platform::openFile(path, "rb")) {
  if (file_ == nullptr) return;
  std::setvbuf(file_, nullptr, _IONBF, 0);
  if (platform::seekTo(file_, 0, SEEK_END)) size_ = std::max<std::int64_t>(0, platform::tellPosition(file_));
  filePosition_ = -1;
  buffer_.reset(new char[kBlock]);
}

BinaryFile::BinaryFile(std::string_view bytes)
    : memory_(bytes.data() != nullptr ? bytes.data() : ""), size_(static_cast<std::int64_t>(bytes.size())) {}

BinaryFile::~BinaryFile() {
  if (file_ != nullptr) std::fclose(file_);
}

std::size_t BinaryFile::read(std::int64_t offset, char* out, std::size_t count) {
  if (!ok() || offset < 0 || offset >= size_) return 0;
  count = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), size_ - offset));
  if (memory_ != nullptr) {
    std::memcpy(out, memory_ + offset, count);
    return count;
  }
  std::size_t copied = 0;
  while (copied < count) {
    const std::int64_t at = offset + static_cast<std::int64_t>(copied);
    const std::int64_t bufferEnd = bufferStart_ + static_cast<std::int64_t>(bufferLength_);
    if (at < bufferStart_ || at >= bufferEnd) {
      // Headers a little apart are reached by reading on, far apart by a
      // seek over the data between them.
      const bool readOn =
          at >= bufferEnd && at - bufferEnd < static_cast<std::int64_t>(kBlock) && filePosition_ == bufferEnd;
      bufferStart_ = readOn ? bufferEnd : at;
      bufferLength_ = 0;
      if (!readOn && !platform::seekTo(file_, at, SEEK_SET)) {
        filePosition_ = -1;
        break;
      }
      while (bufferLength_ < kBlock) {
        const std::size_t n = std::fread(buffer_.get() + bufferLength_, 1, kBlock - bufferLength_, file_);
        if (n == 0) break;
        bufferLength_ += n;
      }
      filePosition_ = bufferStart_ + static_cast<std::int64_t>(bufferLength_);
      if (at >= filePosition_) break;
      continue;
    }
    const std::size_t from = static_cast<std::size_t>(at - bufferStart_);
    const std::size_t n = std::min(count - copied, bufferLength_ - from);
    std::memcpy(out + copied, buffer_.get() + from, n);
    copied += n;
  }
  return copied;
}

namespace {

std::uint64_t bigEndian(const unsigned char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

// The width of a group tag (the digit of FOR4, LIS8...; PROP takes the
// width of the group it is in), or 0 for the tag of a chunk.
int groupWidth(const char* tag, int enclosing) {
  static const char* const kGroups[] = {"FOR4", "FOR8", "LIS4", "LIS8", "CAT4", "CAT8"};
  for (const char* group : kGroups) {
    if (std::memcmp(tag, group, 4) == 0) return group[3] - '0';
  }
  return std::memcmp(tag, "PROP", 4) == 0 ? enclosing : 0;
}

// Reads the header at `offset` in a group of width `enclosing`, with at
// most `room` bytes up to the group's end; false when it does not fit.
bool readHeader(BinaryFile& file, std::int64_t offset, std::uint64_t room, int enclosing, BinaryHeader& header) {
  unsigned char bytes[20];
  if (room < 4 || file.read(offset, reinterpret_cast<char*>(bytes), 4) != 4) return false;
  header = BinaryHeader();
  header.offset = offset;
  std::memcpy(header.tag, bytes, 4);
  const int own = groupWidth(header.tag, enclosing);
  header.isGroup = own != 0;
  header.width = header.isGroup ? own : enclosing;
  const std::size_t length = static_cast<std::size_t>(header.headerLength()) + (header.isGroup ? 4 : 0);
  if (room < length || file.read(offset, reinterpret_cast<char*>(bytes), length) != length) return false;
  header.size = bigEndian(bytes + (header.width == 4 ? 4 : 8), header.width);
  const std::uint64_t inside = room - static_cast<std::uint64_t>(header.headerLength());
  if (header.isGroup) {
    header.formType = static_cast<std::uint32_t>(bigEndian(bytes + header.headerLength(), 4));
    return header.size >= 4 && header.size <= inside;
  }
  return header.size <= inside && chunkPadding(header.size, header.width) <= inside - header.size;
}

}  // namespace

bool hasMayaForm(const char* head, std::size_t length) {
  if (length >= 12 && std::memcmp(head, "FOR4", 4) == 0) return std::memcmp(head + 8, "Maya", 4) == 0;
  if (length >= 20 && std::memcmp(head, "FOR8", 4) == 0) return std::memcmp(head + 16, "Maya", 4) == 0;
  return false;
}

bool walkMayaScene(BinaryFile& file, BinaryVisitor& visitor) {
  char head[20];
  const std::size_t got = file.read(0, head, sizeof head);
  if (!hasMayaForm(head, got)) return false;
  struct Open {
    BinaryHeader header;
    std::int64_t end;
  };
  std::vector<Open> open;
  BinaryHeader top;
  const int width = head[3] - '0';
  if (!readHeader(file, 0, static_cast<std::uint64_t>(file.size()), width, top)) return false;
  // The top group ends exactly where the file does.
  if (top.dataOffset() + static_cast<std::int64_t>(top.size) != file.size()) return false;
  open.push_back({top, file.size()});
  visitor.groupBegins(top);
  std::int64_t at = top.dataOffset() + 4;
  while (!open.empty()) {
    const Open& group = open.back();
    if (at == group.end) {
      visitor.groupEnds(group.header);
      open.pop_back();
      continue;
    }
    BinaryHeader header;
    if (!readHeader(file, at, static_cast<std::uint64_t>(group.end - at), group.header.width, header)) return false;
    if (header.isGroup) {
      open.push_back({header, header.dataOffset() + static_cast<std::int64_t>(header.size)});
      visitor.groupBegins(header);
      at = header.dataOffset() + 4;
      continue;
    }
    ChunkContext context;
    context.groupForm = group.header.formType;
    context.nodeTypeId = open.size() >= 2 ? open[1].header.formType : 0;
    context.depth = open.size();
    visitor.chunk(header, context);
    at = header.dataOffset() + static_cast<std::int64_t>(header.size + chunkPadding(header.size, header.width));
  }
  return true;
}
