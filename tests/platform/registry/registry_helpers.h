// Small wrappers over the registry calls for tests.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry/registry.h"

namespace marivel_test {

using namespace plat;

inline HKEY CreateKey(HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &key, disposition), ERROR_SUCCESS) << path;
  return key;
}

inline HKEY OpenKey(HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(root, path, 0, access, &key), ERROR_SUCCESS) << path;
  return key;
}

inline LONG SetString(HKEY key, const char* name, std::string_view text) {
  std::string data(text);
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1));
}

inline LONG SetDword(HKEY key, const char* name, DWORD value) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

inline LONG SetBinary(HKEY key, const char* name, const std::vector<BYTE>& data) {
  return RegSetValueExA(key, name, 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
}

struct Data {
  DWORD type = 0;
  std::vector<BYTE> bytes;
  bool operator==(const Data&) const = default;
};

// The value's type and bytes, or nothing when the query fails.
inline std::optional<Data> Query(HKEY key, const char* name) {
  Data d;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &d.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  d.bytes.resize(size);
  if (RegQueryValueExA(key, name, nullptr, &d.type, d.bytes.data(), &size) != ERROR_SUCCESS) return std::nullopt;
  d.bytes.resize(size);
  return d;
}

inline Data Sz(std::string_view text) {
  Data d{REG_SZ, {text.begin(), text.end()}};
  d.bytes.push_back(0);
  return d;
}

inline Data Dword(DWORD v) {
  return Data{REG_DWORD, {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16),
                          static_cast<BYTE>(v >> 24)}};
}

inline std::vector<std::string> SubKeyNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    LONG r = RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) {
      EXPECT_EQ(r, ERROR_NO_MORE_ITEMS);
      break;
    }
    names.emplace_back(name, size);
  }
  return names;
}

inline std::vector<std::string> ValueNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    LONG r = RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) {
      EXPECT_EQ(r, ERROR_NO_MORE_ITEMS);
      break;
    }
    names.emplace_back(name, size);
  }
  return names;
}

}  // namespace marivel_test
