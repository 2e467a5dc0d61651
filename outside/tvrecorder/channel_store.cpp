#include "outside/tvrecorder/channel_store.h"

#include <cstdlib>
#include <cstring>

#include "platform/registry/registry.h"

using namespace plat;

namespace tvrec {

namespace {

DWORD ReadDword(HKEY key, const char* name) {
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return 0;
  }
  return value;
}

}  // namespace

void ChannelStore::SetKey(const std::string& key) {
  std::lock_guard lock(mutex_);
  key_ = key;
  channels_.clear();
  HKEY root = nullptr;
  if (key_.empty() || RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &root) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    char sub[64] = {};
    DWORD size = sizeof sub;
    if (RegEnumKeyExA(root, i, sub, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    char* end = nullptr;
    const long channel = std::strtol(sub, &end, 10);
    if (end == sub || *end != '\0' || channel < 0 || channel > 9999) continue;
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, sub, 0, KEY_READ, &k) != ERROR_SUCCESS) continue;
    StoredChannel c;
    c.stored = static_cast<int>(ReadDword(k, "Stored"));
    c.value = static_cast<int>(ReadDword(k, "Value"));
    c.param = static_cast<int>(ReadDword(k, "Param"));
    char name[256] = {};
    DWORD type = 0;
    size = sizeof name - 1;
    if (RegQueryValueExA(k, "Name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
      c.name.assign(name, strnlen(name, sizeof name));
    }
    RegCloseKey(k);
    channels_[static_cast<int>(channel)] = c;
  }
  RegCloseKey(root);
}

StoredChannel ChannelStore::Get(int channel) const {
  std::lock_guard lock(mutex_);
  const auto it = channels_.find(channel);
  return it == channels_.end() ? StoredChannel{} : it->second;
}

bool ChannelStore::IsStored(int channel) const { return Get(channel).stored != 0; }

std::map<int, StoredChannel> ChannelStore::All() const {
  std::lock_guard lock(mutex_);
  std::map<int, StoredChannel> out;
  for (const auto& [channel, c] : channels_) {
    if (c.stored) out.emplace(channel, c);
  }
  return out;
}

void ChannelStore::Write(int channel, const StoredChannel& c) {
  if (key_.empty()) return;
  const std::string path = key_ + "\\" + std::to_string(channel);
  HKEY k = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  const DWORD stored = static_cast<DWORD>(c.stored);
  const DWORD value = static_cast<DWORD>(c.value);
  const DWORD param = static_cast<DWORD>(c.param);
  RegSetValueExA(k, "Stored", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
  RegSetValueExA(k, "Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegSetValueExA(k, "Param", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&param), sizeof param);
  RegSetValueExA(k, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.name.c_str()),
                 static_cast<DWORD>(c.name.size() + 1));
  RegCloseKey(k);
}

void ChannelStore::SetStored(int channel, int value) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  // Clearing a channel that was never kept writes nothing.
  if (value == 0 && it == channels_.end()) return;
  StoredChannel& c = channels_[channel];
  c.stored = value != 0 ? 1 : 0;
  Write(channel, c);
}

void ChannelStore::SetValue(int channel, int value) {
  std::lock_guard lock(mutex_);
  StoredChannel& c = channels_[channel];
  c.value = value;
  Write(channel, c);
}

void ChannelStore::SetParam(int channel, int value) {
  std::lock_guard lock(mutex_);
  StoredChannel& c = channels_[channel];
  c.param = value;
  Write(channel, c);
}

void ChannelStore::SetName(int channel, const std::string& name) {
  std::lock_guard lock(mutex_);
  StoredChannel& c = channels_[channel];
  c.name = name.substr(0, 255);
  Write(channel, c);
}

}  // namespace tvrec
