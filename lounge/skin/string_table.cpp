#include "lounge/skin/string_table.h"

#include "lounge/skin/number_text.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_report.h"

namespace {
constexpr const char* kStringFile = "string.xml";
}

CStringTable::CStringTable() : CStringTable(SkinBaseFolder()) {}

CStringTable::CStringTable(const std::filesystem::path& folder) : m_path(JoinSkinFile(folder.string(), kStringFile)) {
  if (Load()) Parse();
}

CStringTable::~CStringTable() { UnregisterUIStringTable(this); }

int CStringTable::Load() {
  const std::string file = ResolveSkinPath(m_path);
  const plat::xml::Status status = m_document.loadFile(file);
  m_loadError = status ? std::string() : SkinLoadReason(status.message, file);
  return status ? 1 : 0;
}

int CStringTable::Parse() {
  m_entries.clear();
  plat::xml::Element root = m_document.documentElement();
  if (!root) return 0;
  for (const plat::xml::Element& entry : root.children()) {
    std::optional<std::string> value = entry.attribute("value");
    if (!value) continue;  // an entry without a text adds nothing
    m_entries[entry.name()] = std::move(*value);
  }
  return 1;
}

int CStringTable::Lookup(const std::string& key, std::string& text) const {
  auto it = m_entries.find(key);
  if (it == m_entries.end()) return 0;
  text = it->second;
  return 1;
}

plat::BYTE GetSkinCharset() {
  std::string charset;
  if (!LookupUIString("CHARSET", charset)) return 0;
  return static_cast<plat::BYTE>(ParseDecimalInt(charset));
}
