#include <gtest/gtest.h>

#include "platform/sys/last_error.h"
#include "platform/win/system.h"
#include "tests/platform/win/win_test_util.h"

namespace wintest {
namespace {

class WindowTest : public WinTest {};

std::vector<UINT> Messages(const Recorder& r, HWND h) {
  std::vector<UINT> out;
  for (auto& l : r.log)
    if (l.hwnd == h) out.push_back(l.msg);
  return out;
}

TEST_F(WindowTest, ClassesRegisterOnceByNameAndCopyUnderANewName) {
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = RecorderProc;
  wc.lpszClassName = "Frame class test";
  ASSERT_NE(RegisterClass(&wc), 0);
  SetLastError(0);
  EXPECT_EQ(RegisterClass(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  wc.lpszClassName = "FRAME CLASS TEST";  // names compare without case
  EXPECT_EQ(RegisterClass(&wc), 0);
  EXPECT_EQ(GetLastError(), 1410u);

  WNDCLASS copy;
  ASSERT_TRUE(GetClassInfo(nullptr, "frame class test", &copy));
  EXPECT_EQ(copy.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(copy.lpfnWndProc, &RecorderProc);
  copy.lpszClassName = "Frame class copy";
  EXPECT_NE(RegisterClass(&copy), 0);
  HWND h = Make(WS_POPUP, RECT{0, 0, 5, 5}, nullptr, "Frame class copy");
  ASSERT_TRUE(h);
  char name[64];
  EXPECT_EQ(GetClassName(h, name, sizeof name), 16);
  EXPECT_STREQ(name, "Frame class copy");
  EXPECT_EQ(CreateWindowEx(0, "no such class", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
  DestroyWindow(h);
  EXPECT_TRUE(UnregisterClass("Frame class copy", nullptr));
  EXPECT_TRUE(UnregisterClass("Frame class test", nullptr));
}

TEST_F(WindowTest, CreationSendsNcCreateAndCreateWithTheParameter) {
  int param = 0;
  void* seen_nc = nullptr;
  void* seen = nullptr;
  rec.hooks[WM_NCCREATE] = [&](HWND h, WPARAM w, LPARAM l) -> LRESULT {
    seen_nc = reinterpret_cast<CREATESTRUCT*>(l)->lpCreateParams;
    return DefWindowProc(h, WM_NCCREATE, w, l);
  };
  rec.hooks[WM_CREATE] = [&](HWND, WPARAM, LPARAM l) -> LRESULT {
    seen = reinterpret_cast<CREATESTRUCT*>(l)->lpCreateParams;
    return 0;
  };
  HWND h = CreateWindowEx(0, "Recorder", "Title", WS_POPUP | WS_VISIBLE, 10, 20, 300, 200, nullptr, nullptr, nullptr,
                          &param);
  created.push_back(h);
  ASSERT_TRUE(h);
  EXPECT_EQ(seen_nc, &param);
  EXPECT_EQ(seen, &param);
  auto msgs = Messages(rec, h);
  ASSERT_GE(msgs.size(), 4u);
  EXPECT_EQ(msgs[0], WM_NCCREATE);
  EXPECT_EQ(msgs[1], WM_CREATE);
  EXPECT_EQ(GetWindowTextString(h), "Title");
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_FALSE(rec.of(h, WM_SHOWWINDOW).empty());
  EXPECT_EQ(GetActiveWindow(), h);

  // WM_CREATE answering -1 fails the creation and leaves no window.
  rec.hooks[WM_CREATE] = [](HWND, WPARAM, LPARAM) -> LRESULT { return -1; };
  rec.clear();
  EXPECT_EQ(CreateWindowEx(0, "Recorder", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  ASSERT_FALSE(rec.of(WM_NCDESTROY).empty());
  EXPECT_FALSE(IsWindow(rec.of(WM_NCDESTROY)[0].hwnd));
  // A child needs a parent.
  EXPECT_EQ(CreateWindowEx(0, "Recorder", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, DestroyReachesChildrenAndLeavesStaleHandlesHarmless) {
  HWND parent = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
  HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 50}, parent);
  HWND grandchild = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, child);
  HWND owned = Make(WS_POPUP, RECT{0, 0, 10, 10}, parent);
  SetFocus(grandchild);
  rec.clear();
  ASSERT_TRUE(DestroyWindow(parent));
  std::vector<std::pair<HWND, UINT>> seq;
  for (auto& l : rec.log)
    if (l.msg == WM_DESTROY || l.msg == WM_NCDESTROY) seq.push_back({l.hwnd, l.msg});
  const std::vector<std::pair<HWND, UINT>> expected{
      {owned, WM_DESTROY},      {owned, WM_NCDESTROY},  {parent, WM_DESTROY},        {child, WM_DESTROY},
      {grandchild, WM_DESTROY}, {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
  EXPECT_EQ(seq, expected);
  EXPECT_FALSE(rec.of(grandchild, WM_KILLFOCUS).empty());
  EXPECT_EQ(GetFocus(), nullptr);
  for (HWND h : {parent, child, grandchild, owned, reinterpret_cast<HWND>(0xDEAD0), reinterpret_cast<HWND>(8)}) {
    EXPECT_FALSE(IsWindow(h));
    SetLastError(0);
    RECT r;
    EXPECT_FALSE(GetWindowRect(h, &r));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetWindowLongPtr(h, GWLP_USERDATA), 0);
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(PostMessage(h, WM_APP, 0, 0));
    EXPECT_FALSE(InvalidateRect(h, nullptr, TRUE));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_EQ(GetParent(h), nullptr);
  }
}

TEST_F(WindowTest, ZOrderKeepsTopmostWindowsInFront) {
  HWND a = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 10, 10});
  HWND b = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 10, 10});
  HWND top = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 10, 10}, nullptr, "Recorder", "", WS_EX_TOPMOST);
  auto order = [] {
    std::vector<HWND> out;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
    return out;
  };
  auto pos = [&](HWND h) {
    auto o = order();
    return std::find(o.begin(), o.end(), h) - o.begin();
  };
  EXPECT_LT(pos(top), pos(b));
  EXPECT_LT(pos(b), pos(a));
  // Raising a normal window keeps it behind the topmost one.
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_LT(pos(top), pos(a));
  EXPECT_LT(pos(a), pos(b));
  SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(GetWindowLongPtr(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(pos(b), 0);
  // The shell's trick: topmost and at once not topmost leaves it first of the normal band.
  SetWindowPos(b, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_FALSE(GetWindowLongPtr(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_LT(pos(top), pos(b));
  EXPECT_LT(pos(b), pos(a));
  SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(order().back(), b);

  HWND c1 = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 5, 5}, a);
  HWND c2 = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 5, 5}, a);
  EXPECT_EQ(GetWindow(a, GW_CHILD), c2);
  SetWindowPos(c2, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_CHILD), c1);
  EXPECT_EQ(GetWindow(c1, GW_HWNDNEXT), c2);
  EXPECT_EQ(GetWindow(c2, GW_HWNDPREV), c1);
  // Moving a child under another parent.
  EXPECT_EQ(SetParent(c1, b), a);
  EXPECT_EQ(GetParent(c1), b);
  EXPECT_EQ(GetAncestor(c1, GA_ROOT), b);
  EXPECT_TRUE(IsChild(b, c1));
  EXPECT_FALSE(IsChild(a, c1));
  EXPECT_EQ(SetParent(b, c1), nullptr);  // no cycles
}

TEST_F(WindowTest, CoordinatesOfNestedChildren) {
  HWND top = Make(WS_POPUP | WS_VISIBLE, RECT{100, 50, 500, 450});
  HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{10, 20, 210, 220}, top);
  HWND inner = Make(WS_CHILD | WS_VISIBLE, RECT{5, 5, 25, 25}, child);
  RECT r;
  GetWindowRect(inner, &r);
  EXPECT_EQ(r, (RECT{115, 75, 135, 95}));
  GetClientRect(inner, &r);
  EXPECT_EQ(r, (RECT{0, 0, 20, 20}));
  POINT p{1, 2};
  ClientToScreen(inner, &p);
  EXPECT_EQ(p, (POINT{116, 77}));
  ScreenToClient(child, &p);
  EXPECT_EQ(p, (POINT{6, 7}));
  POINT pts[2] = {{0, 0}, {3, 3}};
  MapWindowPoints(inner, top, pts, 2);
  EXPECT_EQ(pts[0], (POINT{15, 25}));
  EXPECT_EQ(pts[1], (POINT{18, 28}));
  MapWindowPoints(nullptr, top, pts, 1);
  EXPECT_EQ(pts[0], (POINT{-85, -25}));
  EXPECT_EQ(GetAncestor(top, GA_PARENT), GetDesktopWindow());
}

TEST_F(WindowTest, ShowStatesSizesAndPlacement) {
  HWND h = Make(WS_POPUP, RECT{100, 100, 400, 300});
  rec.clear();
  ShowWindow(h, SW_SHOW);
  ASSERT_EQ(rec.of(h, WM_SHOWWINDOW).size(), 1u);
  EXPECT_EQ(rec.of(h, WM_SHOWWINDOW)[0].wParam, static_cast<WPARAM>(TRUE));

  rec.clear();
  ShowWindow(h, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(h));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{0, 0, 800, 600}));
  ASSERT_FALSE(rec.of(h, WM_SIZE).empty());
  EXPECT_EQ(rec.of(h, WM_SIZE).back().wParam, SIZE_MAXIMIZED);
  EXPECT_EQ(rec.of(h, WM_SIZE).back().lParam, MAKELPARAM(800, 600));
  WINDOWPLACEMENT wp;
  GetWindowPlacement(h, &wp);
  EXPECT_EQ(wp.showCmd & 3, 3u);
  EXPECT_EQ(wp.rcNormalPosition, (RECT{100, 100, 400, 300}));

