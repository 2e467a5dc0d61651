// The window-making test server: a class whose window procedure lies inside
// a server library that the tests unload and load again.
#pragma once

#include "platform/com/unknown.h"
#include "platform/win/win_types.h"

inline constexpr plat::IID IID_ITestWindowMaker = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3E01}");
inline constexpr plat::CLSID CLSID_TestWindowMaker = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3E02}");

// The server's window class; registered on first use, as engines do.
inline constexpr const char* kTestServerWindowClass = "Test Server Window";
// Answered by the server's procedure with the number of windows this load of
// the library has created.
inline constexpr plat::UINT kTestMsgCreatedCount = plat::WM_USER + 7;

struct ITestWindowMaker : plat::IUnknown {
  // A window of the server's class, on the calling thread, left for its
  // caller (or the unloading runtime) to destroy.
  virtual plat::HRESULT MakeWindow(plat::HWND* out) = 0;
  // Points `hwnd` at the server's procedure.
  virtual plat::HRESULT Subclass(plat::HWND hwnd) = 0;
};
PLAT_BIND_IID(ITestWindowMaker, IID_ITestWindowMaker);
