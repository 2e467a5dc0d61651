#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "outside/coreobject/core_object.h"
#include "outside/coreobject/drive_enumerator.h"
#include "interfaces/mixhost.h"
#include "outside/coreobject/memory_audio.h"
#include "platform/com/com.h"
#include "platform/registry/registry.h"
#include "platform/sys/drive_table.h"
#include "tests/corebridge/core/settings_test_support.h"
#include "tests/platform/com/test_interfaces.h"

namespace {

using namespace plat;
namespace fs = std::filesystem;

void SetString(HKEY root, const std::string& path, const char* name, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

class CoreObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    core_ = MakeComObject<CCoreObject>();
    ASSERT_TRUE(core_);
  }
  void TearDown() override {
    core_.Reset();
    SetVolumeSource(nullptr);
    CoUninitialize();
  }
  settings_test::TempEnvironment env_;
  ComPtr<ComObject<CCoreObject>> core_;
};

TEST_F(CoreObjectTest, ServicesAreHandedOutByTheirIds) {
  ComPtr<ICoreAudio> audio;
  ASSERT_EQ(core_->QueryInterface(IID_ICoreAudio, reinterpret_cast<void**>(&audio)), S_OK);
  ComPtr<ICoreAudio> again;
  core_->QueryInterface(IID_ICoreAudio, reinterpret_cast<void**>(&again));
  EXPECT_EQ(audio.Get(), again.Get());  // one service per core object
  char name[kServiceNameBytes] = {};
  char* buffer = name;
  ASSERT_EQ(audio->GetDeviceName(0, &buffer), S_OK);
  EXPECT_EQ(audio->SelectDeviceByName(name), S_OK);
  EXPECT_EQ(audio->GetDeviceName(1, &buffer), E_FAIL);  // one device
  EXPECT_EQ(audio->SetSpeakersVolume(0, 1.5f), E_FAIL);
  for (const IID* iid : {&IID_IDriveEnumerator, &IID_IKeyInputSource, &IID_IImageAcquire, &IID_IImageAcquireSession}) {
    ComPtr<IUnknown> service;
    EXPECT_EQ(core_->QueryInterface(*iid, reinterpret_cast<void**>(&service)), S_OK);
  }
  ComPtr<IImageAcquire> images;
  core_->QueryInterface(IID_IImageAcquire, reinterpret_cast<void**>(&images));
  // No camera or scanner is declared in the test's registry.
  ASSERT_EQ(images->RefreshDevices(0), S_OK);
  AcquireDeviceList cameras;
  EXPECT_EQ(images->GetCameras(&cameras), S_OK);
  EXPECT_TRUE(cameras.empty());
  ComPtr<IImageAcquireSession> session;
  ASSERT_EQ(images->QueryInterface(IID_IImageAcquireSession, reinterpret_cast<void**>(&session)), S_OK);
  EXPECT_EQ(session->Connect(), E_FAIL) << "no device selected";
}

TEST_F(CoreObjectTest, AudioGoesToTheMixerComponentWhenItIsRegistered) {
  {
    // Not registered: the in-memory device.
    ComPtr<ICoreAudio> audio;
    ASSERT_EQ(core_->QueryInterface(IID_ICoreAudio, reinterpret_cast<void**>(&audio)), S_OK);
    char name[kServiceNameBytes] = {};
    char* buffer = name;
    audio->GetDeviceName(0, &buffer);
    EXPECT_STREQ(name, CMemoryAudio::kDeviceName);
  }
  ::setenv("MARIVEL_MIXER", "memory", 1);
  SetString(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(CLSID_MixHost) + "\\InprocServer32", "", MIXHOST_SERVER);
  auto core = MakeComObject<CCoreObject>();
  ComPtr<ICoreAudio> audio;
  ASSERT_EQ(core->QueryInterface(IID_ICoreAudio, reinterpret_cast<void**>(&audio)), S_OK);
  char name[kServiceNameBytes] = {};
  char* buffer = name;
  ASSERT_EQ(audio->GetDeviceName(0, &buffer), S_OK);
  EXPECT_STRNE(name, CMemoryAudio::kDeviceName);
  ASSERT_EQ(audio->SelectDeviceByName(name), S_OK);
  ASSERT_EQ(audio->SetSpeakersVolume(0, 0.25f), S_OK);
  float volume = 0;
  int mute = -1;
  DWORD type = 0;
  ASSERT_EQ(audio->GetSpeakersLineState(0, &mute, &volume, &type), S_OK);
  EXPECT_NEAR(volume, 0.25f, 0.01f);
  audio.Reset();
  core.Reset();
  ::unsetenv("MARIVEL_MIXER");
}

