// The core object hands out the authoring engine from its component server:
// one instance, whoever asks.
#include <gtest/gtest.h>

#include "interfaces/authoring.h"
#include "outside/coreobject/core_object.h"
#include "platform/com/com.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_environment.h"

namespace {

using namespace plat;

TEST(CoreObjectAuthoring, TheEngineIsOneInstanceFromItsServer) {
  test_support::TempEnvironment env("authcore");
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    HKEY key = nullptr;
    const std::string path = "CLSID\\" + GuidToString(CLSID_AuthoringEngine) + "\\InprocServer32";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::string server = AUTHORING_SERVER;
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()), static_cast<DWORD>(server.size() + 1));
    RegCloseKey(key);

    auto core = MakeComObject<CCoreObject>();
    ASSERT_TRUE(core);
    ComPtr<IAuthoringEngine> first;
    ComPtr<IAuthoringEngine> second;
    ASSERT_EQ(core->QueryInterface(IID_IAuthoringEngine, reinterpret_cast<void**>(&first)), S_OK);
    ASSERT_EQ(core->QueryInterface(IID_IAuthoringEngine, reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(first->Initialize(), S_OK);
    // A slot no caller uses answers as such.
    EXPECT_EQ(first->Unused4(), E_NOTIMPL);
    // Created directly, the class is the same engine type.
    ComPtr<IAuthoringEngine> direct;
    ASSERT_EQ(CoCreateInstance(CLSID_AuthoringEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IAuthoringEngine,
                               reinterpret_cast<void**>(&direct)),
              S_OK);
    EXPECT_NE(direct.Get(), first.Get());
  }
  CoUninitialize();
}

}  // namespace
