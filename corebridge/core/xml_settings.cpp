#include "corebridge/core/xml_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "corebridge/core/settings_escape.h"
#include "corebridge/core/settings_numbers.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/kept_aside.h"
#include "platform/xml/document.h"

namespace {

constexpr std::string_view kRootName = "MRVConfig";
constexpr std::string_view kValueAttribute = "value";

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " \"" + path + "\": " + std::strerror(errno);
}

enum class ReadResult { kRead, kFailed, kTooLarge };

// Reads a regular file whole, up to `limit` bytes. Opening does not block (a
// FIFO in its place would otherwise wait for a writer forever).
ReadResult ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = ErrnoText("cannot open", path);
    return ReadResult::kFailed;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "not a regular file: \"" + path + "\"";
    ::close(fd);
    return ReadResult::kFailed;
  }
  const auto tooLarge = [&] {
    error = "\"" + path + "\" is larger than " + std::to_string(limit >> 20) + " MiB";
    ::close(fd);
    bytes.clear();
    return ReadResult::kTooLarge;
  };
  if (static_cast<std::uint64_t>(st.st_size) > limit) return tooLarge();
  // Read straight into the string, growing it if the file grows meanwhile,
  // but never past the limit.
  std::size_t used = 0;
  bytes.assign(static_cast<std::size_t>(st.st_size) + 1, '\0');
  for (;;) {
    if (used == bytes.size()) {
      if (used > limit) return tooLarge();
      bytes.resize(std::min(bytes.size() * 2, limit + 1));
    }
    const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = ErrnoText("cannot read", path);
      ::close(fd);
      return ReadResult::kFailed;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  if (used > limit) return tooLarge();
  bytes.resize(used);
  ::close(fd);
  return ReadResult::kRead;
}

// Renames an unusable settings file out of the way before anything writes a
// new one, and says so on stderr.
void KeepAside(const std::string& path, std::string& message) {
  if (const plat::KeptAside kept = plat::KeepAside(path)) {
    message += "; kept as \"" + kept.path + "\"";
  } else {
    errno = kept.error;
    message += "; " + ErrnoText("cannot keep aside", path);
  }
  std::fprintf(stderr, "settings: %s\n", message.c_str());
}

// Copies the document's element tree into a settings tree, without recursion
// so that a deeply nested file cannot exhaust the stack.
std::unique_ptr<CXmlNode> TreeFromDocument(const plat::xml::Document& doc) {
  const plat::xml::Element top = doc.documentElement();
  auto root = std::make_unique<CXmlNode>(nullptr, top.name(), std::nullopt);
  if (auto v = top.attribute(kValueAttribute)) root->m_value = settings_escape::UnescapeValue(*v);
  std::vector<std::pair<plat::xml::Element, CXmlNode*>> pending{{top, root.get()}};
  while (!pending.empty()) {
    auto [element, node] = pending.back();
    pending.pop_back();
    const std::vector<plat::xml::Element> children = element.children();
    node->m_children.reserve(children.size());
    std::vector<std::pair<plat::xml::Element, CXmlNode*>> next;
    next.reserve(children.size());
    for (const plat::xml::Element& child : children) {
      std::optional<std::string> value = child.attribute(kValueAttribute);
      if (value) value = settings_escape::UnescapeValue(*value);
      CXmlNode* added = node->AppendChild(child.name(), std::move(value));
      next.emplace_back(child, added);
    }
    // Children are appended above in order; the order of visiting does not
    // matter for building.
    pending.insert(pending.end(), next.begin(), next.end());
  }
  return root;
}

}  // namespace

// ---------------------------------------------------------------------------
// CXmlNode

CXmlNode::CXmlNode(CXmlNode* parent, std::string name, std::optional<std::string> value)
    : m_pParent(parent), m_strName(std::move(name)), m_value(std::move(value)) {}

CXmlNode::~CXmlNode() {
  // Tear the subtree down iteratively: recursion through unique_ptr would
  // follow the nesting depth of whatever file was read.
  std::vector<std::unique_ptr<CXmlNode>> doomed = std::move(m_children);
  while (!doomed.empty()) {
    std::unique_ptr<CXmlNode> node = std::move(doomed.back());
    doomed.pop_back();
    for (auto& child : node->m_children) doomed.push_back(std::move(child));
    node->m_children.clear();
  }
}

CXmlNode* CXmlNode::AppendChild(std::string name, std::optional<std::string> value) {
  m_children.push_back(std::make_unique<CXmlNode>(this, std::move(name), std::move(value)));
  return m_children.back().get();
}

const CXmlNode* CXmlNode::FindFirst(std::string_view name) const {
  std::vector<const CXmlNode*> stack{this};
  while (!stack.empty()) {
    const CXmlNode* node = stack.back();
    stack.pop_back();
    if (node->m_strName == name) return node;
    for (auto it = node->m_children.rbegin(); it != node->m_children.rend(); ++it) stack.push_back(it->get());
  }
  return nullptr;
}

