#include <gtest/gtest.h>

#include "platform/win/keys.h"
#include "platform/win/system.h"
#include "tests/platform/win/win_test_util.h"

namespace wintest {
namespace {

class InputTest : public WinTest {
 protected:
  HWND ClickTarget(int x, int y) {
    rec.clear();
    InjectClick(x, y);
    Pump();
    auto downs = rec.of(WM_LBUTTONDOWN);
    auto dbl = rec.of(WM_LBUTTONDBLCLK);
    if (!downs.empty()) return downs[0].hwnd;
    if (!dbl.empty()) return dbl[0].hwnd;
    return nullptr;
  }
};

TEST_F(InputTest, MouseGoesToTheWindowUnderTheCursorThroughZOrderRegionsAndState) {
  HWND back = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 400});
  // Clicking a window raises it: the front one is topmost to stay in front.
  HWND front = Make(WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 300}, nullptr, "Recorder", "", WS_EX_TOPMOST);
  HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 60}, front);  // screen 110..160
  Pump();
  EXPECT_EQ(ClickTarget(50, 50), back);
  EXPECT_EQ(ClickTarget(200, 200), front);
  EXPECT_EQ(ClickTarget(120, 120), child);
  // Client coordinates of the child.
  ASSERT_FALSE(rec.of(child, WM_LBUTTONUP).empty());
  EXPECT_EQ(rec.of(child, WM_LBUTTONUP)[0].lParam, MAKELPARAM(10, 10));

  // A hole in the front window's region lets the click through.
  Region shape = Region(RECT{0, 0, 200, 200}).subtracted(Region(RECT{80, 80, 120, 120}));
  SetWindowRegion(front, &shape, TRUE);
  EXPECT_EQ(ClickTarget(200, 200), back);
  EXPECT_EQ(ClickTarget(170, 170), front);

  // A disabled child gives its input to its parent; hidden windows none.
  EnableWindow(child, FALSE);
  EXPECT_EQ(ClickTarget(120, 120), front);
  ShowWindow(child, SW_HIDE);
  EnableWindow(child, TRUE);
  EXPECT_EQ(ClickTarget(120, 120), front);
  ShowWindow(front, SW_HIDE);
  EXPECT_EQ(ClickTarget(120, 120), back);
  // A disabled top-level window swallows the click.
  EnableWindow(back, FALSE);
  EXPECT_EQ(ClickTarget(120, 120), nullptr);
  EnableWindow(back, TRUE);
  EXPECT_EQ(WindowFromPoint(POINT{120, 120}), back);
  EXPECT_EQ(WindowFromPoint(POINT{700, 500}), nullptr);
}

