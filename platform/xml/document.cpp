#include "platform/xml/document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pugixml.hpp>

#include <cerrno>
#include <cstring>

#include "platform/sys/atomic_file.h"
#include "platform/xml/canonical_writer.h"
#include "platform/xml/names.h"
#include "platform/xml/parse.h"

namespace plat::xml {
namespace {

pugi::xml_node handle(pugi::xml_node_struct* n) { return pugi::xml_node(n); }

bool isCharacterData(const pugi::xml_node& n) {
  return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata;
}

pugi::xml_attribute findAttribute(const pugi::xml_node& element, std::string_view name) {
  for (pugi::xml_attribute a : element.attributes())
    if (name == a.name()) return a;
  return {};
}

// Reads a whole regular file. Other kinds (a FIFO, a device) are refused, as
// reading them could block or never end.
Status readFile(const std::string& path, std::string& bytes) {
  const auto fail = [&](int error) { return Status{false, "Cannot read \"" + path + "\": " + std::strerror(error)}; };
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) return fail(errno);
  if (!S_ISREG(info.st_mode)) return Status{false, "Cannot read \"" + path + "\": not a regular file"};
  bytes.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return Status{true, {}};
}

}  // namespace

// ---- Node ----

NodeKind Node::kind() const {
  switch (handle(node_).type()) {
    case pugi::node_element: return NodeKind::Element;
    case pugi::node_pcdata: return NodeKind::Text;
    case pugi::node_cdata: return NodeKind::CData;
    case pugi::node_comment: return NodeKind::Comment;
    case pugi::node_pi: return NodeKind::ProcessingInstruction;
    case pugi::node_declaration: return NodeKind::Declaration;
    case pugi::node_doctype: return NodeKind::Doctype;
    default: return NodeKind::Other;
  }
}

std::string Node::name() const {
  const pugi::xml_node n = handle(node_);
  return n.type() == pugi::node_element || n.type() == pugi::node_pi ? n.name() : "";
}

std::string Node::value() const {
  const pugi::xml_node n = handle(node_);
  return isCharacterData(n) || n.type() == pugi::node_comment ? n.value() : "";
}

Element Node::asElement() const {
  return handle(node_).type() == pugi::node_element ? Element(node_) : Element();
}

// ---- Element ----

std::string Element::name() const { return handle(node_).name(); }

std::optional<std::string> Element::attribute(std::string_view name) const {
  if (pugi::xml_attribute a = findAttribute(handle(node_), name)) return std::string(a.value());
  return std::nullopt;
}

bool Element::hasAttribute(std::string_view name) const {
  return static_cast<bool>(findAttribute(handle(node_), name));
}

bool Element::setAttribute(std::string_view name, std::string_view value) {
  pugi::xml_node n = handle(node_);
  if (!n || !isValidName(name)) return false;
  pugi::xml_attribute a = findAttribute(n, name);
  if (!a) a = n.append_attribute(std::string(name).c_str());
  return a && a.set_value(value.data(), value.size());
}

std::vector<std::string> Element::attributeNames() const {
  std::vector<std::string> names;
  for (pugi::xml_attribute a : handle(node_).attributes()) names.emplace_back(a.name());
  return names;
}

std::vector<Element> Element::children() const {
  std::vector<Element> result;
  for (pugi::xml_node c : handle(node_).children())
    if (c.type() == pugi::node_element) result.push_back(Element(c.internal_object()));
  return result;
}

std::vector<Element> Element::children(std::string_view name) const {
  std::vector<Element> result;
  for (pugi::xml_node c : handle(node_).children())
    if (c.type() == pugi::node_element && name == c.name()) result.push_back(Element(c.internal_object()));
  return result;
}

Element Element::child(std::string_view name) const {
  for (pugi::xml_node c : handle(node_).children())
    if (c.type() == pugi::node_element && name == c.name()) return Element(c.internal_object());
  return Element();
}

std::vector<Node> Element::childNodes() const {
  std::vector<Node> result;
  for (pugi::xml_node c : handle(node_).children()) result.push_back(Node(c.internal_object()));
  return result;
}

Element Element::parent() const {
  const pugi::xml_node p = handle(node_).parent();
  return p.type() == pugi::node_element ? Element(p.internal_object()) : Element();
}

std::string Element::text() const {
  std::string result;
  for (pugi::xml_node c : handle(node_).children())
    if (isCharacterData(c)) result += c.value();
  return result;
}

Element Element::appendChild(std::string_view name) {
  pugi::xml_node n = handle(node_);
  if (!n || !isValidName(name)) return Element();
  return Element(n.append_child(std::string(name).c_str()).internal_object());
}

bool Element::removeChild(const Element& child) {
  const pugi::xml_node target = handle(child.node_);
  if (!node_ || !target || target.parent() != handle(node_)) return false;
  // pugixml frees a subtree recursively; taking it apart leaf by leaf keeps
  // the stack flat however deep the subtree is.
  pugi::xml_node n = target;
  for (;;) {
    if (pugi::xml_node last = n.last_child()) {
      n = last;
      continue;
    }
    pugi::xml_node up = n.parent();
    up.remove_child(n);
    if (n == target) break;
    n = up;
  }
  return true;
}

// ---- Document ----

Document::Document() : doc_(std::make_unique<pugi::xml_document>()) {}
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

Status Document::loadFile(const std::string& path) {
  std::string bytes;
  if (Status s = readFile(path, bytes); !s) {
    if (doc_) doc_->reset();
    return s;
  }
  Status s = loadString(bytes);
  if (!s) s.message = "\"" + path + "\": " + s.message;
  return s;
}

Status Document::loadString(std::string_view text) {
  if (!doc_) doc_ = std::make_unique<pugi::xml_document>();
  Status s = parseInto(*doc_, text);
  if (!s) doc_->reset();
  return s;
}

Element Document::documentElement() const {
  if (!doc_) return Element();
  return Element(doc_->document_element().internal_object());
}

Element Document::createDocumentElement(std::string_view name) {
  if (!doc_) doc_ = std::make_unique<pugi::xml_document>();
  doc_->reset();
  if (!isValidName(name)) return Element();
  return Element(doc_->append_child(std::string(name).c_str()).internal_object());
}

std::string Document::saveString() const {
  if (!doc_) return writeCanonical(pugi::xml_document());
  return writeCanonical(*doc_);
}

Status Document::saveFile(const std::string& path) const {
  if (!documentElement()) return Status{false, "Cannot save \"" + path + "\": the document is empty"};
  const AtomicWriteResult written = WriteFileAtomically(path, saveString());
  return Status{static_cast<bool>(written), written.what};
}

}  // namespace plat::xml
