// The mixhost server as a client reaches it: registered by the build,
// created by class id through CoCreateInstance, here over the in-memory
// mixer that MARIVEL_MIXER=memory selects.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "interfaces/mixhost.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"

namespace {

using namespace plat;

class MixHostServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("MARIVEL_MIXER", "memory", 1);
    setenv("MARIVEL_REGISTRY_DIR", MARIVEL_TEST_BIN_DIR "/registry", 1);
  }
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override {
    CoFreeUnusedLibraries();
    CoUninitialize();
  }
};

TEST_F(MixHostServerTest, CreatedByClassIdItServesTheMixer) {
  ComPtr<IMixHost> mix;
  ASSERT_EQ(CoCreateInstance(CLSID_MixHost, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mix)), S_OK)
      << CoLastErrorDetail();
  char name[kMixHostNameChars] = {};
  char* buffer = name;
  ASSERT_EQ(mix->GetDeviceName(0, &buffer), S_OK);
  EXPECT_STREQ(name, "Memory Mixer");
  ASSERT_EQ(mix->SelectDeviceByName("Memory Mixer"), S_OK);
  ASSERT_EQ(mix->SetSpeakersVolume(0, 0.75f), S_OK);
  int mute = 1;
  float volume = 0;
  DWORD type = 0;
  ASSERT_EQ(mix->GetSpeakersLineState(0, &mute, &volume, &type), S_OK);
  EXPECT_NEAR(volume, 0.75f, 1e-4);
  EXPECT_EQ(mute, 0);
  EXPECT_EQ(type, 4u);
}

// An outer object that aggregates the mixer and answers IMixHost through it.
class Outer final : public IUnknown {
 public:
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown) {
      *out = this;
      AddRef();
      return S_OK;
    }
    return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  ComPtr<IUnknown> inner;
  ULONG refs = 1;
};

TEST_F(MixHostServerTest, CanBeAggregated) {
  Outer outer;
  ASSERT_EQ(CoCreateInstance(CLSID_MixHost, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(outer.inner.ReleaseAndGetAddressOf())),
            S_OK);
  IMixHost* mix = nullptr;
  ASSERT_EQ(outer.QueryInterface(IID_IMixHost, reinterpret_cast<void**>(&mix)), S_OK);
  // References taken through the inner object count on the outer one.
  EXPECT_EQ(outer.refs, 2u);
  char* none = nullptr;
  EXPECT_EQ(mix->GetDeviceName(0, &none), S_OK);
  mix->Release();
  EXPECT_EQ(outer.refs, 1u);
  outer.inner.Reset();
}

}  // namespace
