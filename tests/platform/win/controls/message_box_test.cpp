#include "platform/win/controls/message_box.h"

#include <gtest/gtest.h>

#include "platform/sys/last_error.h"
#include "tests/platform/win/controls/controls_test_util.h"

namespace controls_test {
namespace {

class MessageBoxTest : public ControlsTest {
 protected:
  // Runs `answer` from inside the box's own loop, once the box shows.
  int Ask(UINT type, std::function<void(HWND box)> answer) {
    OnApp() = [this, answer] {
      box = FindWindow(kMessageBoxClass, "Question");
      seen_visible = box && IsWindowVisible(box);
      owner_enabled_meanwhile = IsWindowEnabled(frame);
      answer(box);
    };
    PostMessage(frame, WM_APP, 0, 0);
    return MessageBox(frame, "Stop the recording now?", "Question", type);
  }
  static void ClickButton(HWND box, const char* label) {
    HWND button = FindWindowEx(box, nullptr, kMessageBoxButtonClass, label);
    ASSERT_TRUE(button) << label;
    RECT r;
    GetWindowRect(button, &r);
    InjectClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  HWND box = nullptr;
  bool seen_visible = false;
  BOOL owner_enabled_meanwhile = TRUE;
};

TEST_F(MessageBoxTest, AnsweredByKeysAndClicks) {
  struct Case {
    UINT type;
    std::vector<UINT> keys;
    const char* click;
    int expected;
  };
  const Case cases[] = {
      {MB_OK, {VK_RETURN}, nullptr, IDOK},
      {MB_OK, {VK_ESCAPE}, nullptr, IDOK},
      {MB_OKCANCEL, {VK_RETURN}, nullptr, IDOK},
      {MB_OKCANCEL, {VK_ESCAPE}, nullptr, IDCANCEL},
      {MB_OKCANCEL | MB_DEFBUTTON2, {VK_RETURN}, nullptr, IDCANCEL},
      {MB_YESNO, {VK_RETURN}, nullptr, IDYES},
      {MB_YESNO, {VK_RIGHT, VK_RETURN}, nullptr, IDNO},
      {MB_YESNO, {VK_ESCAPE}, nullptr, IDNO},
      {MB_YESNOCANCEL | MB_ICONQUESTION, {VK_LEFT, VK_RETURN}, nullptr, IDCANCEL},
      {MB_YESNO, {}, "No", IDNO},
      {MB_YESNO, {}, "Yes", IDYES},
      {MB_OKCANCEL | MB_ICONSTOP, {}, "Cancel", IDCANCEL},
  };
  for (const Case& c : cases) {
    const int got = Ask(c.type, [&](HWND b) {
      for (UINT vk : c.keys) InjectKey(vk);
      if (c.click) ClickButton(b, c.click);
    });
    EXPECT_EQ(got, c.expected) << "type " << c.type << (c.click ? c.click : "");
    EXPECT_TRUE(seen_visible);
    EXPECT_FALSE(owner_enabled_meanwhile);  // modal: the owner takes no input
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_FALSE(IsWindow(box));
  }
}

TEST_F(MessageBoxTest, DrawnOverTheOwnerAndClickOutsideAButtonIsNoAnswer) {
  const int got = Ask(MB_OKCANCEL, [this](HWND b) {
    // Paint now (the box's loop has not been idle yet) and compose.
    UpdateWindow(b);
    for (HWND c = GetWindow(b, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) UpdateWindow(c);
    display::ComposeNow();
    RECT r;
    GetWindowRect(b, &r);
    // Centred on the owner and drawn: the caption bar, then the face.
    EXPECT_NEAR((r.left + r.right) / 2, 160, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, 120, 1);
    EXPECT_EQ(At(r.left + 4, r.top + 4), PixelFromColorRef(RGB(0, 48, 128)));
    EXPECT_NE(At(r.left + 4, r.top + 30), kFrameColour);
    // The owner does not react to clicks meanwhile, and a click on the
    // box's face answers nothing; then OK.
    InjectClick(r.left + 4, r.top + 30);
    InjectClick(5, 5);
    ClickButton(b, "OK");
  });
  EXPECT_EQ(got, IDOK);
  Pump();
  // Gone from the screen afterwards.
  EXPECT_EQ(At(160, 120), kFrameColour);
}

TEST_F(MessageBoxTest, QuitEndsTheBoxAndReachesTheOuterLoop) {
  const int got = Ask(MB_YESNO, [](HWND) { PostQuitMessage(3); });
  EXPECT_EQ(got, IDNO);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
  // An unsupported set of buttons is refused without showing anything.
  EXPECT_EQ(MessageBox(frame, "x", "y", 0x2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(FindWindow(kMessageBoxClass, nullptr));
}

}  // namespace
}  // namespace controls_test
