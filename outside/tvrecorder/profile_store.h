// CProfileStore: the profile store component. Its entries live in the
// user's registry under the key Open names (one numbered subkey an entry:
// "Kind", "Name", "Flag" and the 400-byte "Block"), and profile files add
// to them.
#pragma once

#include <string>
#include <vector>

#include "interfaces/tvrecorder.h"
#include "platform/com/object.h"

class CProfileStore : public IProfileStore {
 public:
  using Interfaces = plat::InterfaceList<IProfileStore>;

  plat::HRESULT Open(const char* key) override;
  plat::HRESULT LoadFile(const char* file) override;
  plat::HRESULT GetCount(int* count) override;
  plat::HRESULT GetEntry(int index, ProfileEntry* entry) override;
  plat::HRESULT ReadBlock(const char* kind, const char* name, EncoderBlock* block) override;
  plat::HRESULT DeleteEntry(const char* kind, const char* name) override;
  plat::HRESULT Select(const char* kind, const char* name) override;
  plat::HRESULT GetSelected(ProfileEntry* entry) override;

 private:
  int Find(const char* kind, const char* name) const;
  bool Save() const;
  void Load();

  std::string m_key;
  bool m_bOpen = false;
  std::vector<ProfileEntry> m_entries;
  ProfileEntry m_selected{};
  bool m_bSelected = false;
};
