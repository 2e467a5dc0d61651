// At start the system clears what writers killed in an earlier run left in
// the folders it writes to: the settings folder, the media folders the
// configuration names and the virtual writers' image folders.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "corebridge/core/config.h"
#include "corebridge/core/leftover_files.h"
#include "corebridge/core/photo_config.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_environment.h"

namespace {

namespace fs = std::filesystem;

TEST(LeftoverFiles, TheStartClearsEveryFolderTheSystemWritesTo) {
  test_support::TempEnvironment env("leftovers");
  CConfig config;
  config.m_strSettingsFolder = env.path("settings");
  config.m_pPhoto->m_strBrowseFolder = env.path("photos");
  const std::string writerFolder = env.path("writer");
  for (const std::string& folder : {config.m_strSettingsFolder, config.m_pPhoto->m_strBrowseFolder, writerFolder})
    fs::create_directories(folder);
  // A virtual CD writer whose image is in its own folder.
  const std::string key = std::string(CConfig::kRegistryKey) + "\\VirtualDrives\\W";
  plat::HKEY k = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr,
                                  &k, nullptr),
            plat::ERROR_SUCCESS);
  const std::string image = writerFolder + "/disc.bin";
  plat::RegSetValueExA(k, "Path", 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(image.c_str()),
                       static_cast<plat::DWORD>(image.size() + 1));
  plat::RegSetValueExA(k, "Type", 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>("cdrom"), 6);
  const plat::DWORD one = 1;
  plat::RegSetValueExA(k, "Writer", 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&one), sizeof one);
  plat::RegCloseKey(k);

  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  int status = 0;
  ASSERT_EQ(::waitpid(gone, &status, 0), gone);
  const std::string g = std::to_string(gone);
  const std::string stale[] = {config.m_strSettingsFolder + "/.RadioPresets.txt." + g + "-0-1.tmp",
                               config.m_pPhoto->m_strBrowseFolder + "/.beach.jpg." + g + "-2-3.tmp",
                               writerFolder + "/.disc.bin." + g + ".0.part"};
  const std::string running = writerFolder + "/.disc.bin." + std::to_string(::getpid()) + ".0.part";
  for (const std::string& file : stale) std::ofstream(file) << "partial";
  std::ofstream(running) << "partial";

  EXPECT_EQ(RemoveLeftoversOfKilledWriters(config), 3);
  for (const std::string& file : stale) EXPECT_FALSE(fs::exists(file)) << file;
  EXPECT_TRUE(fs::exists(running));
}

}  // namespace