TEST_F(InputTest, CaptureReceivesEverythingInItsClientCoordinates) {
  HWND a = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
  HWND b = Make(WS_POPUP | WS_VISIBLE, RECT{200, 200, 300, 300});
  Pump();
  SetCapture(a);
  rec.clear();
  InjectMouseMove(250, 250);
  InjectMouseButton(0, true, 250, 250);
  Pump();
  ASSERT_EQ(rec.of(a, WM_MOUSEMOVE).size(), 1u);
  EXPECT_EQ(rec.of(a, WM_MOUSEMOVE)[0].lParam, MAKELPARAM(250, 250));
  ASSERT_EQ(rec.of(a, WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(rec.of(a, WM_LBUTTONDOWN)[0].wParam & MK_LBUTTON, MK_LBUTTON);
  EXPECT_TRUE(rec.of(b, WM_MOUSEMOVE).empty());
  ReleaseCapture();
  InjectMouseButton(0, false, 250, 250);
  Pump();
  EXPECT_EQ(rec.of(b, WM_LBUTTONUP).size(), 1u);
  // Negative client coordinates survive the packing.
  SetCapture(b);
  rec.clear();
  InjectMouseMove(10, 10);
  Pump();
  ASSERT_EQ(rec.of(b, WM_MOUSEMOVE).size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(rec.of(b, WM_MOUSEMOVE)[0].lParam), -190);
  ReleaseCapture();
}

TEST_F(InputTest, MouseLeaveComesOnceWhenTheCursorLeavesATrackedWindow) {
  HWND a = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
  HWND b = Make(WS_POPUP | WS_VISIBLE, RECT{100, 0, 200, 100});
  InjectMouseMove(50, 50);
  Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = a;
  tme.dwHoverTime = 1;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  rec.clear();
  InjectMouseMove(60, 50);
  Pump();
  EXPECT_TRUE(rec.of(WM_MOUSELEAVE).empty());
  InjectMouseMove(150, 50);
  InjectMouseMove(160, 50);
  Pump();
  ASSERT_EQ(rec.of(WM_MOUSELEAVE).size(), 1u);
  EXPECT_EQ(rec.of(WM_MOUSELEAVE)[0].hwnd, a);
  // Tracking a window the cursor is not over reports the leave at once.
  tme.hwndTrack = a;
  rec.clear();
  TrackMouseEvent(&tme);
  Pump();
  EXPECT_EQ(rec.of(a, WM_MOUSELEAVE).size(), 1u);
  // Cancelled tracking reports nothing.
  tme.hwndTrack = b;
  TrackMouseEvent(&tme);
  tme.dwFlags = TME_LEAVE | TME_CANCEL;
  TrackMouseEvent(&tme);
  rec.clear();
  InjectMouseMove(50, 50);
  Pump();
  EXPECT_TRUE(rec.of(WM_MOUSELEAVE).empty());
}

TEST_F(InputTest, DoubleClicksForClassesThatAskWithinTimeAndDistance) {
  HWND dbl = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr, "RecorderDbl");
  HWND plain = Make(WS_POPUP | WS_VISIBLE, RECT{200, 0, 300, 100});
  Pump();
  struct Case {
    HWND target;
    int x;
    int second_dx;
    std::uint64_t gap_ms;
    bool expect_dbl;
  };
  const Case cases[] = {
      {dbl, 50, 0, 100, true},   // quick, same spot
      {dbl, 50, 2, 500, true},   // at the limits
      {dbl, 50, 0, 501, false},  // too slow
      {dbl, 50, 3, 100, false},  // too far
      {plain, 250, 0, 100, false},  // class without CS_DBLCLKS
  };
  for (const Case& c : cases) {
    clock->advance(5000);  // forget earlier clicks
    rec.clear();
    InjectClick(c.x, 50);
    Pump();
    clock->advance(c.gap_ms);
    InjectClick(c.x + c.second_dx, 50);
    Pump();
    EXPECT_EQ(rec.of(c.target, WM_LBUTTONDBLCLK).size(), c.expect_dbl ? 1u : 0u) << c.x << " " << c.gap_ms;
    EXPECT_EQ(rec.of(c.target, WM_LBUTTONDOWN).size(), c.expect_dbl ? 1u : 2u);
  }
  // A third quick click is a plain press again.
  clock->advance(5000);
  rec.clear();
  InjectClick(50, 50);
  InjectClick(50, 50);
  InjectClick(50, 50);
  Pump();
  EXPECT_EQ(rec.of(dbl, WM_LBUTTONDBLCLK).size(), 1u);
  EXPECT_EQ(rec.of(dbl, WM_LBUTTONDOWN).size(), 2u);
}

TEST_F(InputTest, KeysGoToTheFocusWithStateAndCharacters) {
  HWND top = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
  HWND edit = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, top);
  SetFocus(edit);
  Pump();
  rec.clear();
  InjectKeyDown(VK_SHIFT);
  Pump();
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  InjectKey('A');
  InjectKeyUp(VK_SHIFT);
  InjectKey('B');
  InjectKey(VK_OEM_PERIOD);
  InjectKey(VK_LEFT);
  Pump();
  std::string chars;
  for (auto& l : rec.of(edit, WM_CHAR)) chars += static_cast<char>(l.wParam);
  EXPECT_EQ(chars, "Ab.");
  ASSERT_FALSE(rec.of(edit, WM_KEYDOWN).empty());
  std::vector<WPARAM> downs;
  for (auto& l : rec.of(edit, WM_KEYDOWN)) downs.push_back(l.wParam);
  EXPECT_EQ(downs, (std::vector<WPARAM>{VK_SHIFT, 'A', 'B', VK_OEM_PERIOD, VK_LEFT}));
  EXPECT_FALSE(GetKeyState(VK_SHIFT) < 0);

  // Caps Lock toggles; Alt makes system keys.
  InjectKey(VK_CAPITAL);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  rec.clear();
  InjectKey('Q');
  InjectKeyDown(VK_MENU);
  InjectKey(VK_F4 + 1);
  InjectKeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(rec.of(edit, WM_CHAR).at(0).wParam, static_cast<WPARAM>('Q'));
  EXPECT_FALSE(rec.of(edit, WM_SYSKEYDOWN).empty());
  InjectKey(VK_CAPITAL);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);

  // Text input arrives as characters, UTF-8 decoded.
  rec.clear();
  InjectText("é1");
  Pump();
  ASSERT_EQ(rec.of(edit, WM_CHAR).size(), 2u);
  EXPECT_EQ(rec.of(edit, WM_CHAR)[0].wParam, 0xE9u);
}