  rec.clear();
  ShowWindow(h, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(h));
  EXPECT_FALSE(IsZoomed(h));
  EXPECT_EQ(rec.of(h, WM_SIZE).back().wParam, SIZE_MINIMIZED);
  GetWindowPlacement(h, &wp);
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
  // Restoring a window minimised from maximised brings it back maximised.
  ShowWindow(h, SW_RESTORE);
  EXPECT_TRUE(IsZoomed(h));
  ShowWindow(h, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(h));
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{100, 100, 400, 300}));
  EXPECT_EQ(rec.of(h, WM_SIZE).back().wParam, SIZE_RESTORED);

  // A new normal rectangle while maximised applies on restore.
  ShowWindow(h, SW_SHOWMAXIMIZED);
  GetWindowPlacement(h, &wp);
  wp.rcNormalPosition = RECT{5, 5, 105, 85};
  SetWindowPlacement(h, &wp);
  EXPECT_TRUE(IsZoomed(h));
  ShowWindow(h, SW_RESTORE);
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{5, 5, 105, 85}));

  rec.clear();
  MoveWindow(h, 20, 30, 200, 100, TRUE);
  ASSERT_EQ(rec.of(h, WM_MOVE).size(), 1u);
  EXPECT_EQ(rec.of(h, WM_MOVE)[0].lParam, MAKELPARAM(20, 30));
  ASSERT_EQ(rec.of(h, WM_SIZE).size(), 1u);
  EXPECT_EQ(rec.of(h, WM_SIZE)[0].lParam, MAKELPARAM(200, 100));

  rec.clear();
  ShowWindow(h, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(rec.of(h, WM_SHOWWINDOW).back().wParam, static_cast<WPARAM>(FALSE));
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  EXPECT_TRUE(IsWindowVisible(h));

  // Created with WS_MAXIMIZE: maximised, with the given rectangle to restore to.
  HWND m = Make(WS_POPUP | WS_MAXIMIZE | WS_VISIBLE, RECT{10, 10, 110, 110});
  EXPECT_TRUE(IsZoomed(m));
  GetWindowPlacement(m, &wp);
  EXPECT_EQ(wp.rcNormalPosition, (RECT{10, 10, 110, 110}));
}

