// A server library's window classes and windows go with the library: after
// an unload and a reload, its class name names the new load's procedure.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/com/com.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/platform/com/tool_runner.h"
#include "tests/platform/com/window_server_interfaces.h"

namespace {

namespace fs = std::filesystem;
using plat::ComPtr;
using plat::HWND;

const std::string kRegsvr = COM_TEST_REGSVR;
const std::string kServer = COM_TEST_WINDOW_SERVER;

bool ServerIsLoaded() {
  void* handle = dlopen(kServer.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

bool ServerClassRegistered() {
  plat::WNDCLASS wc{};
  return plat::GetClassInfo(nullptr, kTestServerWindowClass, &wc) != 0;
}

ComPtr<ITestWindowMaker> MakeMaker() {
  ComPtr<ITestWindowMaker> maker;
  EXPECT_EQ(plat::CoCreateInstance(CLSID_TestWindowMaker, nullptr, plat::CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&maker)),
            plat::S_OK)
      << plat::CoLastErrorDetail();
  return maker;
}

plat::LRESULT HostProc(HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND MakeHostWindow() {
  plat::WNDCLASS wc{};
  wc.lpfnWndProc = &HostProc;
  wc.lpszClassName = "Test Host Window";
  plat::RegisterClass(&wc);
  return plat::CreateWindowEx(0, "Test Host Window", "", plat::WS_POPUP, 0, 0, 4, 4, nullptr, nullptr, nullptr,
                              nullptr);
}

class ServerWindows : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/marivel-com-window-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    hiveDir_ = pattern;
    setenv("MARIVEL_REGISTRY_DIR", hiveDir_.c_str(), 1);
    const ToolResult registered = RunTool(kRegsvr, {kServer});
    ASSERT_EQ(registered.exitCode, 0) << registered.output;
  }
  static void TearDownTestSuite() {
    std::error_code error;
    fs::remove_all(hiveDir_, error);
    unsetenv("MARIVEL_REGISTRY_DIR");
  }
  void SetUp() override { ASSERT_EQ(plat::CoInitializeEx(nullptr, plat::COINIT_APARTMENTTHREADED), plat::S_OK); }
  void TearDown() override {
    plat::CoFreeUnusedLibraries();
    plat::CoUninitialize();
  }

  static inline std::string hiveDir_;
};

TEST_F(ServerWindows, UnloadTakesTheLibrarysWindowsAndClassesAndAReloadUsesItsOwnCode) {
  HWND left = nullptr;
  const HWND host = MakeHostWindow();
  const HWND subclassed = MakeHostWindow();
  ASSERT_TRUE(host && subclassed);
  {
    ComPtr<ITestWindowMaker> maker = MakeMaker();
    ASSERT_TRUE(maker);
    ASSERT_EQ(maker->MakeWindow(&left), plat::S_OK);
    EXPECT_EQ(plat::SendMessage(left, kTestMsgCreatedCount, 0, 0), 1);
    ASSERT_EQ(maker->Subclass(subclassed), plat::S_OK);
  }
  plat::CoFreeUnusedLibraries();
  ASSERT_FALSE(ServerIsLoaded());
  // What held the library's procedures went before it; the host's own window stayed.
  EXPECT_FALSE(plat::IsWindow(left));
  EXPECT_FALSE(plat::IsWindow(subclassed));
  EXPECT_FALSE(ServerClassRegistered());
  EXPECT_TRUE(plat::IsWindow(host));

  // Loaded again, the server registers its class anew: the window runs the
  // new load's procedure (the first window of this load).
  ComPtr<ITestWindowMaker> maker = MakeMaker();
  ASSERT_TRUE(maker);
  ASSERT_TRUE(ServerIsLoaded());
  HWND fresh = nullptr;
  ASSERT_EQ(maker->MakeWindow(&fresh), plat::S_OK);
  EXPECT_EQ(plat::SendMessage(fresh, kTestMsgCreatedCount, 0, 0), 1);
  plat::WNDCLASS wc{};
  ASSERT_TRUE(plat::GetClassInfo(nullptr, kTestServerWindowClass, &wc));
  Dl_info info{};
  ASSERT_TRUE(dladdr(reinterpret_cast<const void*>(wc.lpfnWndProc), &info));
  EXPECT_EQ(fs::canonical(info.dli_fname), fs::canonical(kServer));

  plat::DestroyWindow(fresh);
  plat::DestroyWindow(host);
  maker.Reset();
  plat::CoFreeUnusedLibraries();
  EXPECT_FALSE(ServerIsLoaded());
}

TEST_F(ServerWindows, AnotherThreadsWindowKeepsTheLibraryLoaded) {
  std::mutex mutex;
  std::condition_variable changed;
  bool made = false;
  bool finish = false;
  std::thread owner([&] {
    plat::CoInitializeEx(nullptr, plat::COINIT_MULTITHREADED);
    HWND hwnd = nullptr;
    {
      ComPtr<ITestWindowMaker> maker = MakeMaker();
      if (maker) maker->MakeWindow(&hwnd);
    }
    std::unique_lock lock(mutex);
    made = true;
    changed.notify_all();
    changed.wait(lock, [&] { return finish; });
    plat::DestroyWindow(hwnd);
    plat::CoUninitialize();
  });
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return made; });
  }
  // No object lives, but a window of the owner thread runs the library's code.
  plat::CoFreeUnusedLibraries();
  EXPECT_TRUE(ServerIsLoaded());
  EXPECT_TRUE(ServerClassRegistered());
  {
    std::lock_guard lock(mutex);
    finish = true;
    changed.notify_all();
  }
  owner.join();
  plat::CoFreeUnusedLibraries();
  EXPECT_FALSE(ServerIsLoaded());
  EXPECT_FALSE(ServerClassRegistered());
}

}  // namespace
