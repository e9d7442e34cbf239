#include "io/whole_file.h"

#include <cstdio>

#include "names/partial_name.h"
#include "platform/platform.h"

std::optional<std::string> readWholeFile(const std::string& path) {
  std::FILE* file = platform::openFile(path, "rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  char block[1 << 16];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) bytes.append(block, got);
  const bool whole = std::ferror(file) == 0;
  std::fclose(file);
  if (!whole) return std::nullopt;
  return bytes;
}

bool writeWholeFile(const std::string& path, std::string_view bytes) {
  if (!platform::replaceable(path)) return false;
  const std::string partial = partialFileName(path);
  std::FILE* file = platform::openFile(partial, "wb");
  if (file == nullptr) return false;
  bool whole = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  whole = std::fflush(file) == 0 && whole && platform::syncFile(file);
  whole = std::fclose(file) == 0 && whole;
  whole = whole && platform::renameFile(partial, path);
  if (!whole) platform::removeFile(partial);
  return whole;
}
