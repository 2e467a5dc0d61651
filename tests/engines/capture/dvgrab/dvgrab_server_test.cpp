// The camcorder engine's server as the core object reaches it: registered
// by the build under its class id, created through CoCreateInstance.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "interfaces/dvgrab.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"
#include "platform/registry/registry.h"

namespace {

using namespace plat;

class DvGrabServerTest : public ::testing::Test {
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

TEST_F(DvGrabServerTest, RegisteredAndCreatedByClassId) {
  const char* key = "CLSID\\{C8FFE2F8-EE2F-495B-A432-3C9861F12898}";
  EXPECT_EQ(ReadText(key, nullptr), "Kestrovia DV grabber");
  EXPECT_EQ(ReadText((std::string(key) + "\\InprocServer32").c_str(), "ThreadingModel"), "Both");

  ComPtr<IDvGrab> engine;
  ASSERT_EQ(CoCreateInstance(CLSID_DvGrab, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&engine)), S_OK)
      << CoLastErrorDetail();
  int h = 0, m = 0, s = 0;
  EXPECT_EQ(engine->GetCaptureTime(&h, &m, &s), E_FAIL);
  EXPECT_EQ(engine->Close(), S_OK);
}

}  // namespace