TEST_F(CoreObjectTest, AnEngineIsCreatedOnceAndKeepsItsState) {
  SetString(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(CLSID_TestAggregatable) + "\\InprocServer32", "",
            COM_TEST_SERVER);
  core_->AddEngineClass(IID_ITestValue, CLSID_TestAggregatable);
  {
    ComPtr<ITestValue> first;
    ASSERT_EQ(core_->QueryInterface(IID_ITestValue, reinterpret_cast<void**>(&first)), S_OK);
    first->SetValue(42);
  }
  ComPtr<ITestValue> second;
  ASSERT_EQ(core_->QueryInterface(IID_ITestValue, reinterpret_cast<void**>(&second)), S_OK);
  int value = 0;
  second->GetValue(&value);
  EXPECT_EQ(value, 42);
  // An engine that is not registered fails its query.
  ComPtr<IUnknown> dvd;
  EXPECT_TRUE(FAILED(core_->QueryInterface(MakeGuid("{EF8563DF-2933-4CA6-BF06-3E0862CF7B03}"),
                                           reinterpret_cast<void**>(&dvd))));
  EXPECT_FALSE(dvd);
}

TEST_F(CoreObjectTest, VirtualDrivesFromTheRegistry) {
  const std::string dvd = env_.path("movie");
  fs::create_directories(dvd + "/VIDEO_TS");
  std::ofstream(dvd + "/VIDEO_TS/VIDEO_TS.IFO") << "DVDVIDEO-VMG";
  std::ofstream(dvd + "/VIDEO_TS/VTS_01_0.IFO") << "DVDVIDEO-VTS";
  const std::string photos = env_.path("photos");
  fs::create_directories(photos);
  const std::string image = env_.path("disc.iso");
  std::ofstream(image) << "not really an image";
  const std::string key = "SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\";
  SetString(HKEY_LOCAL_MACHINE, key + "M", "Path", dvd);
  SetString(HKEY_LOCAL_MACHINE, key + "M", "Type", "cdrom");
  SetString(HKEY_LOCAL_MACHINE, key + "M", "Label", "MOVIE");
  SetString(HKEY_LOCAL_MACHINE, key + "P", "Path", photos);
  SetString(HKEY_LOCAL_MACHINE, key + "P", "Type", "removable");
  SetString(HKEY_LOCAL_MACHINE, key + "I", "Path", image);
  SetString(HKEY_LOCAL_MACHINE, key + "I", "Type", "cdrom");
  SetString(HKEY_LOCAL_MACHINE, key + "bad", "Path", photos);  // not a letter: ignored
  auto source = std::make_shared<FakeVolumeSource>();
  source->volumes = ReadVirtualDrives();
  ASSERT_EQ(source->volumes.size(), 3u);
  SetVolumeSource(source);

  ComPtr<IDriveEnumerator> drives;
  ASSERT_EQ(core_->QueryInterface(IID_IDriveEnumerator, reinterpret_cast<void**>(&drives)), S_OK);
  const int m = 'M' - 'A';
  int kind = 0;
  drives->GetDriveKind(m, &kind);
  EXPECT_EQ(kind, DRIVE_KIND_OPTICAL);
  drives->GetDriveKind('P' - 'A', &kind);
  EXPECT_EQ(kind, DRIVE_KIND_REMOVABLE);
  EXPECT_EQ(GetDriveTypeA("M:\\"), DRIVE_CDROM);
  EXPECT_EQ(GetDriveTypeA(dvd.c_str()), DRIVE_CDROM);
  char label[32] = {};
  EXPECT_TRUE(GetVolumeInformationA("M:", label, sizeof(label)));
  EXPECT_STREQ(label, "MOVIE");

  int disc = 0;
  drives->GetDiscKind(m, &disc);
  EXPECT_EQ(disc, DISC_VIDEO_DVD);
  drives->GetDiscKind('I' - 'A', &disc);
  EXPECT_EQ(disc, DISC_DATA);
  std::uint64_t id = 0;
  ASSERT_EQ(drives->GetDiscId(m, &id), S_OK);
  EXPECT_EQ(id, DvdDiscId(dvd + "/VIDEO_TS"));
  EXPECT_NE(id, 0u);
  EXPECT_EQ(drives->GetDiscId('P' - 'A', &id), E_FAIL);  // no DVD there

  // The tray: 1 is open; an open tray holds no disc.
  int door = -1;
  EXPECT_EQ(drives->GetDoorState(m, &door), S_OK);
  EXPECT_EQ(door, kDoorClosed);
  EXPECT_EQ(drives->MoveDoor(m, kDoorMoveOpen), S_OK);
  drives->GetDoorState(m, &door);
  EXPECT_EQ(door, kDoorOpen);
  drives->GetDiscKind(m, &disc);
  EXPECT_EQ(disc, DISC_NONE);
  EXPECT_EQ(drives->MoveDoor(m, kDoorMoveClose), S_OK);
  EXPECT_EQ(drives->MoveDoor(m, 7), E_FAIL);
  EXPECT_EQ(drives->GetDoorState('P' - 'A', &door), E_FAIL);  // no tray
}

