// A component server that registers a window class with its own procedure.
#include "platform/com/com.h"
#include "platform/sys/last_error.h"
#include "platform/win/window.h"
#include "tests/platform/com/window_server_interfaces.h"

namespace {

using plat::HRESULT;

// Per load of the library: a window procedure of an earlier load would
// answer with that load's count.
int createdThisLoad = 0;

plat::LRESULT ServerWindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (msg == plat::WM_CREATE) ++createdThisLoad;
  if (msg == kTestMsgCreatedCount) return createdThisLoad;
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

class CWindowMaker : public ITestWindowMaker {
 public:
  using Interfaces = plat::InterfaceList<ITestWindowMaker>;

  HRESULT MakeWindow(plat::HWND* out) override {
    if (!out) return plat::E_POINTER;
    plat::WNDCLASS wc{};
    wc.lpfnWndProc = &ServerWindowProc;
    wc.lpszClassName = kTestServerWindowClass;
    // Registered once per process, as the engines do it.
    if (!plat::RegisterClass(&wc) && plat::GetLastError() != plat::ERROR_CLASS_ALREADY_EXISTS) return plat::E_FAIL;
    *out = plat::CreateWindowEx(0, kTestServerWindowClass, "", plat::WS_POPUP, 0, 0, 4, 4, nullptr, nullptr,
                                nullptr, nullptr);
    return *out ? plat::S_OK : plat::E_FAIL;
  }

  HRESULT Subclass(plat::HWND hwnd) override {
    return plat::SetWindowLongPtr(hwnd, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(&ServerWindowProc))
               ? plat::S_OK
               : plat::E_FAIL;
  }
};

const plat::ClassEntry kClasses[] = {
    {CLSID_TestWindowMaker, "Test WindowMaker", &plat::CreateComObject<CWindowMaker>},
};

}  // namespace

PLAT_COM_SERVER(kClasses);
