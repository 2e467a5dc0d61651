#include "outside/tvrecorder/profile_store.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "outside/tvrecorder/profile_file.h"
#include "platform/registry/registry.h"

using namespace plat;

namespace {

constexpr std::size_t kMaxFileBytes = 1 << 20;

std::string SubkeyName(std::size_t index) {
  char text[16];
  std::snprintf(text, sizeof text, "%04zu", index);
  return text;
}

bool Same(const char* field, std::size_t size, const char* text) {
  return text && std::strncmp(field, text, size) == 0 && std::strlen(text) < size;
}

}  // namespace

HRESULT CProfileStore::Open(const char* key) {
  if (!key || !*key) return E_FAIL;
  m_key = key;
  m_bOpen = true;
  Load();
  return S_OK;
}

void CProfileStore::Load() {
  m_entries.clear();
  HKEY root = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, &root) != ERROR_SUCCESS) return;
  for (std::size_t i = 0;; ++i) {
    HKEY sub = nullptr;
    if (RegOpenKeyExA(root, SubkeyName(i).c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) break;
    ProfileEntry e{};
    DWORD type = 0;
    DWORD size = sizeof e.kind - 1;
    const bool kind = RegQueryValueExA(sub, "Kind", nullptr, &type, reinterpret_cast<BYTE*>(e.kind), &size) ==
                      ERROR_SUCCESS;
    size = sizeof e.name - 1;
    const bool name = RegQueryValueExA(sub, "Name", nullptr, &type, reinterpret_cast<BYTE*>(e.name), &size) ==
                      ERROR_SUCCESS;
    DWORD flag = 0;
    size = sizeof flag;
    RegQueryValueExA(sub, "Flag", nullptr, &type, reinterpret_cast<BYTE*>(&flag), &size);
    e.field1280 = static_cast<std::int32_t>(flag);
    size = sizeof e.block;
    const bool block = RegQueryValueExA(sub, "Block", nullptr, &type, reinterpret_cast<BYTE*>(&e.block), &size) ==
                           ERROR_SUCCESS &&
                       type == REG_BINARY && size == sizeof e.block;
    RegCloseKey(sub);
    // An entry that does not read back whole is left out rather than guessed.
    if (kind && name && block) m_entries.push_back(e);
  }
  RegCloseKey(root);
}

bool CProfileStore::Save() const {
  HKEY root = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool ok = true;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const ProfileEntry& e = m_entries[i];
    HKEY sub = nullptr;
    if (RegCreateKeyExA(root, SubkeyName(i).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr) !=
        ERROR_SUCCESS) {
      ok = false;
      break;
    }
    const DWORD flag = static_cast<DWORD>(e.field1280);
    RegSetValueExA(sub, "Kind", 0, REG_SZ, reinterpret_cast<const BYTE*>(e.kind),
                   static_cast<DWORD>(strnlen(e.kind, sizeof e.kind) + 1));
    RegSetValueExA(sub, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(e.name),
                   static_cast<DWORD>(strnlen(e.name, sizeof e.name) + 1));
    RegSetValueExA(sub, "Flag", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flag), sizeof flag);
    RegSetValueExA(sub, "Block", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&e.block), sizeof e.block);
    RegCloseKey(sub);
  }
  // Entries past the end are left over from a longer list.
  for (std::size_t i = m_entries.size();; ++i) {
    if (RegDeleteKeyA(root, SubkeyName(i).c_str()) != ERROR_SUCCESS) break;
  }
  RegCloseKey(root);
  return ok;
}

HRESULT CProfileStore::LoadFile(const char* file) {
  if (!m_bOpen || !file) return E_FAIL;
  std::ifstream in(file, std::ios::binary);
  if (!in) return E_FAIL;
  std::string text(kMaxFileBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > kMaxFileBytes) return E_FAIL;
  const auto parsed = tvrec::ParseProfileFile(text);
  if (!parsed || parsed->empty()) return E_FAIL;
  m_entries.insert(m_entries.end(), parsed->begin(), parsed->end());
  return Save() ? S_OK : E_FAIL;
}

HRESULT CProfileStore::GetCount(int* count) {
  if (!m_bOpen || !count) return E_FAIL;
  *count = static_cast<int>(m_entries.size());
  return S_OK;
}

HRESULT CProfileStore::GetEntry(int index, ProfileEntry* entry) {
  if (!m_bOpen || !entry || index < 0 || index >= static_cast<int>(m_entries.size())) return E_FAIL;
  *entry = m_entries[static_cast<std::size_t>(index)];
  return S_OK;
}

int CProfileStore::Find(const char* kind, const char* name) const {
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (Same(m_entries[i].kind, sizeof m_entries[i].kind, kind) &&
        Same(m_entries[i].name, sizeof m_entries[i].name, name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

HRESULT CProfileStore::ReadBlock(const char* kind, const char* name, EncoderBlock* block) {
  const int i = Find(kind, name);
  if (!m_bOpen || !block || i < 0) return E_FAIL;
  *block = m_entries[static_cast<std::size_t>(i)].block;
  return S_OK;
}

HRESULT CProfileStore::DeleteEntry(const char* kind, const char* name) {
  const int i = Find(kind, name);
  if (!m_bOpen || i < 0) return E_FAIL;
  m_entries.erase(m_entries.begin() + i);
  return Save() ? S_OK : E_FAIL;
}

HRESULT CProfileStore::Select(const char* kind, const char* name) {
  const int i = Find(kind, name);
  if (!m_bOpen || i < 0) return E_FAIL;
  m_selected = m_entries[static_cast<std::size_t>(i)];
  m_bSelected = true;
  return S_OK;
}

HRESULT CProfileStore::GetSelected(ProfileEntry* entry) {
  if (!m_bSelected || !entry) return E_FAIL;
  *entry = m_selected;
  return S_OK;
}
