#include "corebridge/core/registry_key.h"

#include <gtest/gtest.h>

#include "platform/registry/registry.h"
#include "tests/platform/registry/registry_helpers.h"
#include "tests/platform/registry/temp_registry.h"

namespace {

using namespace plat;
using marivel_test::TempRegistry;

constexpr const char* kAppKey = "SoftWare\\Kestrovia\\Marivel";

class RegistryKey : public ::testing::Test {
 protected:
  TempRegistry hives_;
};

TEST_F(RegistryKey, OpensReadsAndWritesDwords) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(key.m_hKey, HKEY_LOCAL_MACHINE);
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kAppKey), 1);
  EXPECT_EQ(key.SetDword("PowerSave", 1), 1);
  EXPECT_EQ(key.Close(), ERROR_SUCCESS);
  EXPECT_EQ(key.m_hKey, nullptr);
  EXPECT_EQ(key.Close(), ERROR_SUCCESS) << "nothing open";

  ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kAppKey, true), 1);
  EXPECT_EQ(key.m_strSubKey, kAppKey);
  DWORD value = 0;
  EXPECT_EQ(key.QueryDword("powersave", value), 1);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(key.m_lLastError, ERROR_SUCCESS);
  EXPECT_EQ(key.m_dwLastType, REG_DWORD);
  EXPECT_EQ(key.m_dwLastSize, 4u);
  EXPECT_EQ(key.SetDword("PowerSave", 0), 0) << "opened read-only";

  ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kAppKey, false), 1);
  EXPECT_EQ(key.m_dwLastType, 0u) << "an open clears the type and size";
  EXPECT_EQ(key.m_dwLastSize, 0u);
  EXPECT_EQ(key.SetDword("PowerSave", 0), 1);
}

TEST_F(RegistryKey, FailuresKeepTheCallersValueAndRecordTheCode) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, kAppKey, true), 0);
  EXPECT_EQ(key.m_lLastError, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.m_hKey, nullptr);
  EXPECT_EQ(key.m_strSubKey, kAppKey);

  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kAppKey), 1);
  DWORD value = 1234;
  EXPECT_EQ(key.QueryDword("DefaultDXVA", value), 0);
  EXPECT_EQ(value, 1234u);
  EXPECT_EQ(key.m_lLastError, ERROR_FILE_NOT_FOUND);

  // A value too big for four bytes: more data, its real size recorded.
  ASSERT_EQ(marivel_test::SetString(key.m_hKey, "Vendor", "Kestrovia"), ERROR_SUCCESS);
  EXPECT_EQ(key.QueryDword("Vendor", value), 0);
  EXPECT_EQ(value, 1234u);
  EXPECT_EQ(key.m_lLastError, ERROR_MORE_DATA);
  EXPECT_EQ(key.m_dwLastType, REG_SZ);
  EXPECT_EQ(key.m_dwLastSize, 10u);
}

TEST_F(RegistryKey, QueryStringTakesAtMost200Bytes) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kAppKey), 1);
  const std::string fits(199, 'a');  // 200 bytes with its zero
  ASSERT_EQ(marivel_test::SetString(key.m_hKey, "Vendor", fits), ERROR_SUCCESS);
  std::string text = "before";
  EXPECT_EQ(key.QueryString("Vendor", text), 1);
  EXPECT_EQ(text, fits);
  EXPECT_EQ(key.m_dwLastSize, 200u);

  ASSERT_EQ(marivel_test::SetString(key.m_hKey, "Vendor", fits + "b"), ERROR_SUCCESS);
  text = "before";
  EXPECT_EQ(key.QueryString("Vendor", text), 0);
  EXPECT_EQ(text, "before");
  EXPECT_EQ(key.m_lLastError, ERROR_MORE_DATA);
  EXPECT_EQ(key.m_dwLastSize, 201u);

  // Data stored without a terminating zero is read no further than its size.
  ASSERT_EQ(RegSetValueExA(key.m_hKey, "Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
  EXPECT_EQ(key.QueryString("Raw", text), 1);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(key.QueryString("Missing", text), 0);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(key.m_lLastError, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKey, RecordedWriterAndDeleteValueRecordTheirResults) {
  CRegistryKey key(HKEY_CURRENT_USER);
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kAppKey), 1);
  EXPECT_EQ(key.SetDwordRecorded("WebLinkStatus", 3), 1);
  EXPECT_EQ(key.m_lLastError, ERROR_SUCCESS);
  EXPECT_EQ(key.m_dwLastType, REG_DWORD);
  EXPECT_EQ(key.m_dwLastSize, 4u);
  EXPECT_EQ(key.DeleteValue("WebLinkStatus"), 1);
  EXPECT_EQ(key.m_dwLastType, 0u);
  EXPECT_EQ(key.m_dwLastSize, 0u);
  EXPECT_EQ(key.DeleteValue("FrameSize"), 0);
  EXPECT_EQ(key.m_lLastError, ERROR_FILE_NOT_FOUND);

  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kAppKey, true), 1);
  EXPECT_EQ(key.SetDwordRecorded("WebLinkStatus", 3), 0);
  EXPECT_EQ(key.m_lLastError, ERROR_ACCESS_DENIED);
  EXPECT_EQ(key.m_dwLastType, REG_DWORD);
  EXPECT_EQ(key.m_dwLastSize, 4u);
}

