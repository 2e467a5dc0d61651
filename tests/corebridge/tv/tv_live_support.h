// The TV controller on the real TV engine, recorder and virtual tuner
// (registered from the build's hive), for the live tests and the benchmark.
#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "platform/com/runtime.h"
#include "platform/gdi/bitmap.h"
#include "platform/media/tv/virtual_tuner.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/tv/tv_test_support.h"

namespace tv_test {


namespace fs = std::filesystem;

// Dispatches this thread's messages until `done` holds or `ms` pass.
template <class Done>
bool PumpUntil(Done done, int ms = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}
inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

inline void SetStation(const char* key, DWORD kHz, const char* name, DWORD pattern, DWORD teletext) {
  const std::string path = std::string(plat::tv::kVirtualTunerKey) + "\\Stations\\" + key;
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, "Frequency", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kHz), sizeof kHz);
  RegSetValueExA(k, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), static_cast<DWORD>(strlen(name) + 1));
  RegSetValueExA(k, "Pattern", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&pattern), sizeof pattern);
  RegSetValueExA(k, "Teletext", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&teletext), sizeof teletext);
  RegCloseKey(k);
}

inline LRESULT OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

// Mean of the blue, green and red bytes of a bitmap.
inline std::array<int, 3> MeanColour(HBITMAP bitmap) {
  auto surface = plat::GetBitmapSurface(bitmap);
  std::array<long long, 3> sum{};
  long long count = 0;
  if (!surface) return {};
  for (int y = 0; y < surface->height(); ++y) {
    const std::uint32_t* row = surface->row(y);
    for (int x = 0; x < surface->width(); ++x, ++count)
      for (int c = 0; c < 3; ++c) sum[static_cast<std::size_t>(c)] += (row[x] >> (8 * c)) & 0xFF;
  }
  if (count == 0) return {};
  return {static_cast<int>(sum[0] / count), static_cast<int>(sum[1] / count), static_cast<int>(sum[2] / count)};
}

class TvLiveTest : public TvTest {
 protected:
  void SetUp() override {
    fs::copy_file(fs::path(MARIVEL_TEST_BIN_DIR) / "registry" / "machine.reg",
                  fs::path(env_.dir()) / "registry" / "machine.reg", fs::copy_options::overwrite_existing);
    ::setenv("MARIVEL_BIN_DIR", MARIVEL_TEST_BIN_DIR, 1);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    // Three stations on E5, E7 and E21 with distinct pictures; the second
    // carries teletext.
    SetStation("A", 175250, "Alpha", 0, 0);
    SetStation("B", 189250, "Bravo", 4, 1);  // red
    SetStation("C", 471250, "Charlie", 6, 0);  // blue
    TvTest::SetUp();
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid != IID_IGrabber) return E_NOINTERFACE;
      if (!grabber_) {
        const HRESULT hr = CoCreateInstance(CLSID_Grabber, nullptr, CLSCTX_INPROC_SERVER, IID_IGrabber,
                                            reinterpret_cast<void**>(grabber_.ReleaseAndGetAddressOf()));
        if (FAILED(hr)) return hr;
      }
      return grabber_->QueryInterface(iid, out);
    };
    WNDCLASS wc{};
    wc.lpfnWndProc = &OwnerProc;
    wc.lpszClassName = "TvLiveOwner";
    RegisterClass(&wc);
    owner_ = CreateWindowEx(0, "TvLiveOwner", "TV", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                            nullptr);
    page_.displayWindow = owner_;
    TV().m_nCountryIndex = 129;  // Germany: PAL, the European plan
    TV().m_nVideoSource = 1;     // the antenna band, where E5, E7 and E21 are
    TV().m_strWorkingFolder = env_.path("recordings");
    fs::create_directories(TV().m_strWorkingFolder);
  }
  void TearDown() override {
    if (system_ && system_->IsStarted()) system_->Stop();
    grabber_.Reset();
    TvTest::TearDown();
    DestroyWindow(owner_);
    UnregisterClass("TvLiveOwner", nullptr);
    CoUninitialize();
  }

  // Enters the TV and scans: the stations become the channel list.
  void EnterAndScan(std::size_t stations = 3) {
    ASSERT_EQ(Enter(), 1);
    ASSERT_EQ(Run("TV AutoScan Page"), 1);
    ASSERT_TRUE(PumpUntil([&] { return TV().m_nPageType == 8; }, 60000)) << "the scan did not end";
    ASSERT_EQ(TV().m_arrEnabledChannels.size(), stations);
  }

  ComPtr<IGrabber> grabber_;
  HWND owner_ = nullptr;
};

}  // namespace tv_test
