// Acquisition through the controller on the real component and its virtual
// devices: a folder camera's pictures reach the page as temporary files,
// the test scanner writes into the acquired-image folder, a device that goes
// away ends the acquisition, and ending one in the middle returns.
#include "outside/imageacquire/image_devices.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/photo/photo_test_support.h"

namespace photo_test {
namespace {

void SetString(const std::string& path, const char* name, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

const std::string kDevices = std::string(imageacquire::kVirtualImageDevicesKey) + "\\";

class PhotoAcquireTest : public PhotoTest {
 protected:
  void SetUp() override {
    ::setenv("XDG_CACHE_HOME", env_.path("cache").c_str(), 1);
    const std::string camera = env_.path("camera") + "/DCIM/100TEST";
    fs::create_directories(camera);
    for (int i = 0; i < 5; ++i) WriteJpeg(camera + "/IMG_000" + std::to_string(i) + ".JPG", 0xFF00FF00u);
    SetString(kDevices + "Test Camera", "Kind", "camera");
    SetString(kDevices + "Test Camera", "Path", env_.path("camera"));
    SetString(kDevices + "Test Scanner", "Kind", "scanner");
    SetString(kDevices + "Test Scanner", "Device", "test:0");
    PhotoTest::SetUp();
    acquired_ = env_.path("acquired");
    fs::create_directories(acquired_);
    Enter();
    Photo().m_strAcquiredImageFolder = acquired_;
  }
  void TearDown() override {
    system_->EndPhotoAcquire();
    PhotoTest::TearDown();
    ::unsetenv("XDG_CACHE_HOME");
  }
  int DeviceIndex(const std::string& name) {
    for (std::size_t i = 0; i < Photo().m_vecDevices.size(); ++i) {
      if (Photo().m_vecDevices[i].strName == name) return static_cast<int>(i);
    }
    return -1;
  }
  bool Acquiring() { return Photo().m_bAcquiring != 0; }

  std::string acquired_;
};

TEST_F(PhotoAcquireTest, ACamerasPicturesArriveAsTemporaryFilesGoneOnTheNextView) {
  const int camera = DeviceIndex("Test Camera");
  ASSERT_GE(camera, 0) << "listed when the engines start";
  EXPECT_EQ(Photo().m_vecDevices[static_cast<std::size_t>(camera)].nType, kAcquireFolderCamera);
  ASSERT_EQ(Act("Photo ImageAcquisition Browser", camera), S_OK);
  EXPECT_EQ(Photo().m_nPhotoState, 5);
  EXPECT_TRUE(page_.Saw("ShowAcquireProgress -1"));
  ASSERT_TRUE(PumpUntil([&] { return !Acquiring(); }));
  ASSERT_EQ(page_.added.size(), 5u);
  for (const auto& [path, source] : page_.added) {
    EXPECT_EQ(source, 3);
    EXPECT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(path.rfind(env_.path("cache"), 0), 0u) << path;
  }
  EXPECT_TRUE(page_.Saw("ShowAcquireProgress 100"));
  EXPECT_EQ(Photo().m_hAcquireThread, nullptr);
  EXPECT_TRUE(fs::is_empty(acquired_)) << "camera pictures are not kept";
  // Leaving the view deletes them.
  ASSERT_EQ(Act("Photo Return"), S_OK);
  for (const auto& [path, source] : page_.added) EXPECT_FALSE(fs::exists(path)) << path;
}

TEST_F(PhotoAcquireTest, TheTestScannerWritesIntoTheAcquiredImageFolder) {
  const int scanner = DeviceIndex("Test Scanner");
  ASSERT_GE(scanner, 0);
  ASSERT_EQ(Act("Photo ImageAcquisition Browser", scanner), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return !Acquiring(); }, 60s));
  ASSERT_EQ(page_.added.size(), 1u);
  EXPECT_EQ(fs::path(page_.added[0].first).parent_path(), fs::path(acquired_));
  ASSERT_EQ(Act("Photo Return"), S_OK);
  EXPECT_TRUE(fs::exists(page_.added[0].first)) << "a scan is kept";
}

TEST_F(PhotoAcquireTest, ADeviceThatGoesAwayEndsItsAcquisition) {
  const int scanner = DeviceIndex("Test Scanner");
  ASSERT_GE(scanner, 0);
  ASSERT_EQ(Act("Photo ImageAcquisition Browser", scanner), S_OK);
  ASSERT_TRUE(Acquiring());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kDevices + "Test Scanner").c_str());
  system_->PhotoNotifySink()->OnMediaNotice(0);
  ASSERT_TRUE(PumpUntil([&] { return Photo().m_nPhotoState == 20; }));
  EXPECT_FALSE(Acquiring());
  EXPECT_EQ(Photo().m_hAcquireThread, nullptr);
  EXPECT_EQ(DeviceIndex("Test Scanner"), -1);
  EXPECT_TRUE(page_.Saw("ShowPage Photo\\PhotoDriveSelector"));
}

TEST_F(PhotoAcquireTest, EndingAnAcquisitionInTheMiddleStopsTheWorker) {
  const int scanner = DeviceIndex("Test Scanner");
  ASSERT_GE(scanner, 0);
  ASSERT_EQ(Act("Photo ImageAcquisition Browser", scanner), S_OK);
  ASSERT_TRUE(Acquiring());
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(system_->EndPhotoAcquire(), 1);
  // Well inside the end wait's guard: the worker stopped at a scan line.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
  EXPECT_FALSE(Acquiring());
  EXPECT_EQ(Photo().m_hAcquireThread, nullptr);
  // A device index that is not there is refused.
  EXPECT_EQ(Act("Photo ImageAcquisition Browser", 99), E_FAIL);
}

}  // namespace
}  // namespace photo_test
