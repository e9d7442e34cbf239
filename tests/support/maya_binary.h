#pragma once
// Maya binary scenes for tests, laid out as Maya writes them: groups and chunks with their sizes and padding right,
// in either width (FOR4: u32 sizes, padding to 4; FOR8: 4 ignored bytes and a u64 size, padding to 8).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct MayaBinary {
  int width;  // 4 or 8
  std::string sizeField(std::uint64_t size) const {
    std::string out = width == 8 ? std::string("\0\0\0\x07", 4) : "";  // FOR8's ignored bytes: kept as they are
    for (int shift = 8 * width - 8; shift >= 0; shift -= 8) out += static_cast<char>((size >> shift) & 0xFF);
    return out;
  }
  std::string chunk(const std::string& tag, const std::string& data) const {
    return tag + sizeField(data.size()) + data + std::string((width - data.size() % width) % width, '\0');
  }
  // `kind` "FOR", "LIS" or "CAT" takes the width's digit; "PROP" stands as it is.
  std::string group(const std::string& kind, const std::string& form, const std::vector<std::string>& children) const {
    std::string body = form;
    for (const std::string& child : children) body += child;
    return (kind == "PROP" ? kind : kind + std::to_string(width)) + sizeField(body.size()) + body;
  }
  std::string scene(const std::vector<std::string>& children) const { return group("FOR", "Maya", children); }
  std::string head(const std::vector<std::string>& chunks) const { return group("FOR", "HEAD", chunks); }
  // Name, NUL, a flag byte, the value.
  std::string attribute(const std::string& tag, const std::string& name, const std::string& value) const {
    return chunk(tag, name + '\0' + '\x01' + value);
  }
  // A number: a DBLE chunk, the value big-endian.
  std::string dble(const std::string& name, double value) const {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    std::string bytes;
    for (int shift = 56; shift >= 0; shift -= 8) bytes += static_cast<char>(bits >> shift & 0xFF);
    return attribute("DBLE", name, bytes);
  }
  std::string text(const std::string& name, const std::string& value) const {
    return attribute("STR ", name, value + '\0');
  }
  // A node group of type id `form`: CREA (flag byte, name, parent), then its attributes.
  std::string node(const std::string& form, const std::string& name, const std::string& parent,
                   std::vector<std::string> attributes) const {
    attributes.insert(attributes.begin(), chunk("CREA", '\0' + name + '\0' + (parent.empty() ? "" : parent + '\0')));
    return group("FOR", form, attributes);
  }
  // The FRDI and FREF groups of a reference (FRDI holds `saved`, the path as saved); `fill` zero bytes end the FREF
  // chunk.
  std::string reference(const std::string& path, const std::string& ns, std::size_t fill,
                        std::string saved = "") const {
    if (saved.empty()) saved = path;
    return group("FOR", "FRDI", {chunk("FRDI", std::string("\0\0\0\x01", 4) + saved + '\0')}) +
           group("FOR", "FREF", {chunk("FREF", path + '\0' + ns + '\0' + "\x01\x02" + ns + "RN" + '\0' +
                                                   std::string(fill, '\0'))});
  }
};
