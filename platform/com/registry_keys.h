// Small helpers over the registry API for the class registrations.
#pragma once

#include <optional>
#include <string>

#include "platform/com/visibility.h"
#include "platform/registry/registry.h"

namespace plat::com_detail {

// An open registry key, closed on destruction.
class PLAT_COM_LOCAL RegKey {
 public:
  RegKey() = default;
  ~RegKey();
  RegKey(RegKey&& other) noexcept;
  RegKey& operator=(RegKey&& other) noexcept;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  LONG Open(HKEY parent, const std::string& subKey, REGSAM access = KEY_READ);
  LONG Create(HKEY parent, const std::string& subKey);
  HKEY Get() const { return key_; }

  // A REG_SZ value ("" names the default value); nullopt if absent or not a string.
  std::optional<std::string> QueryString(const std::string& name) const;
  LONG SetString(const std::string& name, const std::string& value);

 private:
  void Close();
  HKEY key_ = nullptr;
};

// Deletes `subKey` of `parent` with everything below it; ERROR_SUCCESS also
// when it did not exist.
PLAT_COM_LOCAL LONG DeleteKeyTree(HKEY parent, const std::string& subKey);

}  // namespace plat::com_detail
