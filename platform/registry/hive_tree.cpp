#include "platform/registry/hive_tree.h"

#include <algorithm>

namespace plat::reg {
namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
// Ordering compares upper-cased names, as the platform sorts keys ("_x" after "A").
unsigned char Upper(char c) { return static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c); }

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

bool NameLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return Upper(x) < Upper(y);
  });
}

Key* Key::FindSubKey(std::string_view name) {
  auto it = std::lower_bound(subKeys_.begin(), subKeys_.end(), name,
                             [](const Key& k, std::string_view n) { return NameLess(k.name_, n); });
  return (it != subKeys_.end() && NamesEqual(it->name_, name)) ? &*it : nullptr;
}

const Key* Key::FindSubKey(std::string_view name) const { return const_cast<Key*>(this)->FindSubKey(name); }

Key& Key::SubKey(std::string_view name) {
  auto it = std::lower_bound(subKeys_.begin(), subKeys_.end(), name,
                             [](const Key& k, std::string_view n) { return NameLess(k.name_, n); });
  if (it != subKeys_.end() && NamesEqual(it->name_, name)) return *it;
  return *subKeys_.insert(it, Key(std::string(name)));
}

bool Key::RemoveSubKey(std::string_view name) {
  auto it = std::find_if(subKeys_.begin(), subKeys_.end(), [&](const Key& k) { return NamesEqual(k.name_, name); });
  if (it == subKeys_.end()) return false;
  subKeys_.erase(it);
  return true;
}

Key* Key::Find(std::span<const std::string> path) {
  Key* key = this;
  for (const std::string& step : path) {
    key = key->FindSubKey(step);
    if (!key) return nullptr;
  }
  return key;
}

const Key* Key::Find(std::span<const std::string> path) const { return const_cast<Key*>(this)->Find(path); }

Key& Key::Make(std::span<const std::string> path) {
  Key* key = this;
  for (const std::string& step : path) key = &key->SubKey(step);
  return *key;
}

const Value* Key::FindValue(std::string_view name) const {
  auto it = std::find_if(values_.begin(), values_.end(), [&](const Value& v) { return NamesEqual(v.name, name); });
  return it == values_.end() ? nullptr : &*it;
}

void Key::SetValue(std::string_view name, DWORD type, std::span<const BYTE> data) {
  auto it = std::find_if(values_.begin(), values_.end(), [&](const Value& v) { return NamesEqual(v.name, name); });
  if (it == values_.end()) {
    values_.push_back(Value{std::string(name), type, {data.begin(), data.end()}});
  } else {
    it->type = type;
    it->data.assign(data.begin(), data.end());
  }
}

bool Key::RemoveValue(std::string_view name) {
  auto it = std::find_if(values_.begin(), values_.end(), [&](const Value& v) { return NamesEqual(v.name, name); });
  if (it == values_.end()) return false;
  values_.erase(it);
  return true;
}

}  // namespace plat::reg
