// The TV engine's server as the core object reaches it: registered by the
// build under its class id, created through CoCreateInstance.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "interfaces/grabber.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"
#include "platform/registry/registry.h"

namespace {

using namespace plat;

class GrabberServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("MARIVEL_REGISTRY_DIR", MARIVEL_TEST_BIN_DIR "/registry", 1); }
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override {
    CoFreeUnusedLibraries();
    CoUninitialize();
  }
};

std::string ReadText(const char* key, const char* value) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
  char text[256] = {};
  DWORD size = sizeof text;
  DWORD type = 0;
  const LONG err = RegQueryValueExA(k, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(k);
  return err == ERROR_SUCCESS ? std::string(text) : "<no value>";
}

TEST_F(GrabberServerTest, RegisteredAndCreatedByClassId) {
  const char* key = "CLSID\\{42421735-1458-4464-80AC-B14D0D7719F0}";
  EXPECT_EQ(ReadText(key, nullptr), "Kestrovia grabber");
  EXPECT_EQ(ReadText((std::string(key) + "\\InprocServer32").c_str(), "ThreadingModel"), "Both");

  ComPtr<IGrabber> grabber;
  ASSERT_EQ(CoCreateInstance(CLSID_Grabber, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&grabber)), S_OK)
      << CoLastErrorDetail();
  char name[kGrabberTextChars] = {};
  ASSERT_EQ(grabber->GetCountryName(129, name), S_OK);
  EXPECT_STREQ(name, "Germany");
  EXPECT_EQ(grabber->GetCountry(), -1);
  EXPECT_EQ(grabber->GetCaptureOption(), 2048);
  EXPECT_EQ(grabber->GetTimeShiftLength(), 5);
  EXPECT_EQ(grabber->GetTvAudioMode(), -1);
  EXPECT_EQ(grabber->GetPictureLevel3(), 50);
  EXPECT_EQ(grabber->Preview(1), E_FAIL);  // not initialised
}

}  // namespace
