#include "platform/registry/registry.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "platform/registry/hive_text.h"
#include "tests/platform/registry/registry_helpers.h"
#include "tests/platform/registry/temp_registry.h"
#include "tests/support/temp_files.h"

namespace marivel_test {
namespace {

namespace fs = std::filesystem;

// What another process would see: the hive file parsed afresh.
reg::Key ParseFile(const std::string& path, const char* rootName) {
  reg::Key key;
  const std::vector<reg::HiveRoot> roots = {{rootName, {}}};
  auto error = reg::ParseHiveText(TempRegistry::ReadFile(path), roots, key);
  EXPECT_FALSE(error) << path << " line " << error->line << ": " << error->reason;
  return key;
}

class Registry : public ::testing::Test {
 protected:
  TempRegistry hives_;
};

TEST_F(Registry, ValuesOfEveryTypeRoundTripThroughTheHiveFile) {
  DWORD disposition = 0;
  HKEY key = CreateKey(HKEY_CURRENT_USER, "SoftWare\\Kestrovia\\Marivel", KEY_ALL_ACCESS, &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  HKEY again = CreateKey(HKEY_CURRENT_USER, "SoftWare\\Kestrovia\\Marivel", KEY_ALL_ACCESS, &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);

  std::vector<BYTE> blob(100);
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<BYTE>(255 - i);
  ASSERT_EQ(SetString(key, nullptr, "the default"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, "Vendor", "Kestrovia \"quoted\" C:\\path ✓"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "PowerSave", 0xdeadbeef), ERROR_SUCCESS);
  ASSERT_EQ(SetBinary(key, "LibraryRights", blob), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Nothing", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);

  EXPECT_EQ(Query(key, nullptr), Sz("the default"));
  EXPECT_EQ(Query(key, ""), Sz("the default")) << "null and empty both name the default value";
  EXPECT_EQ(Query(key, "Vendor"), Sz("Kestrovia \"quoted\" C:\\path ✓"));
  EXPECT_EQ(Query(key, "PowerSave"), Dword(0xdeadbeef));
  EXPECT_EQ(Query(key, "LibraryRights"), (Data{REG_BINARY, blob}));
  EXPECT_EQ(Query(key, "Nothing"), (Data{REG_BINARY, {}}));

  // Saved at once, in the familiar text form, with nothing left behind.
  std::string text = TempRegistry::ReadFile(hives_.user());
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SoftWare\\Kestrovia\\Marivel]\n@=\"the default\"\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("\"PowerSave\"=dword:deadbeef\n"), std::string::npos) << text;
  EXPECT_FALSE(HasTemporaryFileBeside(hives_.user()));
  EXPECT_FALSE(fs::exists(hives_.machine())) << "the machine hive was not touched";
  const reg::Key hive = ParseFile(hives_.user(), "HKEY_CURRENT_USER");
  const reg::Key* saved = hive.Find(std::vector<std::string>{"SoftWare", "Kestrovia", "Marivel"});
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->values().size(), 5u);
  EXPECT_EQ(saved->FindValue("LibraryRights")->data, blob);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, "Software\\MixedCase");
  HKEY same = OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\mixedcase");
  ASSERT_EQ(SetDword(key, "PowerSave", 1), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(same, "POWERSAVE", 2), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "powersave"), Dword(2));
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"PowerSave"});
  HKEY created = CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\MIXEDCASE\\Child");
  HKEY software = OpenKey(HKEY_LOCAL_MACHINE, "software");
  EXPECT_EQ(SubKeyNames(software), std::vector<std::string>{"MixedCase"});
  EXPECT_EQ(RegDeleteKeyA(software, "mixedCASE\\CHILD"), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(created, "x", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  for (HKEY k : {key, same, created, software}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(Registry, ErrorCodes) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, "Software\\Test");
  ASSERT_EQ(SetDword(key, "Value", 7), ERROR_SUCCESS);
  HKEY sub = CreateKey(key, "Sub");
  HKEY readOnly = OpenKey(HKEY_LOCAL_MACHINE, "Software\\Test", KEY_READ);
  HKEY closed = OpenKey(HKEY_LOCAL_MACHINE, "Software\\Test");
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  const HKEY bogus = reinterpret_cast<HKEY>(std::uintptr_t{0x12345});
  const HKEY users = reinterpret_cast<HKEY>(std::uintptr_t{0x80000003});
  HKEY out = nullptr;
  DWORD dword = 0;
  DWORD size = sizeof dword;
  char name[256];
  DWORD nameSize = sizeof name;
  const std::string tooLong(256, 'k');

  struct Case {
    const char* what;
    std::function<LONG()> call;
    LONG expected;
  };
  const Case cases[] = {
      {"open a missing key", [&] { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Nope", 0, KEY_READ, &out); },
       ERROR_FILE_NOT_FOUND},
      {"open below a missing key", [&] { return RegOpenKeyExA(key, "Nope\\Deeper", 0, KEY_READ, &out); },
       ERROR_FILE_NOT_FOUND},
      {"query a missing value", [&] { return RegQueryValueExA(key, "Nope", nullptr, nullptr, nullptr, nullptr); },
       ERROR_FILE_NOT_FOUND},
      {"delete a missing value", [&] { return RegDeleteValueA(key, "Nope"); }, ERROR_FILE_NOT_FOUND},
      {"delete a missing key", [&] { return RegDeleteKeyA(key, "Nope"); }, ERROR_FILE_NOT_FOUND},
      {"set on a read-only key", [&] { return SetDword(readOnly, "Value", 8); }, ERROR_ACCESS_DENIED},
      {"delete a value of a read-only key", [&] { return RegDeleteValueA(readOnly, "Value"); }, ERROR_ACCESS_DENIED},
      {"create below a read-only key",
       [&] { return RegCreateKeyExA(readOnly, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr); },
       ERROR_ACCESS_DENIED},
      {"delete below a read-only key", [&] { return RegDeleteKeyA(readOnly, "Sub"); }, ERROR_ACCESS_DENIED},
      {"delete a key that has sub-keys", [&] { return RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Test"); },
       ERROR_ACCESS_DENIED},
      {"delete a root key", [&] { return RegDeleteKeyA(HKEY_CLASSES_ROOT, ""); }, ERROR_ACCESS_DENIED},
      {"end of sub-keys", [&] { return RegEnumKeyExA(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr); },
       ERROR_NO_MORE_ITEMS},
      {"end of values",
       [&] { return RegEnumValueA(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr); },
       ERROR_NO_MORE_ITEMS},
      {"query through a bogus handle",
       [&] { return RegQueryValueExA(bogus, "Value", nullptr, nullptr, nullptr, nullptr); }, ERROR_INVALID_HANDLE},
      {"set through a closed handle", [&] { return SetDword(closed, "Value", 1); }, ERROR_INVALID_HANDLE},
      {"enumerate a null handle",
       [&] { return RegEnumKeyExA(nullptr, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr); },
       ERROR_INVALID_HANDLE},
      {"open below an unknown root", [&] { return RegOpenKeyExA(users, "x", 0, KEY_READ, &out); },
       ERROR_INVALID_HANDLE},
      {"close a closed handle", [&] { return RegCloseKey(closed); }, ERROR_INVALID_HANDLE},
      {"close a bogus handle", [&] { return RegCloseKey(bogus); }, ERROR_INVALID_HANDLE},
      {"close a root key", [&] { return RegCloseKey(HKEY_LOCAL_MACHINE); }, ERROR_SUCCESS},
      {"create a key with too long a name",
       [&] {
         return RegCreateKeyExA(key, tooLong.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr);
       },
       ERROR_INVALID_PARAMETER},
      {"a value name with a line break", [&] { return SetDword(key, "two\nlines", 1); }, ERROR_INVALID_PARAMETER},
      {"data without a size",
       [&] { return RegQueryValueExA(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&dword), nullptr); },
       ERROR_INVALID_PARAMETER},
      {"read-only keys still read",
       [&] { return RegQueryValueExA(readOnly, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&dword), &size); },
       ERROR_SUCCESS},
  };
  for (const Case& c : cases) {
    nameSize = sizeof name;
    out = nullptr;
    EXPECT_EQ(c.call(), c.expected) << c.what;
    EXPECT_EQ(out, nullptr) << c.what;
  }
  EXPECT_EQ(Query(key, "Value"), Dword(7)) << "no refused call changed anything";
  for (HKEY k : {key, sub, readOnly}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(Registry, ShortBuffersGetMoreDataAndTheSizeNeeded) {
  HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\Short");
  ASSERT_EQ(SetString(key, "Greeting", "hello"), ERROR_SUCCESS);
  CreateKey(key, "LongerName");

  char buffer[8] = "xxxxxxx";
  DWORD type = 0;
  DWORD size = 3;
  EXPECT_EQ(RegQueryValueExA(key, "Greeting", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_STREQ(buffer, "xxxxxxx") << "a short buffer is left alone";
  size = 6;
  EXPECT_EQ(RegQueryValueExA(key, "Greeting", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "hello");

  char name[8];
  DWORD nameSize = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(nameSize, 11u);
  nameSize = 5;
  EXPECT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(nameSize, 9u);
  char longName[16];
  nameSize = sizeof longName;
  size = 2;
  EXPECT_EQ(RegEnumValueA(key, 0, longName, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, EnumerationIsStable) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, "Software\\Order");
  for (const char* name : {"b", "A", "c", "_x"}) RegCloseKey(CreateKey(key, name));
  for (const char* name : {"z", "a", "M"}) ASSERT_EQ(SetDword(key, name, 1), ERROR_SUCCESS);
  EXPECT_EQ(SubKeyNames(key), (std::vector<std::string>{"A", "b", "c", "_x"})) << "compared in upper case";
  ASSERT_EQ(SetDword(key, "A", 2), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"z", "a", "M"})) << "values keep their creation order";
  ASSERT_EQ(RegDeleteValueA(key, "a"), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteKeyA(key, "B"), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"z", "M"}));
  EXPECT_EQ(SubKeyNames(key), (std::vector<std::string>{"A", "c", "_x"}));

  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  char name[16];
  DWORD nameSize = sizeof name;
  ASSERT_EQ(RegEnumValueA(key, 1, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, nameSize), "M");
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, HandlesOfDeletedKeysAreRefused) {
  HKEY parent = CreateKey(HKEY_CURRENT_USER, "Software\\Parent");
  HKEY child = CreateKey(parent, "Child");
  ASSERT_EQ(RegDeleteKeyA(parent, "Child"), ERROR_SUCCESS);
  HKEY out = nullptr;
  EXPECT_EQ(SetDword(child, "v", 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegQueryValueExA(child, "v", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCreateKeyExA(child, "x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Parent\\Child", 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
}

TEST_F(Registry, ClassesRootLivesInTheMachineHive) {
  HKEY out = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  char name[64];
  DWORD nameSize = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(HKEY_CLASSES_ROOT, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);

  HKEY server = CreateKey(HKEY_CLASSES_ROOT, "CLSID\\{0A1B2C3D-0000-0000-0000-000000000001}\\InprocServer32");
  ASSERT_EQ(SetString(server, nullptr, "libcorebridge.so"), ERROR_SUCCESS);
  HKEY viaMachine =
      OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\clsid\\{0a1b2c3d-0000-0000-0000-000000000001}\\InprocServer32",
              KEY_READ);
  EXPECT_EQ(Query(viaMachine, nullptr), Sz("libcorebridge.so"));
  EXPECT_EQ(SubKeyNames(HKEY_CLASSES_ROOT), std::vector<std::string>{"CLSID"});
  EXPECT_NE(TempRegistry::ReadFile(hives_.machine())
                .find("[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{0A1B2C3D-0000-0000-0000-000000000001}"),
            std::string::npos);
  for (HKEY k : {server, viaMachine}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(Registry, ReadsSeeWhatOthersSaved) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, "Software\\Shared");
  ASSERT_EQ(SetDword(key, "Value", 1), ERROR_SUCCESS);
  ASSERT_EQ(Query(key, "Value"), Dword(1));

  // Same size, new content: only the file's identity tells it changed.
  const std::string text = TempRegistry::ReadFile(hives_.machine());
  std::string changed = text;
  changed.replace(changed.find("dword:00000001"), 14, "dword:00000002");
  TempRegistry::ReplaceFile(hives_.machine(), changed);
  EXPECT_EQ(Query(key, "Value"), Dword(2));

  TempRegistry::ReplaceFile(hives_.machine(), changed + "[HKEY_LOCAL_MACHINE\\Software\\Shared\\New]\n\"n\"=\"v\"\n");
  HKEY added = OpenKey(key, "New");
  EXPECT_EQ(Query(added, "n"), Sz("v"));

  // Our next change starts from their content.
  ASSERT_EQ(SetDword(key, "Mine", 3), ERROR_SUCCESS);
  const reg::Key saved = ParseFile(hives_.machine(), "HKEY_LOCAL_MACHINE");
  const reg::Key* shared = saved.Find(std::vector<std::string>{"Software", "Shared"});
  ASSERT_TRUE(shared);
  EXPECT_TRUE(shared->FindValue("Mine"));
  EXPECT_EQ(shared->FindValue("Value")->data, Dword(2).bytes);
  EXPECT_TRUE(shared->FindSubKey("New"));

  fs::remove(hives_.machine());
  EXPECT_EQ(Query(key, "Value"), std::nullopt);
  EXPECT_EQ(SetDword(key, "Value", 4), ERROR_KEY_DELETED);
  for (HKEY k : {key, added}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(Registry, AMalformedHiveIsKeptAsideAndAFreshOneStarted) {
  const std::string garbage = "this is not a hive\n";
  TempRegistry::ReplaceFile(hives_.machine(), garbage);
  ::testing::internal::CaptureStderr();
  HKEY out = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("machine.reg line 1"), std::string::npos) << message;
  EXPECT_NE(message.find("machine.reg.bad"), std::string::npos) << message;
  EXPECT_EQ(TempRegistry::ReadFile(hives_.machine() + ".bad"), garbage);
  EXPECT_FALSE(fs::exists(hives_.machine()));

  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, "Software\\Fresh");
  ASSERT_EQ(SetDword(key, "v", 1), ERROR_SUCCESS);
  EXPECT_TRUE(ParseFile(hives_.machine(), "HKEY_LOCAL_MACHINE").Find(std::vector<std::string>{"Software", "Fresh"}));

  // A second bad file never replaces the first one kept aside; a write that
  // finds it sets it aside as well before saving.
  const std::string garbage2 = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"broken\n";
  TempRegistry::ReplaceFile(hives_.machine(), garbage2);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(SetDword(HKEY_LOCAL_MACHINE, "v", 2), ERROR_SUCCESS);
  message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("machine.reg.bad.1"), std::string::npos) << message;
  EXPECT_EQ(TempRegistry::ReadFile(hives_.machine() + ".bad"), garbage);
  EXPECT_EQ(TempRegistry::ReadFile(hives_.machine() + ".bad.1"), garbage2);
  EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "v"), Dword(2));
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, TemporaryFilesOfAKilledSaveGoWhenTheHiveIsFirstOpened) {
  // An ended child stands for the writer a kill stopped mid-save.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(gone, &status, 0), gone);
  const std::string stale = hives_.dir() + "/.user.reg." + std::to_string(gone) + "-0-42.tmp";
  const std::string running = hives_.dir() + "/.user.reg." + std::to_string(::getppid()) + "-0-42.tmp";
  for (const std::string& f : {stale, running}) std::ofstream(f) << "REGEDIT4\n[HKEY_CURR";

  EXPECT_EQ(Query(HKEY_CURRENT_USER, "nothing"), std::nullopt);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(running)) << "its writer still runs";
}

// Hives that cannot be written, in ways that hold for every user, root too.
TEST_F(Registry, AHiveThatCannotBeWrittenRefusesChanges) {
  // The hive folder would have to be made below a regular file.
  std::ofstream(hives_.dir() + "/plain-file") << "x";
  ::setenv("MARIVEL_REGISTRY_DIR", (hives_.dir() + "/plain-file/registry").c_str(), 1);
  ::testing::internal::CaptureStderr();
  HKEY out = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "v", 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Query(HKEY_CURRENT_USER, "v"), std::nullopt);

  // The hive's name is taken by a folder.
  ::setenv("MARIVEL_REGISTRY_DIR", hives_.dir().c_str(), 1);
  fs::create_directory(hives_.user());
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "v", 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Query(HKEY_CURRENT_USER, "v"), std::nullopt);
  fs::remove(hives_.user());

  // The lock file's name is taken by a folder: the hive reads but is not saved.
  std::ofstream(hives_.user()) << "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\"v\"=dword:00000005\n";
  fs::remove(hives_.user() + ".lock");
  fs::create_directory(hives_.user() + ".lock");
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "v", 6), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Query(HKEY_CURRENT_USER, "v"), Dword(5));
  std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("user.reg"), std::string::npos) << message;
}

