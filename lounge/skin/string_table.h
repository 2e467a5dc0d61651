// CStringTable: every display text of the skin that is not page data (titles,
// captions, messages, font face names, the character set), read once from
// "string.xml" in the skin base folder into a key-to-text map.
//
// Format: a root element of any name; each child element is one entry whose
// element name is the key and whose attribute "value" is the text. Keys
// compare case-sensitively; a later entry with the same name replaces an
// earlier one. A missing or unreadable file gives an empty table.
#pragma once

#include <filesystem>
#include <string>
#include <unordered_map>

#include "lounge/shell/app_services.h"
#include "platform/core/types.h"
#include "platform/xml/document.h"

class CStringTable : public IUIStringLookup {
 public:
  // Reads "string.xml" from SkinBaseFolder() (or `folder`).
  CStringTable();
  explicit CStringTable(const std::filesystem::path& folder);
  // Unregisters the table from the display-text lookup if it is registered.
  virtual ~CStringTable();
  CStringTable(const CStringTable&) = delete;
  CStringTable& operator=(const CStringTable&) = delete;

  // Loads the file into the document; 0 when it is missing or not well-formed.
  int Load();
  // Why the last Load failed, without the path; empty after a load.
  const std::string& LoadError() const { return m_loadError; }
  // Rebuilds the map from the loaded document; 0 when there is no root.
  int Parse();
  // 1 with the text, or 0 when the key is absent (text untouched).
  int Lookup(const std::string& key, std::string& text) const override;

  const std::string& GetPath() const { return m_path; }
  std::size_t size() const { return m_entries.size(); }

 private:
  std::string m_path;
  std::string m_loadError;
  plat::xml::Document m_document;
  std::unordered_map<std::string, std::string> m_entries;
};

// The character set of every skin font: the decimal number under "CHARSET" in
// the registered string table; 0 (the ANSI set) when there is none.
plat::BYTE GetSkinCharset();
