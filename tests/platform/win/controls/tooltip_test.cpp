#include <gtest/gtest.h>

#include "tests/platform/win/controls/controls_test_util.h"

namespace controls_test {
namespace {

const std::uint32_t kTipBackground = PixelFromColorRef(kTooltipBackground);
const std::uint32_t kTipBorder = PixelFromColorRef(kTooltipText);

class TooltipTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    tip = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, frame,
                         nullptr, nullptr, nullptr);
    ASSERT_TRUE(tip);
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 100);
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = frame;
    tool.uId = reinterpret_cast<UINT_PTR>(frame);
    tool.lpszText = empty;
    ASSERT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tool)));
  }
  void SetText(const char* text) {
    std::string copy = text;
    tool.lpszText = copy.data();
    SendMessage(tip, TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = empty;
  }
  void TearDown() override {
    if (IsWindow(tip)) DestroyWindow(tip);
    ControlsTest::TearDown();
  }
  RECT Box() const {
    RECT r{};
    GetWindowRect(tip, &r);
    return r;
  }
  // Pixels of the text colour inside the box.
  int Ink(const RECT& r) const {
    int n = 0;
    for (int y = r.top + 2; y < r.bottom - 2; ++y)
      for (int x = r.left + 2; x < r.right - 2; ++x) n += At(x, y) != kTipBackground;
    return n;
  }

  HWND tip = nullptr;
  TOOLINFO tool;
  char empty[1] = "";
};

TEST_F(TooltipTest, ShowsWhereTrackedWithItsTextAndHidesWhenDeactivated) {
  EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessage(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 100);
  EXPECT_FALSE(IsWindowVisible(tip));
  HWND focus_before = GetFocus();

  SetText("Play");
  SendMessage(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  SendMessage(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(100, 50));
  Pump();
  ASSERT_TRUE(IsWindowVisible(tip));
  RECT box = Box();
  EXPECT_EQ(box.left, 100);
  EXPECT_EQ(box.top, 50);
  EXPECT_GT(box.right - box.left, 2 * kTooltipMargin);
  // On screen: the border, the background and some text inside.
  EXPECT_EQ(At(100, 50), kTipBorder);
  EXPECT_EQ(At(box.right - 1, box.bottom - 1), kTipBorder);
  EXPECT_EQ(At(101, 51), kTipBackground);
  EXPECT_GT(Ink(box), 10);
  EXPECT_EQ(At(99, 50), kFrameColour);
  EXPECT_EQ(At(box.right, box.bottom), kFrameColour);
  // A tooltip never takes the focus or activation.
  EXPECT_EQ(GetFocus(), focus_before);
  EXPECT_NE(GetActiveWindow(), tip);
  char text[16];
  TOOLINFO query = tool;
  query.lpszText = text;
  EXPECT_EQ(SendMessage(tip, TTM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(&query)), 4);
  EXPECT_STREQ(text, "Play");

  // A longer text makes a wider box; tracking moves it and uncovers the
  // old place.
  const int narrow = box.right - box.left;
  SetText("Previous Chapter");
  SendMessage(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(20, 150));
  Pump();
  box = Box();
  EXPECT_EQ(box.left, 20);
  EXPECT_EQ(box.top, 150);
  EXPECT_GT(box.right - box.left, narrow);
  EXPECT_EQ(At(20, 150), kTipBorder);
  EXPECT_EQ(At(101, 51), kFrameColour);

  // Deactivated, it is gone from the screen.
  SendMessage(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  Pump();
  EXPECT_FALSE(IsWindowVisible(tip));
  EXPECT_EQ(At(20, 150), kFrameColour);
  // TTM_POP hides an active one too.
  SendMessage(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  Pump();
  EXPECT_TRUE(IsWindowVisible(tip));
  SendMessage(tip, TTM_POP, 0, 0);
  EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(TooltipTest, MaximumWidthWrapsAndTheFontSetsTheSize) {
  SetText("Skip to the next chapter of the disc");
  SendMessage(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(10, 10));
  SendMessage(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  Pump();
  const RECT one_line = Box();
  const int one_line_ink = Ink(one_line);
  EXPECT_EQ(SendMessage(tip, TTM_GETMAXTIPWIDTH, 0, 0), -1);
  EXPECT_EQ(SendMessage(tip, TTM_SETMAXTIPWIDTH, 0, 90), -1);
  Pump();
  const RECT wrapped = Box();
  EXPECT_LE(wrapped.right - wrapped.left, 90);
  EXPECT_GT(wrapped.bottom - wrapped.top, 2 * (one_line.bottom - one_line.top) - 2 * kTooltipMargin - 2);

  SendMessage(tip, TTM_SETMAXTIPWIDTH, 0, -1);
  HFONT big = CreateFontA(40, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 4, 0, "Liberation Sans");
  SendMessage(tip, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
  Pump();
  const RECT large = Box();
  EXPECT_EQ(large.bottom - large.top, 40 + 2 * kTooltipMargin);
  EXPECT_GT(large.right - large.left, one_line.right - one_line.left);
  EXPECT_GT(Ink(large), one_line_ink);
  // Removing the tracked tool hides the tip.
  SendMessage(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
  EXPECT_FALSE(IsWindowVisible(tip));
  EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
  DestroyWindow(tip);
  DeleteObject(big);
}

}  // namespace
}  // namespace controls_test
