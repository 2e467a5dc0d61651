// Image acquisition on its virtual devices: a folder served as a camera by
// libgphoto2's folder driver, and SANE's test scanner.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "engines/picture/picture_core/picture_file.h"
#include "outside/imageacquire/image_acquire.h"
#include "platform/registry/registry.h"
#include "platform/sys/event.h"
#include "platform/sys/handles.h"
#include "tests/support/temp_environment.h"

namespace {

using namespace plat;
namespace fs = std::filesystem;

void SetString(const std::string& path, const char* name, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

class RecordingSink : public IImageAcquireEventSink {
 public:
  int GetCurrentDevice(AcquireDeviceRecord*) override { return 0; }
  int GetItems(AcquireItemList* list) override {
    if (items.empty()) return 0;
    list->insert(list->end(), items.begin(), items.end());
    return 1;
  }
  int Reserved2() override { return 0; }
  int OnImage(const char* path, std::int32_t keep) override {
    std::lock_guard lock(mutex);
    images.emplace_back(path, keep);
    return 0;
  }
  int Reserved4() override { return 0; }
  int OnFinished() override { return ++finished; }
  int Reserved6() override { return 0; }
  int Reserved7() override { return 0; }
  int OnProgress(std::int32_t percent) override { return lastPercent = percent; }
  int ShouldStop() override {
    std::lock_guard lock(mutex);
    return stopAfter >= 0 && static_cast<int>(images.size()) >= stopAfter;
  }

  AcquireItemList items;
  std::mutex mutex;
  std::vector<std::pair<std::string, int>> images;
  std::atomic<int> finished{0};
  std::atomic<int> lastPercent{-1};
  int stopAfter = -1;
};

class ImageAcquireTest : public ::testing::Test {
 protected:
  void SetUp() override {
    camera_ = env_.path("camera");
    fs::create_directories(camera_ + "/DCIM/100TEST");
    for (int i = 0; i < 5; ++i) {
      const plat::Surface pixels(64, 48, 0xFF000000u | static_cast<std::uint32_t>(i * 40) << 16);
      picture::SaveOptions options;
      const auto bytes = picture::EncodePicture(pixels, options);
      std::ofstream(camera_ + "/DCIM/100TEST/IMG_000" + std::to_string(i) + ".JPG", std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::ofstream(camera_ + "/DCIM/100TEST/notes.txt") << "not a picture";
    const std::string key = std::string(imageacquire::kVirtualImageDevicesKey) + "\\";
    SetString(key + "Test Camera", "Kind", "camera");
    SetString(key + "Test Camera", "Path", camera_);
    SetString(key + "Test Scanner", "Kind", "scanner");
    SetString(key + "Test Scanner", "Device", "test:0");
    SetString(key + "Broken", "Kind", "camera");  // no folder: not offered
    ::setenv("XDG_CACHE_HOME", env_.path("cache").c_str(), 1);
  }

  // Starts, waits for the worker's end and closes its handle.
  static void RunToEnd(CImageAcquire& acquire) {
    HANDLE done = nullptr;
    ASSERT_EQ(acquire.StartAcquire(&done), S_OK);
    ASSERT_TRUE(done);
    EXPECT_EQ(WaitForSingleObject(done, 30000), WAIT_OBJECT_0);
    CloseHandle(done);
  }

  test_support::TempEnvironment env_{"acquire"};
  std::string camera_;
};

TEST_F(ImageAcquireTest, TheFolderCameraGivesItsPicturesAsTemporaryFiles) {
  auto acquire = MakeComObject<CImageAcquire>();
  ASSERT_EQ(acquire->Initialize(), S_OK);
  AcquireDeviceList cameras, scanners;
  ASSERT_EQ(acquire->GetCameras(&cameras), S_OK);
  ASSERT_EQ(acquire->GetScanners(&scanners), S_OK);
  ASSERT_EQ(cameras.size(), 1u);
  EXPECT_STREQ(cameras[0].name, "Test Camera");
  EXPECT_EQ(cameras[0].type, kAcquireFolderCamera);
  EXPECT_EQ(std::string(cameras[0].identifier), "disk:" + camera_);
  ASSERT_EQ(scanners.size(), 1u);
  EXPECT_STREQ(scanners[0].identifier, "test:0");

  EXPECT_EQ(acquire->SelectDevice("No Such Camera"), E_FAIL);
  ASSERT_EQ(acquire->SelectDevice("Test Camera"), S_OK);
  HANDLE none = nullptr;
  EXPECT_EQ(acquire->StartAcquire(&none), E_FAIL) << "no sink";
  ASSERT_EQ(acquire->Connect(), S_OK);
  AcquireItemList items;
  ASSERT_EQ(acquire->GetItems(&items), S_OK);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_STREQ(items[0].source, "/DCIM/100TEST/IMG_0000.JPG");

  RecordingSink sink;
  acquire->SetEventSink(&sink);
  RunToEnd(*acquire);
  EXPECT_EQ(sink.finished, 1);
  EXPECT_EQ(sink.lastPercent, 100);
  ASSERT_EQ(sink.images.size(), 5u);
  for (const auto& [path, keep] : sink.images) {
    EXPECT_EQ(keep, 1);
    EXPECT_EQ(path.rfind(env_.path("cache") + "/marivel/acquire/", 0), 0u) << path;
    EXPECT_TRUE(picture::LoadPictureFile(path).has_value()) << path;
  }
  // The camera's own files are untouched.
  EXPECT_TRUE(fs::exists(camera_ + "/DCIM/100TEST/IMG_0004.JPG"));
}

TEST_F(ImageAcquireTest, StoppingEndsBetweenTwoFiles) {
  auto acquire = MakeComObject<CImageAcquire>();
  acquire->RefreshDevices(0);
  ASSERT_EQ(acquire->SelectDevice("Test Camera"), S_OK);
  ASSERT_EQ(acquire->Connect(), S_OK);
  RecordingSink sink;
  sink.stopAfter = 2;
  acquire->SetEventSink(&sink);
  RunToEnd(*acquire);
  EXPECT_EQ(sink.images.size(), 2u);
  EXPECT_EQ(sink.finished, 1);
}

TEST_F(ImageAcquireTest, TheTestScannerWritesOnePictureIntoTheChosenFolder) {
  auto acquire = MakeComObject<CImageAcquire>();
  acquire->RefreshDevices(0);
  ASSERT_EQ(acquire->SelectDevice("Test Scanner"), S_OK);
  ASSERT_EQ(acquire->Connect(), S_OK);
  RecordingSink sink;
  AcquireItemList items;
  acquire->GetItems(&items);
  ASSERT_EQ(items.size(), 1u);
  const std::string folder = env_.path("acquired");
  std::snprintf(items[0].folder, sizeof(items[0].folder), "%s", folder.c_str());
  sink.items = items;
  acquire->SetEventSink(&sink);
  RunToEnd(*acquire);
  ASSERT_EQ(sink.images.size(), 1u);
  EXPECT_EQ(sink.images[0].second, 0) << "a scan is the user's to keep";
  EXPECT_EQ(fs::path(sink.images[0].first).parent_path(), fs::path(folder));
  const auto scan = picture::LoadPictureFile(sink.images[0].first);
  ASSERT_TRUE(scan.has_value());
  EXPECT_GT(scan->pixels.width(), 0);
  EXPECT_GT(scan->pixels.height(), 0);
}

}  // namespace
