#include "platform/xml/canonical_writer.h"

#include <pugixml.hpp>

#include <algorithm>
#include <string_view>

namespace plat::xml {
namespace {

enum class Context { Text, Attribute };

// Markup characters are escaped, and control characters as character
// references: in attribute values TAB, LF and CR too, as a parser would
// normalise them to spaces; in text only CR, which would fold into LF.
bool needsEscape(char c, Context context) {
  if (c == '&' || c == '<' || c == '>') return true;
  if (context == Context::Text) return c == '\r' || (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n');
  return c == '"' || static_cast<unsigned char>(c) < 0x20;
}

void appendEscaped(std::string& out, std::string_view s, Context context) {
  std::size_t run = 0;  // start of the stretch that needs no escaping
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (!needsEscape(c, context)) continue;
    out.append(s.substr(run, i - run));
    run = i + 1;
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        out += "&#";
        out += std::to_string(static_cast<unsigned char>(c));
        out += ';';
    }
  }
  out.append(s.substr(run));
}

bool holdsText(const pugi::xml_node& element) {
  for (pugi::xml_node child : element.children())
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) return true;
  return false;
}

class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}

  // Walks the tree without recursion, so nesting depth is bounded only by memory.
  void write(const pugi::xml_document& doc) {
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    pugi::xml_node node = doc.first_child();
    while (node) {
      if (open(node)) {
        node = node.first_child();
        ++depth_;
        continue;
      }
      while (!node.next_sibling()) {
        node = node.parent();
        if (node.type() != pugi::node_element) return;
        --depth_;
        close(node);
      }
      node = node.next_sibling();
    }
  }

 private:
  bool inlineMode() const { return inlineDepth_ >= 0; }

  // Indentation stops growing at a fixed depth so that absurdly deep
  // documents do not grow quadratically when saved.
  void startLine() {
    constexpr int kMaxIndentDepth = 32;
    if (!inlineMode()) out_.append(static_cast<std::size_t>(std::min(depth_, kMaxIndentDepth)) * 2, ' ');
  }
  void endLine() {
    if (!inlineMode()) out_ += '\n';
  }

  // Writes a node, or the start tag of an element with children; true when
  // the children are to be written next.
  bool open(const pugi::xml_node& node) {
    switch (node.type()) {
      case pugi::node_element: {
        startLine();
        out_ += '<';
        out_ += node.name();
        for (pugi::xml_attribute a : node.attributes()) {
          out_ += ' ';
          out_ += a.name();
          out_ += "=\"";
          appendEscaped(out_, a.value(), Context::Attribute);
          out_ += '"';
        }
        if (!node.first_child()) {
          out_ += "/>";
          endLine();
          return false;
        }
        out_ += '>';
        if (!inlineMode() && holdsText(node)) inlineDepth_ = depth_;
        endLine();
        return true;
      }
      case pugi::node_pcdata:
        appendEscaped(out_, node.value(), Context::Text);
        return false;
      case pugi::node_cdata:
        out_ += "<![CDATA[";
        out_ += node.value();
        out_ += "]]>";
        return false;
      case pugi::node_comment:
        startLine();
        out_ += "<!--";
        out_ += node.value();
        out_ += "-->";
        endLine();
        return false;
      case pugi::node_pi:
        startLine();
        out_ += "<?";
        out_ += node.name();
        if (*node.value()) {
          out_ += ' ';
          out_ += node.value();
        }
        out_ += "?>";
        endLine();
        return false;
      case pugi::node_doctype:
        startLine();
        out_ += "<!DOCTYPE ";
        out_ += node.value();
        out_ += '>';
        endLine();
        return false;
      default:  // the declaration is always written afresh
        return false;
    }
  }

  void close(const pugi::xml_node& element) {
    startLine();
    out_ += "</";
    out_ += element.name();
    out_ += '>';
    if (inlineDepth_ == depth_) inlineDepth_ = -1;
    endLine();
  }

  std::string& out_;
  int depth_ = 0;
  int inlineDepth_ = -1;  // depth of the element whose content is on one line
};

}  // namespace

std::string writeCanonical(const pugi::xml_document& doc) {
  std::string out;
  Writer(out).write(doc);
  return out;
}

}  // namespace plat::xml
