// Test support for the module sections: a temporary folder with its own
// home, XDG folders and registry hives for the lifetime of the object, file
// helpers, machine-registry values, and settings documents built in memory.
#pragma once

#include <stdlib.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_environment.h"

#include "corebridge/core/config.h"
#include "corebridge/core/xml_settings.h"
#include "platform/registry/registry.h"

namespace sections_test {

using test_support::ReadFile;
using test_support::WriteFile;

// A temporary home, XDG folders and registry hives for one test.
class TempEnvironment : public test_support::TempEnvironment {
 public:
  TempEnvironment() : test_support::TempEnvironment("sections") {}
};

inline void SetMachineValue(const char* name, plat::DWORD type, const void* data, plat::DWORD size) {
  plat::HKEY key = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, 0, nullptr, 0,
                                  plat::KEY_ALL_ACCESS, nullptr, &key, nullptr),
            plat::ERROR_SUCCESS);
  ASSERT_EQ(plat::RegSetValueExA(key, name, 0, type, static_cast<const plat::BYTE*>(data), size),
            plat::ERROR_SUCCESS);
  plat::RegCloseKey(key);
}

inline void SetMachineDword(const char* name, plat::DWORD value) {
  SetMachineValue(name, plat::REG_DWORD, &value, sizeof value);
}

inline void SetMachineString(const char* name, const std::string& value) {
  SetMachineValue(name, plat::REG_SZ, value.c_str(), static_cast<plat::DWORD>(value.size() + 1));
}

// A settings document whose tree holds only the section `section` with one
// key set to `text` (nothing at all when `text` is null).
inline void MakeDocument(CXmlSettings& xml, const char* section, const char* key, const char* text) {
  xml.XmlSettingsOpen();
  xml.XmlFindSection(section, true);
  if (text) xml.XmlSetString(key, text, section);
}

// Sets the last-modification time of the path itself (a link, not its target).
inline void SetMtime(const std::string& path, long seconds) {
  struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

}  // namespace sections_test
