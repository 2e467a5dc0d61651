// An XML document object model over pugixml: what the skin reader, the string
// table and the settings store need of a DOM. Elements are light handles into
// their document (copyable, compare by identity, false when null); they stay
// valid while the document lives and the element is not removed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
struct xml_node_struct;
}  // namespace pugi

namespace plat::xml {

enum class NodeKind { Element, Text, CData, Comment, ProcessingInstruction, Declaration, Doctype, Other };

class Element;

// Any child node (element, text, comment...).
class Node {
 public:
  Node() = default;
  explicit operator bool() const { return node_ != nullptr; }
  NodeKind kind() const;
  // Tag name for elements, target for processing instructions, else empty.
  std::string name() const;
  // Character data for text, CDATA and comments, else empty.
  std::string value() const;
  // The element behind this node, or a null element when it is no element.
  Element asElement() const;

 private:
  friend class Element;
  explicit Node(pugi::xml_node_struct* n) : node_(n) {}
  pugi::xml_node_struct* node_ = nullptr;
};

class Element {
 public:
  Element() = default;
  explicit operator bool() const { return node_ != nullptr; }
  friend bool operator==(const Element&, const Element&) = default;

  std::string name() const;

  // Attributes keep "absent" (nullopt) and "empty" ("") apart.
  std::optional<std::string> attribute(std::string_view name) const;
  bool hasAttribute(std::string_view name) const;
  // Adds the attribute or replaces its value. False, and nothing changes,
  // when the element is null or the name is no valid XML name (it could not
  // be saved and read back).
  bool setAttribute(std::string_view name, std::string_view value);
  // Attribute names in document order.
  std::vector<std::string> attributeNames() const;

  // Child elements in document order; with a name, only those whose tag is
  // exactly that name (case-sensitive).
  std::vector<Element> children() const;
  std::vector<Element> children(std::string_view name) const;
  // First child element with that exact name, or a null element.
  Element child(std::string_view name) const;
  // Every child node of any kind, in document order.
  std::vector<Node> childNodes() const;
  Element parent() const;

  // Concatenated text of the direct text and CDATA children. Text that is
  // only whitespace between other nodes is layout and is dropped at load.
  std::string text() const;

  // Appends a new child element and returns it; a null element when this
  // element is null or the name is no valid XML name.
  Element appendChild(std::string_view name);
  // Removes a child element (and its subtree); false when it is not a child.
  bool removeChild(const Element& child);

 private:
  friend class Document;
  friend class Node;
  explicit Element(pugi::xml_node_struct* n) : node_(n) {}
  pugi::xml_node_struct* node_ = nullptr;
};

// Outcome of a load or save; `message` says what went wrong, with the byte
// offset for parse errors.
struct Status {
  bool ok = false;
  std::string message;
  explicit operator bool() const { return ok; }
};

class Document {
 public:
  Document();
  ~Document();
  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Loads UTF-8 or UTF-16 (with byte-order mark) text. On failure the
  // document is left empty. A document without a document element fails.
  Status loadFile(const std::string& path);
  Status loadString(std::string_view text);

  // Null when the document is empty.
  Element documentElement() const;
  // Replaces the whole document by a new, empty document element; a null
  // element (and an empty document) when the name is no valid XML name.
  Element createDocumentElement(std::string_view name);

  // Canonical UTF-8 form: XML declaration, two-space indentation, LF line
  // ends, empty elements self-closed; & < > " and TAB, LF, CR escaped inside
  // attribute values so they read back unchanged.
  std::string saveString() const;
  // Writes saveString() atomically: temporary file in the same folder, fsync,
  // rename. A crash leaves the old file or the new one, never a torn file.
  // An empty document is refused: it could not be loaded again.
  Status saveFile(const std::string& path) const;

 private:
  std::unique_ptr<pugi::xml_document> doc_;
};

}  // namespace plat::xml