TEST_F(RegistryKey, CloseReturnsTheResultOfClosing) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(key.Close(), ERROR_SUCCESS) << "the root handed to the constructor closes quietly";
  key.m_hKey = reinterpret_cast<HKEY>(std::uintptr_t{0x4321});
  EXPECT_EQ(key.Close(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(key.m_hKey, nullptr);
}

TEST_F(RegistryKey, OpenAllAccessReleasesTheKeyItHeld) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\First"), 1);
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\Second"), 1);
  ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, "Software\\First", true), 1);
  const HKEY first = key.m_hKey;
  ASSERT_EQ(key.OpenAllAccess(HKEY_LOCAL_MACHINE, "Software\\Second"), 1);
  EXPECT_NE(key.m_hKey, first);
  EXPECT_EQ(RegCloseKey(first), ERROR_INVALID_HANDLE) << "the first key was closed, not leaked";
  EXPECT_EQ(key.m_strSubKey, "Software\\First") << "OpenAllAccess does not remember its path";
  EXPECT_EQ(key.SetDword("v", 1), 1) << "all access";

  key.m_lLastError = 99;
  EXPECT_EQ(key.OpenAllAccess(HKEY_LOCAL_MACHINE, "Software\\Missing"), 0);
  EXPECT_EQ(key.m_lLastError, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.m_hKey, nullptr);
}

TEST_F(RegistryKey, DeleteTreeRemovesEveryLevel) {
  for (const char* path : {"Software\\Tree\\A\\A1\\A11", "Software\\Tree\\A\\A2", "Software\\Tree\\B",
                           "Software\\Tree\\C\\C1", "Software\\Keep"}) {
    HKEY k = marivel_test::CreateKey(HKEY_CURRENT_USER, path);
    ASSERT_EQ(marivel_test::SetDword(k, "v", 1), ERROR_SUCCESS);
    RegCloseKey(k);
  }
  CRegistryKey key(HKEY_CURRENT_USER);
  EXPECT_EQ(key.DeleteTree(HKEY_CURRENT_USER, "Software\\Tree"), 1);
  HKEY out = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tree", 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  HKEY software = marivel_test::OpenKey(HKEY_CURRENT_USER, "Software", KEY_READ);
  EXPECT_EQ(marivel_test::SubKeyNames(software), std::vector<std::string>{"Keep"});
  RegCloseKey(software);

  EXPECT_EQ(key.DeleteTree(HKEY_CURRENT_USER, "Software\\Tree"), 0);
  EXPECT_EQ(key.m_lLastError, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKey, DeleteTreeStopsAtTheFirstFailure) {
  RegCloseKey(marivel_test::CreateKey(HKEY_CURRENT_USER, "Software\\Tree\\A\\A1"));
  RegCloseKey(marivel_test::CreateKey(HKEY_CURRENT_USER, "Software\\Tree\\B"));
  // A folder where the lock file belongs: the hive reads but cannot be saved.
  std::filesystem::remove(hives_.user() + ".lock");
  std::filesystem::create_directory(hives_.user() + ".lock");
  ::testing::internal::CaptureStderr();
  CRegistryKey key(HKEY_CURRENT_USER);
  EXPECT_EQ(key.DeleteTree(HKEY_CURRENT_USER, "Software\\Tree"), 0);
  EXPECT_EQ(key.m_lLastError, ERROR_ACCESS_DENIED);
  ::testing::internal::GetCapturedStderr();
  HKEY out = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tree\\A\\A1", 0, KEY_READ, &out), ERROR_SUCCESS);
  RegCloseKey(out);
}

}  // namespace