TEST_F(WindowTest, WindowDataTextAndSubclassing) {
  HWND h = Make(WS_POPUP | WS_CLIPSIBLINGS, RECT{0, 0, 10, 10}, nullptr, "Recorder", "hello");
  EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE), static_cast<LONG_PTR>(static_cast<LONG>(WS_POPUP | WS_CLIPSIBLINGS)));
  SetWindowLongPtr(h, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_DLGFRAME | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongPtr(h, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_EQ(SetWindowLongPtr(h, GWLP_USERDATA, 1234), 0);
  EXPECT_EQ(GetWindowLongPtr(h, GWLP_USERDATA), 1234);
  char buf[4];
  EXPECT_EQ(GetWindowText(h, buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "hel");
  SetWindowText(h, "world");
  EXPECT_EQ(GetWindowTextLength(h), 5);
  EXPECT_EQ(GetWindowTextString(h), "world");

  static WNDPROC original;
  original = reinterpret_cast<WNDPROC>(GetWindowLongPtr(h, GWLP_WNDPROC));
  auto sub = [](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_APP) return 77;
    return CallWindowProc(original, w, msg, wp, lp);
  };
  SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(sub)));
  EXPECT_EQ(SendMessage(h, WM_APP, 0, 0), 77);
  EXPECT_EQ(SendMessage(h, WM_APP + 1, 0, 0), 0);
  EXPECT_FALSE(rec.of(h, WM_APP + 1).empty());
}

