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

#include "corebridge/core/config.h"
#include "corebridge/core/xml_settings.h"
#include "platform/registry/registry.h"

namespace sections_test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Points HOME, XDG_DATA_HOME, XDG_CONFIG_HOME and MARIVEL_REGISTRY_DIR into a
// fresh temporary folder and puts the old values back at the end.
class TempEnvironment {
 public:
  TempEnvironment() {
    std::string pattern = (std::filesystem::path(::testing::TempDir()) / "sections-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
    dir_ = pattern;
    std::filesystem::create_directories(dir_ + "/home");
    std::filesystem::create_directories(dir_ + "/registry");
    Set("HOME", dir_ + "/home", 0);
    Set("XDG_DATA_HOME", dir_ + "/data", 1);
    Set("XDG_CONFIG_HOME", dir_ + "/config", 2);
    Set("MARIVEL_REGISTRY_DIR", dir_ + "/registry", 3);
  }
  ~TempEnvironment() {
    const char* names[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "MARIVEL_REGISTRY_DIR"};
    for (int i = 0; i < 4; ++i) {
      if (had_[i]) {
        ::setenv(names[i], old_[i].c_str(), 1);
      } else {
        ::unsetenv(names[i]);
      }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempEnvironment(const TempEnvironment&) = delete;
  TempEnvironment& operator=(const TempEnvironment&) = delete;

  std::string path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  void Set(const char* name, const std::string& value, int slot) {
    if (const char* old = ::getenv(name)) {
      had_[slot] = true;
      old_[slot] = old;
    }
    ::setenv(name, value.c_str(), 1);
  }

  std::string dir_;
  bool had_[4] = {};
  std::string old_[4];
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
