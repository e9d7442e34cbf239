#include "io/edits.h"

#include "io/filter_stream.h"

void copyWithEdits(FilterStream& stream, const std::vector<Edit>& edits) {
  for (const Edit& edit : edits) {
    stream.passThrough(edit.offset - stream.position());
    stream.skipThrough(edit.offset + edit.length - stream.position());
    stream.putBytes(edit.bytes.data(), edit.bytes.size());
  }
  stream.passRest();
}

std::string applyEdits(std::string_view bytes, const std::vector<Edit>& edits) {
  std::string copy;
  std::size_t at = 0;
  for (const Edit& edit : edits) {
    const std::size_t offset = static_cast<std::size_t>(edit.offset);
    copy.append(bytes.substr(at, offset - at));
    copy += edit.bytes;
    at = offset + static_cast<std::size_t>(edit.length);
  }
  copy.append(bytes.substr(std::min(at, bytes.size())));
  return copy;
}
