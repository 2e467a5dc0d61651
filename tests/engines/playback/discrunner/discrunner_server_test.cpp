// The discrunner server as the core object reaches it: registered by the
// build and created by class id. Beside this test executable there is no
// "Movie" folder, so the engine comes up unbound and says so.
#include <gtest/gtest.h>

#include <cstdlib>

#include "interfaces/discrunner.h"
#include "interfaces/engines.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"

namespace {

using namespace plat;

TEST(DiscRunnerServer, CreatedByClassIdWithoutItsLibrary) {
  setenv("MARIVEL_REGISTRY_DIR", MARIVEL_TEST_BIN_DIR "/registry", 1);
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    ComPtr<IDiscRunner> dvd;
    ASSERT_EQ(CoCreateInstance(CLSID_DiscRunner, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dvd)), S_OK)
        << CoLastErrorDetail();
    int state = -1;
    EXPECT_EQ(dvd->GetPlayState(&state), S_OK);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(dvd->Open("/media/disc"), E_FAIL);
    EXPECT_EQ(dvd->SetVideoMode(0, 1), S_OK);
    EXPECT_EQ(dvd->DvdOp102(), E_NOTIMPL);
    EXPECT_EQ(dvd->NotImplemented68(0), E_NOTIMPL);
    EXPECT_EQ(dvd->Reserved54(), S_OK);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(dvd->QueryInterface(IID_PPV_ARGS(&unknown)), S_OK);
  }
  CoFreeUnusedLibraries();
  CoUninitialize();
}

}  // namespace