TEST_F(Registry, AHiveTheUserMayNotWriteRefusesChanges) {
  if (::geteuid() == 0) GTEST_SKIP() << "file modes do not bind root; the test above covers root";
  ASSERT_EQ(SetDword(HKEY_CURRENT_USER, "v", 1), ERROR_SUCCESS);
  const std::string before = TempRegistry::ReadFile(hives_.user());
  ::testing::internal::CaptureStderr();
  fs::permissions(hives_.user(), fs::perms::owner_read);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "v", 2), ERROR_ACCESS_DENIED) << "read-only hive file";
  fs::permissions(hives_.user(), fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(hives_.dir(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "v", 3), ERROR_ACCESS_DENIED) << "read-only folder";
  fs::permissions(hives_.dir(), fs::perms::owner_all);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(TempRegistry::ReadFile(hives_.user()), before);
  EXPECT_EQ(Query(HKEY_CURRENT_USER, "v"), Dword(1));
}

TEST_F(Registry, ThreadsShareTheRegistry) {
  constexpr int kThreads = 4;
  constexpr int kValues = 25;
  HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\Threads");
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([key, t] {
      for (int i = 0; i < kValues; ++i) {
        std::string name = "t" + std::to_string(t) + "_" + std::to_string(i);
        EXPECT_EQ(SetDword(key, name.c_str(), static_cast<DWORD>(i)), ERROR_SUCCESS);
        EXPECT_EQ(Query(key, name.c_str()), Dword(static_cast<DWORD>(i)));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(ValueNames(key).size(), static_cast<std::size_t>(kThreads * kValues));
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

}  // namespace
}  // namespace marivel_test
