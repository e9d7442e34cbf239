// The reader of MaterialX documents: on any document it reads, the paths
// and the prefixes its copy empties are ranges of the document in order
// (fuzz::checkPlanRanges), each path's raw text, read as XML reads an
// attribute's value, is what it names (after the prefix in force), each
// emptied range is a `fileprefix` value; and the copy that names other
// names in those ranges differs from the document nowhere else, reads as
// XML again, names exactly those names and leaves no prefix in force.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "scene/mtlx_reader.h"

namespace {

void appendUtf8(std::uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// An attribute's value as XML reads it: each line end (CR LF, CR, LF) and
// tab a space, XML's five entities and character references decoded. A
// reference of any other kind stops the target: the reader reads no such
// value.
std::string xmlValue(const std::string& raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    if (c == '\r' || c == '\n' || c == '\t') {
      out += ' ';
      continue;
    }
    if (c != '&') {
      out += c;
      continue;
    }
    const std::size_t end = raw.find(';', i);
    FUZZ_CHECK(end != std::string::npos);
    const std::string name = raw.substr(i + 1, end - i - 1);
    i = end;
    if (name == "amp") out += '&';
    else if (name == "lt") out += '<';
    else if (name == "gt") out += '>';
    else if (name == "quot") out += '"';
    else if (name == "apos") out += '\'';
    else {
      FUZZ_CHECK(name.size() >= 2 && name[0] == '#');
      const bool hex = name[1] == 'x';
      const std::string digits = name.substr(hex ? 2 : 1);
      FUZZ_CHECK(!digits.empty() &&
                 digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") == std::string::npos);
      // Leading zeros are allowed, so the number is read one digit at a time.
      unsigned long code = 0;
      for (const char digit : digits) {
        code = code * (hex ? 16 : 10) + std::stoul(std::string(1, digit), nullptr, 16);
        FUZZ_CHECK(code <= 0x10FFFF);
      }
      FUZZ_CHECK(code != 0);
      appendUtf8(static_cast<std::uint32_t>(code), out);
    }
  }
  return out;
}

// True when the range [at, at + length) stands between two quotes of the
// same kind, as an attribute's value does.
bool quoted(const std::string& document, std::size_t at, std::size_t length) {
  if (at == 0 || at + length >= document.size()) return false;
  const char quote = document[at - 1];
  return (quote == '"' || quote == '\'') && document[at + length] == quote &&
         document.substr(at, length).find(quote) == std::string::npos;
}

// True when the value at `at` is one of a `fileprefix` attribute.
bool isFilePrefixValue(const std::string& document, std::size_t at) {
  std::size_t before = at - 1;  // the opening quote
  auto skipSpace = [&] {
    while (before > 0 && std::string(" \t\r\n").find(document[before - 1]) != std::string::npos) --before;
  };
  skipSpace();
  if (before == 0 || document[before - 1] != '=') return false;
  --before;
  skipSpace();
  const std::string name = "fileprefix";
  return before >= name.size() + 1 && document.compare(before - name.size(), name.size(), name) == 0 &&
         std::string(" \t\r\n").find(document[before - name.size() - 1]) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string document(reinterpret_cast<const char*>(data), size);
  // Variables would expand to whatever this machine holds.
  if (document.find('$') != std::string::npos) return -1;
  const std::optional<FilePlan> plan = planMtlxDocument(document);
  if (!plan) return 0;
  FUZZ_CHECK(plan->text == PathText::kXmlAttribute);
  fuzz::checkPlanRanges(document, *plan);

  for (const FoundPath& found : plan->found) {
    const std::size_t at = static_cast<std::size_t>(found.offset), length = static_cast<std::size_t>(found.length);
    FUZZ_CHECK(quoted(document, at, length));
    const std::string value = xmlValue(document.substr(at, length));
    const std::string& written = found.named.written;
    FUZZ_CHECK(written.size() >= value.size() && written.compare(written.size() - value.size(), value.size(), value) == 0);
    if (found.named.attribute == "xi:include") FUZZ_CHECK(written == value);
    FUZZ_CHECK(found.named.kind == DependencyKind::kTexture);
  }
  for (const Edit& edit : plan->fixed) {
    const std::size_t at = static_cast<std::size_t>(edit.offset), length = static_cast<std::size_t>(edit.length);
    FUZZ_CHECK(edit.bytes.empty() && length > 0);
    FUZZ_CHECK(quoted(document, at, length) && isFilePrefixValue(document, at));
  }

  // The copy, made by hand: the document, each found value replaced by a
  // name (escaped as an attribute's value), each fixed edit applied.
  struct Replacement {
    std::size_t at, length;
    std::string bytes;
  };
  std::vector<Replacement> replacements;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < plan->found.size(); ++i) {
    names.push_back(std::to_string(i + 1) + "~<UDIM> & \"'.mtlx");
    replacements.push_back({static_cast<std::size_t>(plan->found[i].offset),
                            static_cast<std::size_t>(plan->found[i].length), xmlAttributeText(names.back())});
  }
  for (const Edit& edit : plan->fixed) {
    replacements.push_back({static_cast<std::size_t>(edit.offset), static_cast<std::size_t>(edit.length), edit.bytes});
  }
  std::sort(replacements.begin(), replacements.end(),
            [](const Replacement& a, const Replacement& b) { return a.at < b.at; });
  std::string copy;
  std::size_t from = 0;
  for (const Replacement& r : replacements) {
    copy += document.substr(from, r.at - from) + r.bytes;
    from = r.at + r.length;
  }
  copy += document.substr(from);

  const std::optional<FilePlan> again = planMtlxDocument(copy);
  FUZZ_CHECK(again && again->found.size() == names.size() && again->fixed.empty());
  for (std::size_t i = 0; i < names.size(); ++i) {
    FUZZ_CHECK(again->found[i].named.written == names[i]);
    FUZZ_CHECK(again->found[i].prefixInForce.empty());
  }
  return 0;
}
