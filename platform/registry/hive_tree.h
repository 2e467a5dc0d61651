// The in-memory form of one hive: a tree of keys holding typed values. Names
// compare without regard to ASCII case; a name keeps the case it was first
// created with. Sub-keys are kept sorted (case-insensitively) so enumeration
// is stable; values keep their creation order.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/types.h"

namespace plat::reg {

bool NamesEqual(std::string_view a, std::string_view b);
// Case-insensitive ordering used for sub-keys.
bool NameLess(std::string_view a, std::string_view b);

struct Value {
  std::string name;  // empty for the key's default value
  DWORD type = 0;
  std::vector<BYTE> data;
};

class Key {
 public:
  Key() = default;
  explicit Key(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  const std::vector<Key>& subKeys() const { return subKeys_; }
  const std::vector<Value>& values() const { return values_; }

  Key* FindSubKey(std::string_view name);
  const Key* FindSubKey(std::string_view name) const;
  // Returns the existing sub-key of that name or creates it.
  Key& SubKey(std::string_view name);
  bool RemoveSubKey(std::string_view name);

  // Walks a path of sub-key names; null when any step is missing.
  Key* Find(std::span<const std::string> path);
  const Key* Find(std::span<const std::string> path) const;
  // Walks a path, creating every missing step.
  Key& Make(std::span<const std::string> path);

  const Value* FindValue(std::string_view name) const;
  // Replaces the data of an existing value (keeping its name's case and its
  // position) or appends a new one.
  void SetValue(std::string_view name, DWORD type, std::span<const BYTE> data);
  bool RemoveValue(std::string_view name);

 private:
  std::string name_;
  std::vector<Key> subKeys_;
  std::vector<Value> values_;
};

}  // namespace plat::reg