TEST_F(WindowTest, FindWindowByClassAndTitle) {
  RegisterOnce("RemoteKeyWndClass", 0);
  HWND remote = Make(WS_POPUP, RECT{0, 0, 1, 1}, nullptr, "RemoteKeyWndClass", "RemoteKeyWnd");
  HWND other = Make(WS_POPUP, RECT{0, 0, 1, 1}, nullptr, "Recorder", "RemoteKeyWnd");
  EXPECT_EQ(FindWindow("RemoteKeyWndClass", "RemoteKeyWnd"), remote);
  EXPECT_EQ(FindWindow("remotekeywndclass", nullptr), remote);
  EXPECT_EQ(FindWindow("Recorder", "RemoteKeyWnd"), other);
  EXPECT_EQ(FindWindow("RemoteKeyWndClass", "Other"), nullptr);
  EXPECT_EQ(FindWindow("Unregistered", nullptr), nullptr);
  DestroyWindow(remote);
  EXPECT_EQ(FindWindow("RemoteKeyWndClass", nullptr), nullptr);
  HWND child = Make(WS_CHILD, RECT{0, 0, 1, 1}, other, "Recorder", "kid");
  EXPECT_EQ(FindWindowEx(other, nullptr, nullptr, "kid"), child);
  EXPECT_EQ(FindWindow(nullptr, "kid"), nullptr);  // only top-level windows
}

TEST_F(WindowTest, FocusActivationAndCapture) {
  HWND a = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
  HWND edit = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, a);
  HWND b = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), b);
  rec.clear();
  SetFocus(edit);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(GetForegroundWindow(), a);
  // Deactivation of b, activation of a, then the focus moves to the edit.
  ASSERT_FALSE(rec.of(b, WM_ACTIVATE).empty());
  EXPECT_EQ(LOWORD(rec.of(b, WM_ACTIVATE)[0].wParam), WA_INACTIVE);
  EXPECT_EQ(LOWORD(rec.of(a, WM_ACTIVATE)[0].wParam), WA_ACTIVE);
  ASSERT_FALSE(rec.of(edit, WM_SETFOCUS).empty());
  EXPECT_FALSE(rec.of(b, WM_KILLFOCUS).empty());

  rec.clear();
  SetForegroundWindow(b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(rec.of(edit, WM_KILLFOCUS).size(), 1u);

  rec.clear();
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(SetCapture(b), a);
  ASSERT_EQ(rec.of(a, WM_CAPTURECHANGED).size(), 1u);
  EXPECT_EQ(rec.of(a, WM_CAPTURECHANGED)[0].lParam, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(GetCapture(), b);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(rec.of(b, WM_CAPTURECHANGED).size(), 1u);

  // Hiding the active window activates the next one.
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), a);
  EnableWindow(a, FALSE);
  EXPECT_FALSE(IsWindowEnabled(a));
  EXPECT_EQ(GetFocus(), nullptr);
  EnableWindow(a, TRUE);
  EXPECT_TRUE(IsWindowEnabled(a));
}