TEST(DvdDiscId, DependsOnTheIfoFilesOnly) {
  settings_test::TempEnvironment env;
  const std::string a = env.path("a/VIDEO_TS");
  const std::string b = env.path("b/VIDEO_TS");
  for (const auto& dir : {a, b}) {
    fs::create_directories(dir);
    std::ofstream(dir + "/VIDEO_TS.IFO") << "menu";
    std::ofstream(dir + "/VTS_01_0.IFO") << "title";
  }
  std::ofstream(b + "/VTS_01_1.VOB") << "video that does not count";
  EXPECT_EQ(DvdDiscId(a), DvdDiscId(b));
  std::ofstream(b + "/VTS_01_0.IFO") << "other title";
  EXPECT_NE(DvdDiscId(a), DvdDiscId(b));
  EXPECT_EQ(DvdDiscId(env.path("none")), 0u);
}

TEST(MountTable, ParsesEscapedMountPoints) {
  const auto entries = ParseMounts("/dev/sdb1 /media/u/My\\040Stick vfat rw 0 0\nproc /proc proc rw 0 0\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].mountPoint, "/media/u/My Stick");
  EXPECT_EQ(entries[0].fsType, "vfat");
}

TEST(MountTable, SystemSourceLettersTheRootAndOpticalDrives) {
  settings_test::TempEnvironment env;
  fs::create_directories(env.path("sys/block/sr0"));
  fs::create_directories(env.path("sys/block/sdb"));
  std::ofstream(env.path("sys/block/sdb/removable")) << "1\n";
  std::ofstream(env.path("mounts")) << "/dev/sda1 / ext4 rw 0 0\n"
                                       "/dev/sdb1 /media/u/STICK vfat rw 0 0\n"
                                       "tmpfs /run tmpfs rw 0 0\n"
                                       "/dev/loop0 /snap/x squashfs ro 0 0\n";
  SystemVolumeSource source(env.path("mounts"), env.path("sys/block"));
  const auto volumes = source.Scan();
  ASSERT_EQ(volumes.size(), 3u);
  EXPECT_EQ(volumes[0].letter, 'C');
  EXPECT_EQ(volumes[0].root, "/");
  EXPECT_EQ(volumes[1].letter, 'D');
  EXPECT_EQ(volumes[1].type, DRIVE_CDROM);
  EXPECT_EQ(volumes[1].root, "");  // no disc mounted
  EXPECT_EQ(volumes[2].letter, 'E');
  EXPECT_EQ(volumes[2].type, DRIVE_REMOVABLE);
  EXPECT_EQ(volumes[2].label, "STICK");
}

TEST(MountTable, NetworkFileSystemsMountedForUsersAreNetworkDrives) {
  settings_test::TempEnvironment env;
  fs::create_directories(env.path("sys/block"));
  std::ofstream(env.path("mounts")) << "/dev/sda1 / ext4 rw 0 0\n"
                                       "server:/export/films /mnt/films nfs4 rw 0 0\n"
                                       "//nas/videos /media/u/videos cifs rw 0 0\n"
                                       "server:/srv /srv nfs rw 0 0\n"
                                       "sshfs#me@box: /mnt/box fuse.sshfs rw 0 0\n";
  SystemVolumeSource source(env.path("mounts"), env.path("sys/block"));
  const auto volumes = source.Scan();
  ASSERT_EQ(volumes.size(), 4u);
  const struct {
    char letter;
    const char* root;
    const char* label;
  } network[] = {{'D', "/mnt/films", "films"}, {'E', "/media/u/videos", "videos"}, {'F', "/mnt/box", "box"}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(volumes[i + 1].letter, network[i].letter);
    EXPECT_EQ(volumes[i + 1].type, DRIVE_REMOTE);
    EXPECT_EQ(volumes[i + 1].root, network[i].root);
    EXPECT_EQ(volumes[i + 1].label, network[i].label);
  }
}

}  // namespace