TEST_F(InputTest, WheelAndAppCommandsReachTheFocusAndBubbleUp) {
  HWND top = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
  HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, top);
  SetFocus(child);
  rec.clear();
  InjectWheel(-120, 40, 30);
  InjectAppCommand(APPCOMMAND_MEDIA_NEXTTRACK);
  InjectKey(VK_MEDIA_PLAY_PAUSE);
  Pump();
  ASSERT_EQ(rec.of(child, WM_MOUSEWHEEL).size(), 1u);
  const Logged wheel = rec.of(child, WM_MOUSEWHEEL)[0];
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel.wParam), -120);
  EXPECT_EQ(wheel.lParam, MAKELPARAM(40, 30));
  // Unhandled by the child, both travel to the parent.
  EXPECT_EQ(rec.of(top, WM_MOUSEWHEEL).size(), 1u);
  auto cmds = rec.of(top, WM_APPCOMMAND);
  ASSERT_EQ(cmds.size(), 2u);
  EXPECT_EQ(GET_APPCOMMAND_LPARAM(cmds[0].lParam), APPCOMMAND_MEDIA_NEXTTRACK);
  EXPECT_EQ(GET_APPCOMMAND_LPARAM(cmds[1].lParam), APPCOMMAND_MEDIA_PLAY_PAUSE);
  EXPECT_EQ((cmds[1].lParam >> 16) & 0xFFF, APPCOMMAND_MEDIA_PLAY_PAUSE);
}

TEST_F(InputTest, CaptionDragMovesAndBorderDragSizesTheTopLevelWindow) {
  HWND frame = Make(WS_POPUP | WS_VISIBLE, RECT{100, 100, 500, 400});
  HWND bar = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 400, 30}, frame);
  Pump();
  // The bar says "caption", the frame's edges say "border".
  rec.hooks[WM_NCHITTEST] = [&](HWND h, WPARAM, LPARAM lp) -> LRESULT {
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ScreenToClient(h, &p);
    if (h == bar) return HTCAPTION;
    if (h == frame && p.x >= 392) return HTRIGHT;
    return HTCLIENT;
  };
  InjectMouseButton(0, true, 200, 110);
  InjectMouseMove(230, 150);
  InjectMouseMove(250, 160);
  InjectMouseButton(0, false, 250, 160);
  Pump();
  RECT r;
  GetWindowRect(frame, &r);
  EXPECT_EQ(r, (RECT{150, 150, 550, 450}));
  EXPECT_EQ(rec.of(frame, WM_ENTERSIZEMOVE).size(), 1u);
  EXPECT_EQ(rec.of(frame, WM_EXITSIZEMOVE).size(), 1u);

  // Sizing by the right edge, with WM_SIZING keeping a 4:3 shape.
  rec.hooks[WM_SIZING] = [](HWND, WPARAM edge, LPARAM lp) -> LRESULT {
    auto* rc = reinterpret_cast<RECT*>(lp);
    EXPECT_EQ(edge, WMSZ_RIGHT);
    rc->bottom = rc->top + (rc->right - rc->left) * 3 / 4;
    return TRUE;
  };
  rec.clear();
  InjectMouseButton(0, true, 545, 300);
  InjectMouseMove(645, 300);
  InjectMouseButton(0, false, 645, 300);
  Pump();
  GetWindowRect(frame, &r);
  EXPECT_EQ(r, (RECT{150, 150, 650, 525}));
  EXPECT_EQ(rec.of(frame, WM_SIZE).back().lParam, MAKELPARAM(500, 375));

  // A maximised window does not move.
  ShowWindow(frame, SW_MAXIMIZE);
  InjectMouseButton(0, true, 200, 10);
  InjectMouseMove(300, 100);
  InjectMouseButton(0, false, 300, 100);
  Pump();
  GetWindowRect(frame, &r);
  EXPECT_EQ(r, (RECT{0, 0, 800, 600}));
  // A double click on the caption restores it.
  clock->advance(5000);
  InjectClick(200, 10);
  InjectClick(200, 10);
  Pump();
  EXPECT_FALSE(IsZoomed(frame));
}

TEST_F(InputTest, CursorCounterAndShapes) {
  const int start = ShowCursor(TRUE) - 1;
  EXPECT_EQ(ShowCursor(FALSE), start);
  while (ShowCursor(FALSE) >= 0) {
  }
  EXPECT_FALSE(IsCursorShown());
  while (ShowCursor(TRUE) < 0) {
  }
  HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_TRUE(hand);
  EXPECT_EQ(CursorShapeId(hand), 32649);
  EXPECT_EQ(CursorShapeId(LoadCursor(nullptr, IDC_WAIT)), 32514);
  SetCursor(hand);
  EXPECT_EQ(SetCursor(nullptr), hand);
  EXPECT_FALSE(IsCursorShown());
  SetCursor(arrow);
  EXPECT_TRUE(IsCursorShown());
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(1)), nullptr);
  SetCursorPos(20, 30);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{20, 30}));
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
}

}  // namespace
}  // namespace wintest