TEST_F(WindowTest, InvalidationMakesOnePaintWithTheUpdateRectangle) {
  HWND h = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
  Pump();  // the first paint of a shown window
  EXPECT_EQ(rec.of(h, WM_PAINT).size(), 1u);
  rec.clear();
  RECT update;
  EXPECT_FALSE(GetUpdateRect(h, &update, FALSE));

  std::vector<RECT> painted;
  std::vector<bool> erase_seen;
  rec.hooks[WM_PAINT] = [&](HWND w, WPARAM, LPARAM) -> LRESULT {
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    painted.push_back(ps.rcPaint);
    EndPaint(w, &ps);
    return 0;
  };
  RECT r1{10, 10, 20, 20}, r2{50, 5, 60, 15};
  InvalidateRect(h, &r1, FALSE);
  InvalidateRect(h, &r2, TRUE);
  ASSERT_TRUE(GetUpdateRect(h, &update, FALSE));
  EXPECT_EQ(update, (RECT{10, 5, 60, 20}));
  // Posted messages come before the paint.
  PostMessage(h, WM_APP, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP));
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  DispatchMessage(&m);
  ASSERT_EQ(painted.size(), 1u);
  EXPECT_EQ(painted[0], (RECT{10, 5, 60, 20}));
  EXPECT_EQ(rec.of(h, WM_ERASEBKGND).size(), 1u);
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));

  // Clipped to the client area; a paint handler that validates nothing
  // does not make the window paint forever.
  rec.hooks.erase(WM_PAINT);
  rec.hooks[WM_PAINT] = [](HWND, WPARAM, LPARAM) -> LRESULT { return 0; };
  RECT outside{150, 50, 400, 400};
  InvalidateRect(h, &outside, FALSE);
  GetUpdateRect(h, &update, FALSE);
  EXPECT_EQ(update, (RECT{150, 50, 200, 100}));
  rec.clear();
  EXPECT_LT(Pump(), 5);
  EXPECT_EQ(rec.of(h, WM_PAINT).size(), 1u);

  // UpdateWindow paints at once; hidden windows collect no update.
  InvalidateRect(h, nullptr, FALSE);
  rec.clear();
  UpdateWindow(h);
  EXPECT_EQ(rec.of(h, WM_PAINT).size(), 1u);
  ShowWindow(h, SW_HIDE);
  InvalidateRect(h, nullptr, FALSE);
  EXPECT_FALSE(GetUpdateRect(h, &update, FALSE));
  ValidateRect(h, nullptr);
}

TEST_F(WindowTest, SystemMetricsAndParameters) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
  EXPECT_GT(GetSystemMetrics(SM_CYMINSPACING), 0);
  BOOL value = -1;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETFONTSMOOTHING, 0, &value, 0));
  const BOOL saved = value;
  ASSERT_TRUE(SystemParametersInfo(SPI_SETFONTSMOOTHING, !saved, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
  SystemParametersInfo(SPI_GETFONTSMOOTHING, 0, &value, 0);
  EXPECT_EQ(value, !saved);
  SystemParametersInfo(SPI_SETFONTSMOOTHING, saved, nullptr, 0);
  EXPECT_FALSE(SystemParametersInfo(0xFFFF, 0, &value, 0));
  EXPECT_EQ(GetDoubleClickTime(), 500u);
}

}  // namespace
}  // namespace wintest
