// The drive's region: the refused-mask reading, a virtual drive's registry
// values (spending one change per new region, none left refuses), a real
// drive through a scripted region device, and the engine's queries that
// reach them by a drive's letter root.
#include "engines/playback/discrunner/drive_region.h"

#include <gtest/gtest.h>

#include "engines/playback/discrunner/disc_runner.h"
#include "platform/com/hresult.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_environment.h"

namespace {

using namespace plat;
using discrunner::DriveRegion;

constexpr const char* kDriveKey = "SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\D";

void SetDword(const char* name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDriveKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

DWORD GetDword(const char* name) {
  HKEY key = nullptr;
  DWORD value = 0xFFFF, size = sizeof value, type = 0;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriveKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return value;
}

class ScriptedDevice final : public discrunner::RegionDevice {
 public:
  std::optional<DriveRegion> Read(const std::string& device) override {
    reads.push_back(device);
    return state;
  }
  bool Write(const std::string& device, int region) override {
    writes.push_back(device + " " + std::to_string(region));
    return accept;
  }
  std::optional<DriveRegion> state;
  bool accept = true;
  std::vector<std::string> reads, writes;
};

class DriveRegionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDword("Dummy", 0);  // the drive's key exists
    volumes_->volumes = {{'D', DRIVE_CDROM, "/media/dvd", "DVD", "", "", true},
                         {'E', DRIVE_CDROM, "/media/sr1", "", "/dev/sr1", "", false}};
    SetVolumeSource(volumes_);
    discrunner::SetRegionDevice(device_);
  }
  void TearDown() override {
    SetVolumeSource(nullptr);
    discrunner::SetRegionDevice(nullptr);
  }
  test_support::TempEnvironment env_{"region"};
  std::shared_ptr<FakeVolumeSource> volumes_ = std::make_shared<FakeVolumeSource>();
  std::shared_ptr<ScriptedDevice> device_ = std::make_shared<ScriptedDevice>();
};

TEST(DriveRegionMask, OneClearBitNamesTheRegion) {
  const struct {
    unsigned mask;
    int region;
  } cases[] = {{0xFE, 1}, {0xFD, 2}, {0x7F, 8}, {0xFF, 0}, {0xFC, 0}, {0x00, 0}, {0x1FD, 2}};
  for (const auto& c : cases) EXPECT_EQ(discrunner::RegionFromRefusedMask(c.mask), c.region) << std::hex << c.mask;
}

TEST_F(DriveRegionTest, VirtualDriveSpendsOneChangePerNewRegion) {
  const auto d = *FindVolume("D:\\");
  auto state = discrunner::ReadDriveRegion(d);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->region, 0);  // none set yet
  EXPECT_EQ(state->changesLeft, 5);

  ASSERT_TRUE(discrunner::WriteDriveRegion(d, 2));
  EXPECT_EQ(GetDword("Region"), 2u);
  EXPECT_EQ(GetDword("RegionChanges"), 4u);
  // The region it already has costs nothing.
  ASSERT_TRUE(discrunner::WriteDriveRegion(d, 2));
  EXPECT_EQ(GetDword("RegionChanges"), 4u);

  SetDword("RegionChanges", 0);
  EXPECT_FALSE(discrunner::WriteDriveRegion(d, 1));
  EXPECT_EQ(GetDword("Region"), 2u);
  EXPECT_FALSE(discrunner::WriteDriveRegion(d, 9));
  EXPECT_TRUE(device_->writes.empty());
}

TEST_F(DriveRegionTest, RealDriveGoesThroughItsDevice) {
  const auto e = *FindVolume("E:\\");
  EXPECT_FALSE(discrunner::ReadDriveRegion(e));  // the device does not answer
  device_->state = DriveRegion{1, 3};
  ASSERT_TRUE(discrunner::ReadDriveRegion(e));
  EXPECT_EQ(discrunner::ReadDriveRegion(e)->changesLeft, 3);
  EXPECT_TRUE(discrunner::WriteDriveRegion(e, 2));
  EXPECT_EQ(device_->writes, (std::vector<std::string>{"/dev/sr1 2"}));
  device_->state = DriveRegion{1, 0};
  EXPECT_FALSE(discrunner::WriteDriveRegion(e, 2));
  EXPECT_EQ(device_->writes.size(), 1u);
}

TEST_F(DriveRegionTest, EngineQueriesTakeLetterRoots) {
  auto engine = MakeComObject<CDiscRunner>();
  ComPtr<IDiscRunnerQueries> queries;
  ASSERT_EQ(engine->QueryInterface(IID_IDiscRunnerQueries, reinterpret_cast<void**>(&queries)), S_OK);
  SetDword("Region", 1);
  int region = -1, changes = -1;
  ASSERT_EQ(queries->GetDriveRegion("D:\\", &region, &changes), S_OK);
  EXPECT_EQ(region, 1);
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(queries->SetDriveRegion("D:\\", 2), S_OK);
  EXPECT_EQ(GetDword("Region"), 2u);
  EXPECT_EQ(queries->GetDriveRegion("Q:\\", &region, &changes), E_INVALIDARG);
  EXPECT_EQ(queries->SetDriveRegion("Q:\\", 2), E_INVALIDARG);

  std::uint32_t bits = 9;
  EXPECT_EQ(queries->GetAudioProfileCaps(8, &bits), S_OK);
  EXPECT_EQ(bits, 2u);  // stereo downmix
  EXPECT_EQ(queries->GetAudioProfileCaps(0x20, &bits), S_OK);
  EXPECT_EQ(bits, 0u);
  EXPECT_EQ(queries->GetAudioProfileCaps(7, &bits), E_INVALIDARG);
  EXPECT_EQ(queries->GetResumeApplied(), S_FALSE);
}

}  // namespace
