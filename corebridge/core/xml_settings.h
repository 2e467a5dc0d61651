// CXmlSettings: the settings store through which "Config.xml" and
// "Schedule.sys" are read and written. The settings live in memory as a tree
// of named nodes with optional text values; the XML document is used only to
// load a file into the tree and to write the tree out.
//
// File format: the document element is the tree's root ("MRVConfig" when
// written); sections are elements under it, keys are elements under a
// section, and a node's value is its element's attribute `value`. An array
// key has no value of its own and one child per entry, named
// "<KEY>_StringArray", "<KEY>_UIntArray" or "<KEY>_BooleanArray". Written
// files are canonical (UTF-8, two-space indentation, every element below the
// root carries `value`, empty for sections and array keys); any well-formed
// file is read, and the first match in pre-order wins.
//
// Typical use: a writer constructs, calls XmlSettingsOpen, the setters and
// XmlSettingsSave; a reader constructs, calls XmlSettingsLoadFile and the
// getters. Results are 1 for success and 0 for failure.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a number getter found under a key.
enum class XmlNumber {
  kMissing,     // no such key, or a key without a value
  kNotANumber,  // a value with no digits to read, or an infinite or NaN double
  kRead,
};

// One node of the settings tree.
class CXmlNode {
 public:
  CXmlNode(CXmlNode* parent, std::string name, std::optional<std::string> value);
  virtual ~CXmlNode();
  CXmlNode(const CXmlNode&) = delete;
  CXmlNode& operator=(const CXmlNode&) = delete;

  CXmlNode* AppendChild(std::string name, std::optional<std::string> value);
  // The first node named `name` in a depth-first, pre-order walk of this
  // subtree, this node included; null when there is none.
  const CXmlNode* FindFirst(std::string_view name) const;
  CXmlNode* FindFirst(std::string_view name);

  CXmlNode* m_pParent = nullptr;  // not owned; null at the root
  std::vector<std::unique_ptr<CXmlNode>> m_children;
  std::string m_strName;
  // Absent for a node created without a value (sections, array keys).
  std::optional<std::string> m_value;
};

class CXmlSettings {
 public:
  CXmlSettings();
  virtual ~CXmlSettings();
  CXmlSettings(const CXmlSettings&) = delete;
  CXmlSettings& operator=(const CXmlSettings&) = delete;

  // Starts a new, empty tree for writing: a root "MRVConfig" and nothing else.
  int XmlSettingsOpen();
  // No settings file comes near this; a bigger one is kept aside unread.
  static constexpr std::size_t kMaxFileBytes = 4u << 20;

  // Reads the file into a new tree. 0 when the file is missing or cannot be
  // read (the tree stays as it was); a file that does not parse or is larger
  // than kMaxFileBytes is renamed to the first free "<path>.bad",
  // "<path>.bad.1", ... so that nothing overwrites it, and gives 0 as well.
  // Temporary files that killed saves of this file left behind are removed
  // first.
  int XmlSettingsLoadFile(const std::string& path);
  // Writes the tree atomically (temporary file, fsync, rename); needs a tree.
  int XmlSettingsSave(const std::string& path) const;

  // First node named `name` in pre-order over the whole tree, the root
  // included. With `create` and no such node, a new section is appended to
  // the root.
  CXmlNode* XmlFindSection(std::string_view name, bool create);

  // Getters: write `out` and return 1 when the key is found (with a value
  // that reads as a number, for numbers); otherwise return 0 and leave `out`
  // as it was. An empty section searches from the root; a missing section is
  // a missing key.
  int XmlGetInt(std::string_view key, int& out, std::string_view section) const;
  int XmlGetDouble(std::string_view key, double& out, std::string_view section) const;
  int XmlGetUInt(std::string_view key, std::uint32_t& out, std::string_view section) const;
  int XmlGetString(std::string_view key, std::string& out, std::string_view section) const;
  // The number getters with the reason when nothing is read, for keys whose
  // missing value counts as a value. `out` is written only on kRead.
  XmlNumber XmlReadInt(std::string_view key, int& out, std::string_view section) const;
  XmlNumber XmlReadUInt(std::string_view key, std::uint32_t& out, std::string_view section) const;
  XmlNumber XmlReadDouble(std::string_view key, double& out, std::string_view section) const;
  // Text is UTF-8 in memory; the wide form reads the same value.
  int XmlGetWString(std::string_view key, std::string& out, std::string_view section) const;

  // Array getters empty `out` and append every child's value of the key node.
  int XmlGetStringArray(std::string_view key, std::vector<std::string>& out, std::string_view section) const;
  int XmlGetUIntArray(std::string_view key, std::vector<std::uint32_t>& out, std::string_view section) const;
  int XmlGetBooleanArray(std::string_view key, std::vector<int>& out, std::string_view section) const;

  // Setters append a new key node to the section (created under the root
  // when missing); a key set twice appears twice and readers see the first.
  int XmlSetInt(std::string_view key, int value, std::string_view section);
  int XmlSetDouble(std::string_view key, double value, std::string_view section);
  int XmlSetUInt(std::string_view key, std::uint32_t value, std::string_view section);
  int XmlSetString(std::string_view key, std::string_view value, std::string_view section);
  int XmlSetWString(std::string_view key, std::string_view value, std::string_view section);

  // Array setters append a key node without a value and one entry per value;
  // unsigned entries are written as signed 32-bit decimals.
  int XmlSetStringArray(std::string_view key, const std::vector<std::string>& values, std::string_view section);
  int XmlSetUIntArray(std::string_view key, const std::vector<std::uint32_t>& values, std::string_view section);
  int XmlSetBooleanArray(std::string_view key, const std::vector<int>& values, std::string_view section);

  // The tree's root, null before an open or a successful load.
  const CXmlNode* Root() const { return m_pRoot.get(); }
  // What went wrong in the last failed load or save, for diagnostics.
  const std::string& LastError() const { return m_strLastError; }

 private:
  const CXmlNode* FindKey(std::string_view key, std::string_view section) const;
  CXmlNode* SectionForWrite(std::string_view section);
  int AppendValue(std::string_view key, std::string value, std::string_view section);

  std::unique_ptr<CXmlNode> m_pRoot;
  mutable std::string m_strLastError;
};
