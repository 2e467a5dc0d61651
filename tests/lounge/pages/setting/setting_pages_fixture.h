// The setting and authoring pages on the headless display: registry hives of
// their own, a visible 1280x720 frame window, the default skin and its string
// table, a configuration root owned by the test and the recording fake frame.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "corebridge/core/config.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/display/headless.h"
#include "platform/registry/registry.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/platform/registry/temp_registry.h"

namespace settingpages {

inline constexpr int kWidth = 1280;
inline constexpr int kHeight = 720;
inline constexpr const char* kProductKey = "SoftWare\\Kestrovia\\Marivel";

// The fake frame whose active page paints the frame window, as the main
// frame's WM_PAINT does.
inline pages::FakeShellFrame*& PaintingFrame() {
  static pages::FakeShellFrame* frame = nullptr;
  return frame;
}

inline plat::LRESULT FrameProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  if (msg == plat::WM_ERASEBKGND) return 1;
  if (msg == plat::WM_PAINT && PaintingFrame() && PaintingFrame()->active) return PaintingFrame()->active->OnPaint(), 0;
  if (msg == plat::WM_PAINT) {
    plat::PAINTSTRUCT ps;
    plat::BeginPaint(h, &ps);
    plat::EndPaint(h, &ps);
    return 0;
  }
  return plat::DefWindowProc(h, msg, w, l);
}

class PageEnvironment {
 public:
  PageEnvironment() {
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{kWidth, kHeight};
    std::string error;
    started = plat::display::StartDisplay(options, &error);
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "SettingPagesTestFrame";
    plat::RegisterClass(&wc);
    frame.window = plat::CreateWindowEx(0, "SettingPagesTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0,
                                        kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings.get());
    config = std::make_unique<CConfig>();
    frame.config = config.get();
    PaintingFrame() = &frame;
  }
  ~PageEnvironment() {
    PaintingFrame() = nullptr;
    SetVendor("");
    UnregisterUIStringTable(strings.get());
    SetSkinBaseFolder({});
    if (plat::IsWindow(frame.window)) plat::DestroyWindow(frame.window);
    Pump();
    if (started) plat::display::StopDisplay();
  }
  PageEnvironment(const PageEnvironment&) = delete;
  PageEnvironment& operator=(const PageEnvironment&) = delete;

  static void Pump() {
    plat::MSG m;
    for (int i = 0; i < 10000 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i) {
      plat::TranslateMessage(&m);
      plat::DispatchMessage(&m);
    }
  }
  void Settle() {
    Pump();
    plat::display::ComposeNow();
  }
  std::uint32_t Screen(int x, int y) const { return plat::display::CurrentHeadless()->pixel(x, y) & 0xFFFFFF; }
  // Pixels in `rect` whose three channels are all above `floor`: the light
  // texts on the dark pages.
  int BrightPixels(const plat::RECT& rect, std::uint32_t floor = 0xB0) const {
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x) {
        const std::uint32_t p = Screen(x, y);
        n += (p & 0xFF) > floor && ((p >> 8) & 0xFF) > floor && ((p >> 16) & 0xFF) > floor;
      }
    return n;
  }

  // Sets (or, with an empty name, removes) the machine's vendor and detects it.
  int SetVendor(const std::string& name) {
    plat::HKEY key = nullptr;
    if (plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr,
                              &key, nullptr) == plat::ERROR_SUCCESS) {
      if (name.empty()) {
        plat::RegDeleteValueA(key, "Vendor");
      } else {
        plat::RegSetValueExA(key, "Vendor", 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(name.c_str()),
                             static_cast<plat::DWORD>(name.size() + 1));
      }
      plat::RegCloseKey(key);
    }
    return DetectVendor();
  }

  // HKEY_CURRENT_USER "Always PC Mode", or -1 when it is missing.
  static long AlwaysPcMode() {
    plat::HKEY key = nullptr;
    if (plat::RegOpenKeyExA(plat::HKEY_CURRENT_USER, kProductKey, 0, plat::KEY_READ, &key) != plat::ERROR_SUCCESS)
      return -1;
    plat::DWORD value = 0, size = sizeof value, type = 0;
    const plat::LONG r =
        plat::RegQueryValueExA(key, "Always PC Mode", nullptr, &type, reinterpret_cast<plat::BYTE*>(&value), &size);
    plat::RegCloseKey(key);
    return r == plat::ERROR_SUCCESS ? static_cast<long>(value) : -1;
  }
  static void SetAlwaysPcMode(plat::DWORD value) {
    plat::HKEY key = nullptr;
    if (plat::RegCreateKeyExA(plat::HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) != plat::ERROR_SUCCESS)
      return;
    plat::RegSetValueExA(key, "Always PC Mode", 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&value),
                         sizeof value);
    plat::RegCloseKey(key);
  }
  static void SetMachineString(const std::string& name, const std::string& text) {
    plat::HKEY key = nullptr;
    if (plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr,
                              &key, nullptr) != plat::ERROR_SUCCESS)
      return;
    plat::RegSetValueExA(key, name.c_str(), 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(text.c_str()),
                         static_cast<plat::DWORD>(text.size() + 1));
    plat::RegCloseKey(key);
  }

  static std::string Text(const std::string& key) {
    std::string text;
    LookupUIString(key, text);
    return text;
  }

  // First: every registry access below goes to the test's own hives.
  marivel_test::TempRegistry registry;
  bool started = false;
  pages::FakeShellFrame frame;
  std::unique_ptr<CStringTable> strings;
  std::unique_ptr<CConfig> config;
};

}  // namespace settingpages
