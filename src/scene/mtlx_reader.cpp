#include "scene/mtlx_reader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "scene/recognisers.h"

namespace {

// A longer path is no file a render opens, as for the other readers.
constexpr std::size_t kMaxPathBytes = 32768;

// The words of the format that name files.
constexpr const char* kInput = "input";
constexpr const char* kType = "type";
constexpr const char* kFilenameType = "filename";
constexpr const char* kValue = "value";
constexpr const char* kName = "name";
constexpr const char* kFilePrefix = "fileprefix";
constexpr const char* kInclude = "xi:include";
constexpr const char* kHref = "href";

// The bytes of an attribute's value in the document, between its quotes.
struct Span {
  std::int64_t offset;
  std::int64_t length;
  bool operator<(const Span& other) const { return offset < other.offset; }
  bool operator==(const Span& other) const { return offset == other.offset && length == other.length; }
};

// True when `code` is a character XML lets a document hold.
bool isXmlCharacter(std::uint32_t code) {
  return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// The length of the character reference (`&#65;`, `&#x41;`) at the start
// of `text`, or 0 when it is none or refers to no XML character.
std::size_t characterReferenceLength(std::string_view text) {
  if (text.substr(0, 2) != "&#") return 0;
  const bool hex = text.size() > 2 && text[2] == 'x';
  std::size_t at = hex ? 3 : 2;
  const std::size_t digitsAt = at;
  std::uint32_t code = 0;
  for (; at < text.size() && text[at] != ';'; ++at) {
    const char c = text[at];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return 0;
    code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    if (code > 0x10FFFF) return 0;
  }
  if (at == digitsAt || at == text.size() || !isXmlCharacter(code)) return 0;
  return at + 1;
}

// True when every `&` in a value's raw text starts one of XML's own
// entities or a character reference: what the parser decodes as any
// reader of XML would. An entity a document type declares, it leaves as
// written.
bool referencesAreXmlOwn(std::string_view raw) {
  static constexpr std::string_view kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
  for (std::size_t at = raw.find('&'); at != std::string_view::npos; at = raw.find('&', at + 1)) {
    const std::string_view rest = raw.substr(at);
    bool known = characterReferenceLength(rest) != 0;
    for (std::string_view entity : kEntities) known = known || rest.substr(0, entity.size()) == entity;
    if (!known) return false;
  }
  return true;
}

// XML lets an element give each attribute once; the parser does not check.
bool attributesAreUnique(pugi::xml_node element) {
  std::vector<std::string_view> names;
  for (pugi::xml_attribute attribute : element.attributes()) names.emplace_back(attribute.name());
  std::sort(names.begin(), names.end());
  return std::adjacent_find(names.begin(), names.end()) == names.end();
}

pugi::xml_node elementFrom(pugi::xml_node node) {
  while (node && node.type() != pugi::node_element) node = node.next_sibling();
  return node;
}

// Reads one document: the parser's tree over a copy of its bytes, parsed
// in place so that every attribute's value still points into that copy at
// the offset it has in the document.
class DocumentPlanner {
 public:
  DocumentPlanner(std::string_view document, std::string_view inheritedPrefix)
      : document_(document), inheritedPrefix_(inheritedPrefix), parsed_(document) {}

  std::optional<FilePlan> plan();

 private:
  bool visit(pugi::xml_node element, pugi::xml_attribute prefix);
  bool addFound(pugi::xml_attribute attribute, pugi::xml_attribute prefix, std::string attributeName,
                bool include);
  std::optional<Span> spanOf(pugi::xml_attribute attribute) const;
  std::string_view textOf(Span span) const {
    return document_.substr(static_cast<std::size_t>(span.offset), static_cast<std::size_t>(span.length));
  }

  std::string_view document_;
  std::string_view inheritedPrefix_;
  std::string parsed_;
  FilePlan plan_;
  std::vector<Span> prefixesToEmpty_;
};

std::optional<FilePlan> DocumentPlanner::plan() {
  // XML holds no NUL, and the parser would take one for the end.
  if (document_.find('\0') != std::string_view::npos) return std::nullopt;
  pugi::xml_document tree;
  const pugi::xml_parse_result parsed =
      tree.load_buffer_inplace(parsed_.data(), parsed_.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) return std::nullopt;
  const pugi::xml_node root = elementFrom(tree.first_child());
  if (!root || elementFrom(root.next_sibling())) return std::nullopt;

  // Every element in document order, without recursion (a document may
  // nest deeper than a stack goes), with the prefix in force in each
  // element still open: its own, or the one around it.
  std::vector<pugi::xml_attribute> open;
  pugi::xml_node element = root;
  for (;;) {
    const pugi::xml_attribute own = element.attribute(kFilePrefix);
    const pugi::xml_attribute prefix = own ? own : open.empty() ? pugi::xml_attribute() : open.back();
    if (!visit(element, prefix)) return std::nullopt;
    if (const pugi::xml_node child = elementFrom(element.first_child())) {
      open.push_back(prefix);
      element = child;
      continue;
    }
    // On to the element after this one's subtree, climbing out of the
    // elements that have none after them, up to the root.
    pugi::xml_node next;
    while (!open.empty() && !(next = elementFrom(element.next_sibling()))) {
      element = element.parent();
      open.pop_back();
    }
    if (!next) break;
    element = next;
  }

  std::sort(prefixesToEmpty_.begin(), prefixesToEmpty_.end());
  prefixesToEmpty_.erase(std::unique(prefixesToEmpty_.begin(), prefixesToEmpty_.end()), prefixesToEmpty_.end());
  for (const Span& prefix : prefixesToEmpty_) plan_.fixed.push_back({prefix.offset, prefix.length, std::string()});
  plan_.text = PathText::kXmlAttribute;
  return std::move(plan_);
}

bool DocumentPlanner::visit(pugi::xml_node element, pugi::xml_attribute prefix) {
  if (!attributesAreUnique(element)) return false;
  if (std::strcmp(element.name(), kInput) == 0 && std::strcmp(element.attribute(kType).value(), kFilenameType) == 0) {
    return addFound(element.attribute(kValue), prefix, element.attribute(kName).value(), false);
  }
  if (std::strcmp(element.name(), kInclude) == 0) return addFound(element.attribute(kHref), prefix, kInclude, true);
  return true;
}

bool DocumentPlanner::addFound(pugi::xml_attribute attribute, pugi::xml_attribute prefix, std::string attributeName,
                               bool include) {
  if (!attribute) return true;
  const std::optional<Span> span = spanOf(attribute);
  const std::optional<Span> prefixSpan = prefix ? spanOf(prefix) : Span{0, 0};
  if (!span || !prefixSpan) return false;
  if (span->length == 0) return true;
  const std::string_view raw = textOf(*span);
  const std::string_view rawPrefix = textOf(*prefixSpan);
  if (!referencesAreXmlOwn(raw) || !referencesAreXmlOwn(rawPrefix)) return false;

  const std::string prefixText = prefix ? std::string(prefix.value()) : std::string(inheritedPrefix_);
  FoundPath found;
  found.named.kind = DependencyKind::kTexture;
  found.named.attribute = std::move(attributeName);
  // An include's own path takes no prefix; the names in what it includes do.
  found.named.written = include ? std::string(attribute.value()) : prefixText + attribute.value();
  if (found.named.written.empty() || found.named.written.size() > kMaxPathBytes) return true;
  found.named.recorded = recordedPath(found.named.written);
  found.named.resolved = found.named.recorded;
  found.offset = span->offset;
  found.length = span->length;
  if (include) found.prefixInForce = prefixText;
  plan_.found.push_back(std::move(found));
  if (prefixSpan->length > 0) prefixesToEmpty_.push_back(*prefixSpan);
  return true;
}

// Where the parser's value of `attribute` stands in the document: it points
// into the parsed copy at the value's first byte, just after the quote that
// opens it, and the value's raw text runs to the next such quote (a value
// cannot hold its own quote). Nothing when it is not so, which a parser
// that reads in place never does.
std::optional<Span> DocumentPlanner::spanOf(pugi::xml_attribute attribute) const {
  const char* value = attribute.value();
  if (value <= parsed_.data() || value > parsed_.data() + parsed_.size()) return std::nullopt;
  const std::size_t offset = static_cast<std::size_t>(value - parsed_.data());
  const char quote = document_[offset - 1];
  if (quote != '"' && quote != '\'') return std::nullopt;
  const std::size_t end = document_.find(quote, offset);
  if (end == std::string_view::npos) return std::nullopt;
  return Span{static_cast<std::int64_t>(offset), static_cast<std::int64_t>(end - offset)};
}

}  // namespace

std::optional<FilePlan> planMtlxDocument(std::string_view document, std::string_view inheritedPrefix) {
  return DocumentPlanner(document, inheritedPrefix).plan();
}

std::string xmlAttributeText(std::string_view name) {
  std::string text;
  text.reserve(name.size());
  for (const char c : name) {
    switch (c) {
      case '&': text += "&amp;"; break;
      case '<': text += "&lt;"; break;
      case '>': text += "&gt;"; break;
      case '"': text += "&quot;"; break;
      case '\'': text += "&apos;"; break;
      case '\t': text += "&#9;"; break;
      case '\n': text += "&#10;"; break;
      case '\r': text += "&#13;"; break;
      default: text += c; break;
    }
  }
  return text;
}
