// The picture component as clients reach it: created by class id from the
// registration the build made, its three interfaces on one object, and
// handed out by the core object for both of its interface ids.
#include <gtest/gtest.h>

#include <algorithm>

#include "interfaces/engines.h"
#include "interfaces/imagefx.h"
#include "outside/coreobject/core_object.h"
#include "platform/com/com.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_environment.h"

namespace {

using namespace plat;

class ImageFxServerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override {
    CoFreeUnusedLibraries();
    CoUninitialize();
  }
  void UseBuildRegistry() { setenv("MARIVEL_REGISTRY_DIR", MARIVEL_TEST_BIN_DIR "/registry", 1); }
};

TEST_F(ImageFxServerTest, OneObjectAnswersItsThreeInterfaces) {
  UseBuildRegistry();
  ComPtr<IImageFx> fx;
  ASSERT_EQ(CoCreateInstance(CLSID_ImageFx, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&fx)), S_OK)
      << CoLastErrorDetail();
  ComPtr<IImageFxProps> props;
  ComPtr<IImageFxBase> base;
  ComPtr<IUnknown> unknown_a, unknown_b;
  ASSERT_EQ(fx->QueryInterface(IID_IImageFxProps, reinterpret_cast<void**>(&props)), S_OK);
  ASSERT_EQ(props->QueryInterface(IID_IImageFxBase, reinterpret_cast<void**>(&base)), S_OK);
  ASSERT_EQ(fx->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown_a)), S_OK);
  ASSERT_EQ(props->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown_b)), S_OK);
  EXPECT_EQ(unknown_a.Get(), unknown_b.Get());
  ComPtr<IImageFx> again;
  ASSERT_EQ(base->QueryInterface(IID_IImageFx, reinterpret_cast<void**>(&again)), S_OK);
  EXPECT_EQ(again.Get(), fx.Get());
  ComPtr<IUnknown> none;
  EXPECT_EQ(fx->QueryInterface(MakeGuid("{00000000-1111-2222-3333-444444444444}"), reinterpret_cast<void**>(&none)),
            E_NOINTERFACE);
  // Each interface keeps its own readiness.
  EXPECT_EQ(props->ResetAdjustments(), S_OK);
  EXPECT_EQ(fx->SetRotation(90), E_FAIL);
  EXPECT_EQ(fx->Initialize(), S_OK);
  EXPECT_EQ(fx->SetRotation(90), S_OK);
  EXPECT_EQ(props->Uninitialize(), S_OK);
  EXPECT_EQ(fx->SetRotation(180), S_OK);
  EXPECT_EQ(props->SetHue(10), E_FAIL);
}

TEST_F(ImageFxServerTest, CoreObjectHandsOutBothInterfacesFromOneObject) {
  const auto& table = EngineClasses();
  for (const IID& iid : {IID_IImageFx, IID_IImageFxProps}) {
    EXPECT_TRUE(std::any_of(table.begin(), table.end(),
                            [&](const EngineClass& e) { return e.iid == iid && e.clsid == CLSID_ImageFx; }));
  }
  test_support::TempEnvironment env("imagefx");
  HKEY key = nullptr;
  const std::string path = "CLSID\\" + GuidToString(CLSID_ImageFx) + "\\InprocServer32";
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::string server = IMAGEFX_SERVER;
  ASSERT_EQ(RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                           static_cast<DWORD>(server.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
  auto core = MakeComObject<CCoreObject>();
  ASSERT_TRUE(core);
  ComPtr<IImageFx> fx;
  ComPtr<IImageFxProps> props;
  ASSERT_EQ(core->QueryInterface(IID_IImageFx, reinterpret_cast<void**>(&fx)), S_OK);
  ASSERT_EQ(core->QueryInterface(IID_IImageFxProps, reinterpret_cast<void**>(&props)), S_OK);
  ComPtr<IUnknown> a, b;
  fx->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
  props->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
  EXPECT_EQ(a.Get(), b.Get());
  fx.Reset();
  props.Reset();
  core.Reset();
}

}  // namespace