CXmlNode* CXmlNode::FindFirst(std::string_view name) {
  return const_cast<CXmlNode*>(std::as_const(*this).FindFirst(name));
}

// ---------------------------------------------------------------------------
// CXmlSettings: files

CXmlSettings::CXmlSettings() = default;
CXmlSettings::~CXmlSettings() = default;

int CXmlSettings::XmlSettingsOpen() {
  // Always a fresh document: nothing of an older file may precede the values
  // written now.
  m_pRoot = std::make_unique<CXmlNode>(nullptr, std::string(kRootName), std::nullopt);
  return 1;
}

int CXmlSettings::XmlSettingsLoadFile(const std::string& path) {
  plat::RemoveStaleTemporaryFiles(path);
  std::string bytes;
  switch (ReadRegularFile(path, kMaxFileBytes, bytes, m_strLastError)) {
    case ReadResult::kRead:
      break;
    case ReadResult::kFailed:
      return 0;
    case ReadResult::kTooLarge:
      KeepAside(path, m_strLastError);
      return 0;
  }
  plat::xml::Document doc;
  const plat::xml::Status status = doc.loadString(bytes);
  if (!status || !doc.documentElement()) {
    m_strLastError = "cannot parse \"" + path + "\": " + status.message;
    KeepAside(path, m_strLastError);
    return 0;
  }
  m_pRoot = TreeFromDocument(doc);
  m_strLastError.clear();
  return 1;
}

int CXmlSettings::XmlSettingsSave(const std::string& path) const {
  if (!m_pRoot) {
    m_strLastError = "nothing to save";
    return 0;
  }
  plat::xml::Document doc;
  const plat::xml::Element top = doc.createDocumentElement(kRootName);
  std::vector<std::pair<const CXmlNode*, plat::xml::Element>> pending{{m_pRoot.get(), top}};
  while (!pending.empty()) {
    auto [node, element] = pending.back();
    pending.pop_back();
    for (const auto& child : node->m_children) {
      plat::xml::Element written = element.appendChild(child->m_strName);
      if (!written) {
        m_strLastError = "cannot write a setting named \"" + child->m_strName + "\"";
        return 0;
      }
      written.setAttribute(kValueAttribute, settings_escape::EscapeValue(child->m_value.value_or("")));
      if (!child->m_children.empty()) pending.emplace_back(child.get(), written);
    }
  }
  const plat::xml::Status status = doc.saveFile(path);
  if (!status) {
    m_strLastError = "cannot save \"" + path + "\": " + status.message;
    std::fprintf(stderr, "settings: %s\n", m_strLastError.c_str());
    return 0;
  }
  m_strLastError.clear();
  return 1;
}

// ---------------------------------------------------------------------------
// CXmlSettings: lookup

CXmlNode* CXmlSettings::XmlFindSection(std::string_view name, bool create) {
  if (!m_pRoot) return nullptr;
  if (CXmlNode* found = m_pRoot->FindFirst(name)) return found;
  if (!create) return nullptr;
  return m_pRoot->AppendChild(std::string(name), std::nullopt);
}

const CXmlNode* CXmlSettings::FindKey(std::string_view key, std::string_view section) const {
  if (!m_pRoot) return nullptr;
  const CXmlNode* scope = m_pRoot.get();
  if (!section.empty()) {
    scope = m_pRoot->FindFirst(section);
    if (!scope) return nullptr;
  }
  return scope->FindFirst(key);
}

XmlNumber CXmlSettings::XmlReadInt(std::string_view key, int& out, std::string_view section) const {
  const CXmlNode* node = FindKey(key, section);
  if (!node || !node->m_value) return XmlNumber::kMissing;
  bool hasDigits = false;
  const int value = settings_numbers::ParseInt32(*node->m_value, &hasDigits);
  if (!hasDigits) return XmlNumber::kNotANumber;
  out = value;
  return XmlNumber::kRead;
}

XmlNumber CXmlSettings::XmlReadUInt(std::string_view key, std::uint32_t& out, std::string_view section) const {
  const CXmlNode* node = FindKey(key, section);
  if (!node || !node->m_value) return XmlNumber::kMissing;
  bool hasDigits = false;
  const std::uint32_t value = settings_numbers::ParseUInt32(*node->m_value, &hasDigits);
  if (!hasDigits) return XmlNumber::kNotANumber;
  out = value;
  return XmlNumber::kRead;
}

XmlNumber CXmlSettings::XmlReadDouble(std::string_view key, double& out, std::string_view section) const {
  const CXmlNode* node = FindKey(key, section);
  if (!node || !node->m_value) return XmlNumber::kMissing;
  bool hasDigits = false;
  const double value = settings_numbers::ParseDouble(*node->m_value, &hasDigits);
  // No setting means an infinity or NaN; "inf" and "1e999" are no numbers here.
  if (!hasDigits || !std::isfinite(value)) return XmlNumber::kNotANumber;
  out = value;
  return XmlNumber::kRead;
}

