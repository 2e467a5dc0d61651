#include "platform/xml/parse.h"

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace plat::xml {
namespace {

// Comments, processing instructions, the declaration and a DOCTYPE are kept;
// top-level text is kept too so that it can be refused (pugixml drops it).
// Whitespace-only text is layout and dropped, unless it is an element's
// whole content.
constexpr unsigned kParseOptions = pugi::parse_full | pugi::parse_fragment | pugi::parse_ws_pcdata_single;

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
  if (c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

// Length of the well-formed reference that starts at text[at] ('&'), or 0.
// Character references must name a code point other than NUL and the
// surrogates; control characters are accepted because our writer emits
// them as references to keep such values intact.
std::size_t referenceLength(std::string_view text, std::size_t at) {
  const std::string_view rest = text.substr(at + 1);
  for (std::string_view named : {"amp;", "lt;", "gt;", "quot;", "apos;"})
    if (rest.starts_with(named)) return named.size() + 1;
  if (!rest.starts_with('#')) return 0;
  const bool hex = rest.size() > 1 && rest[1] == 'x';
  std::size_t i = hex ? 2 : 1;
  const std::size_t firstDigit = i;
  std::uint32_t code = 0;
  for (; i < rest.size() && (hex ? isHexDigit(rest[i]) : (rest[i] >= '0' && rest[i] <= '9')); ++i) {
    code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(hex ? hexValue(rest[i]) : rest[i] - '0');
    if (code > 0x10FFFF) return 0;
  }
  if (i == firstDigit || i >= rest.size() || rest[i] != ';') return 0;
  if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return i + 2;
}

// Finds the first malformed reference in raw (undecoded) text. Sets
// `sawReference` when the text holds any reference at all.
std::optional<std::size_t> badReference(std::string_view text, bool& sawReference) {
  for (std::size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&', at + 1)) {
    if (referenceLength(text, at) == 0) return at;
    sawReference = true;
  }
  return std::nullopt;
}

std::string quoteReference(std::string_view text, std::size_t at) {
  std::string_view ref = text.substr(at, 12);
  ref = ref.substr(0, ref.find(';') == std::string_view::npos ? ref.size() : ref.find(';') + 1);
  std::string quoted = "\"";
  quoted.append(ref).append("\"");
  return quoted;
}

Status failure(std::string message) { return Status{false, std::move(message)}; }

// Exactly one document element and no text beside it.
Status checkTopLevel(const pugi::xml_document& doc) {
  pugi::xml_node root;
  for (pugi::xml_node n : doc.children()) {
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
      return failure("XML parse error at offset " + std::to_string(n.offset_debug()) +
                     ": text outside the document element");
    if (n.type() != pugi::node_element) continue;
    if (root)
      return failure("XML parse error at offset " + std::to_string(n.offset_debug()) +
                     ": a second document element \"" + n.name() + "\"");
    root = n;
  }
  if (!root) return failure("XML parse error: no document element");
  return Status{true, {}};
}

// Walks the raw tree (references not yet decoded) without recursion and
// checks every reference in text and attribute values.
Status checkReferences(const pugi::xml_document& doc, bool& sawReference) {
  pugi::xml_node n = doc.first_child();
  while (n) {
    if (n.type() == pugi::node_pcdata) {
      const std::string_view text = n.value();
      if (auto at = badReference(text, sawReference))
        return failure("XML parse error at offset " + std::to_string(n.offset_debug() + std::ptrdiff_t(*at)) +
                       ": bad entity or character reference " + quoteReference(text, *at));
    }
    for (pugi::xml_attribute a : n.attributes()) {
      const std::string_view value = a.value();
      if (auto at = badReference(value, sawReference))
        return failure("XML parse error at offset " + std::to_string(n.offset_debug()) +
                       ": bad entity or character reference " + quoteReference(value, *at) +
                       " in attribute \"" + a.name() + "\" of element \"" + n.name() + "\"");
    }
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n && !n.next_sibling()) n = n.parent();
    if (n) n = n.next_sibling();
  }
  return Status{true, {}};
}

}  // namespace

Status parseInto(pugi::xml_document& doc, std::string_view bytes) {
  // First pass without decoding references, so that malformed ones (which
  // pugixml would keep as literal text) can be found and refused.
  pugi::xml_parse_result result =
      doc.load_buffer(bytes.data(), bytes.size(), kParseOptions & ~pugi::parse_escapes, pugi::encoding_auto);
  if (!result)
    return failure("XML parse error at offset " + std::to_string(result.offset) + ": " + result.description());
  if (Status s = checkTopLevel(doc); !s) return s;
  bool sawReference = false;
  if (Status s = checkReferences(doc, sawReference); !s) return s;
  if (!sawReference) return Status{true, {}};

  result = doc.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_auto);
  if (!result)
    return failure("XML parse error at offset " + std::to_string(result.offset) + ": " + result.description());
  return Status{true, {}};
}

}  // namespace plat::xml
