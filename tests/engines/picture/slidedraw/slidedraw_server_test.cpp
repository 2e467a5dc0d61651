// The renderer as clients reach it: created by class id from the build's
// registration, and handed out by the core object.
#include <gtest/gtest.h>

#include <algorithm>

#include "interfaces/engines.h"
#include "interfaces/slidedraw.h"
#include "outside/coreobject/core_object.h"
#include "platform/com/com.h"

namespace {

using namespace plat;

TEST(SlideDrawServer, CreatedByClassIdAndListedByTheCoreObject) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  setenv("MARIVEL_REGISTRY_DIR", MARIVEL_TEST_BIN_DIR "/registry", 1);
  {
    ComPtr<ISlideDraw> show;
    ASSERT_EQ(CoCreateInstance(CLSID_SlideDraw, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&show)), S_OK)
        << CoLastErrorDetail();
    std::int32_t built = -1;
    EXPECT_EQ(show->IsGraphBuilt(&built), S_OK);
    EXPECT_EQ(built, 0);
    EXPECT_EQ(show->Run(), E_FAIL);
  }
  const auto& table = EngineClasses();
  EXPECT_TRUE(std::any_of(table.begin(), table.end(), [](const EngineClass& e) {
    return e.iid == IID_ISlideDraw && e.clsid == CLSID_SlideDraw;
  }));
  CoFreeUnusedLibraries();
  CoUninitialize();
}

}  // namespace
