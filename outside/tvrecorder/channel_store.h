// The recorder's channel tables, one per band, kept in the user's registry
// under the keys the engine names (inner 72 for cable, 73 for antenna): a
// subkey per channel number with "Stored", "Value", "Param" and "Name".
#pragma once

#include <map>
#include <mutex>
#include <string>

namespace tvrec {

struct StoredChannel {
  int stored = 0;
  int value = 0;
  int param = 0;
  std::string name;
};

class ChannelStore {
 public:
  // Reads the table under `key` (HKCU); an empty key keeps it in memory.
  void SetKey(const std::string& key);
  StoredChannel Get(int channel) const;
  bool IsStored(int channel) const;
  void SetStored(int channel, int value);
  void SetValue(int channel, int value);
  void SetParam(int channel, int value);
  void SetName(int channel, const std::string& name);
  // Stored channels in increasing order.
  std::map<int, StoredChannel> All() const;

 private:
  void Write(int channel, const StoredChannel& c);

  mutable std::mutex mutex_;
  std::string key_;
  std::map<int, StoredChannel> channels_;
};

}  // namespace tvrec
