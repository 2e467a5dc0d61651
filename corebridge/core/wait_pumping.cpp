#include "corebridge/core/wait_pumping.h"

#include <chrono>

#include "platform/win/message.h"

bool WaitPumpingMessages(unsigned ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    plat::MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
      if (msg.message == plat::WM_QUIT) {
        plat::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      plat::TranslateMessage(&msg);
      plat::DispatchMessage(&msg);
    }
    const auto now = Clock::now();
    if (now >= deadline) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
    plat::MsgWaitForMultipleObjects(0, nullptr, plat::FALSE, static_cast<plat::DWORD>(left) + 1, plat::QS_ALLINPUT);
  }
}