int CXmlSettings::XmlGetInt(std::string_view key, int& out, std::string_view section) const {
  return XmlReadInt(key, out, section) == XmlNumber::kRead ? 1 : 0;
}

int CXmlSettings::XmlGetDouble(std::string_view key, double& out, std::string_view section) const {
  return XmlReadDouble(key, out, section) == XmlNumber::kRead ? 1 : 0;
}

int CXmlSettings::XmlGetUInt(std::string_view key, std::uint32_t& out, std::string_view section) const {
  return XmlReadUInt(key, out, section) == XmlNumber::kRead ? 1 : 0;
}

int CXmlSettings::XmlGetString(std::string_view key, std::string& out, std::string_view section) const {
  const CXmlNode* node = FindKey(key, section);
  if (!node) return 0;
  out = node->m_value.value_or("");
  return 1;
}

int CXmlSettings::XmlGetWString(std::string_view key, std::string& out, std::string_view section) const {
  return XmlGetString(key, out, section);
}

int CXmlSettings::XmlGetStringArray(std::string_view key, std::vector<std::string>& out,
                                    std::string_view section) const {
  const CXmlNode* node = FindKey(key, section);
  if (!node) return 0;
  out.clear();
  out.reserve(node->m_children.size());
  for (const auto& entry : node->m_children) out.push_back(entry->m_value.value_or(""));
  return 1;
}

int CXmlSettings::XmlGetUIntArray(std::string_view key, std::vector<std::uint32_t>& out,
                                  std::string_view section) const {
  const CXmlNode* node = FindKey(key, section);
  if (!node) return 0;
  out.clear();
  out.reserve(node->m_children.size());
  for (const auto& entry : node->m_children) out.push_back(settings_numbers::ParseUInt32(entry->m_value.value_or("")));
  return 1;
}

int CXmlSettings::XmlGetBooleanArray(std::string_view key, std::vector<int>& out, std::string_view section) const {
  const CXmlNode* node = FindKey(key, section);
  if (!node) return 0;
  out.clear();
  out.reserve(node->m_children.size());
  for (const auto& entry : node->m_children) out.push_back(settings_numbers::ParseInt32(entry->m_value.value_or("")));
  return 1;
}

// ---------------------------------------------------------------------------
// CXmlSettings: setters

CXmlNode* CXmlSettings::SectionForWrite(std::string_view section) {
  if (!m_pRoot) return nullptr;
  if (section.empty()) return m_pRoot.get();
  return XmlFindSection(section, true);
}

int CXmlSettings::AppendValue(std::string_view key, std::string value, std::string_view section) {
  CXmlNode* parent = SectionForWrite(section);
  if (!parent) return 0;
  parent->AppendChild(std::string(key), std::move(value));
  return 1;
}

int CXmlSettings::XmlSetInt(std::string_view key, int value, std::string_view section) {
  return AppendValue(key, settings_numbers::FormatInt32(value), section);
}

int CXmlSettings::XmlSetDouble(std::string_view key, double value, std::string_view section) {
  return AppendValue(key, settings_numbers::FormatDouble(value), section);
}

int CXmlSettings::XmlSetUInt(std::string_view key, std::uint32_t value, std::string_view section) {
  return AppendValue(key, settings_numbers::FormatUInt32(value), section);
}

int CXmlSettings::XmlSetString(std::string_view key, std::string_view value, std::string_view section) {
  return AppendValue(key, std::string(value), section);
}

int CXmlSettings::XmlSetWString(std::string_view key, std::string_view value, std::string_view section) {
  return AppendValue(key, std::string(value), section);
}

namespace {

template <typename T, typename Format>
int AppendArray(CXmlNode* parent, std::string_view key, std::string_view suffix, const std::vector<T>& values,
                Format format) {
  if (!parent) return 0;
  // The entries go under the key node just appended, even when the section
  // already holds an older node of that name.
  CXmlNode* array = parent->AppendChild(std::string(key), std::nullopt);
  const std::string entryName = std::string(key) + std::string(suffix);
  array->m_children.reserve(values.size());
  for (const T& v : values) array->AppendChild(entryName, format(v));
  return 1;
}

}  // namespace

int CXmlSettings::XmlSetStringArray(std::string_view key, const std::vector<std::string>& values,
                                    std::string_view section) {
  return AppendArray(SectionForWrite(section), key, "_StringArray", values, [](const std::string& s) { return s; });
}

int CXmlSettings::XmlSetUIntArray(std::string_view key, const std::vector<std::uint32_t>& values,
                                  std::string_view section) {
  return AppendArray(SectionForWrite(section), key, "_UIntArray", values,
                     [](std::uint32_t v) { return settings_numbers::FormatInt32(static_cast<std::int32_t>(v)); });
}

int CXmlSettings::XmlSetBooleanArray(std::string_view key, const std::vector<int>& values, std::string_view section) {
  return AppendArray(SectionForWrite(section), key, "_BooleanArray", values,
                     [](int v) { return settings_numbers::FormatInt32(v); });
}
