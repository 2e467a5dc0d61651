#include <gtest/gtest.h>

#include <cctype>

#include "tests/platform/win/controls/controls_test_util.h"

namespace controls_test {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

class EditTest : public ControlsTest {
 protected:
  HWND MakeEdit(DWORD style, RECT r, WORD id = 1) {
    return CreateWindowEx(0, WC_EDIT, "", WS_CHILD | WS_VISIBLE | WS_BORDER | style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, frame,
                          reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
  }
  // Types through the keyboard: key downs that the loop translates.
  static void Type(const std::string& keys) {
    for (char c : keys) {
      if (std::isalpha(static_cast<unsigned char>(c)))
        InjectKey(static_cast<UINT>(std::toupper(static_cast<unsigned char>(c))));
      else if (c == ' ')
        InjectKey(VK_SPACE);
      else
        InjectKey(static_cast<UINT>(c));
    }
    Pump();
  }
  static std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD a = 0, b = 0;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {a, b};
  }
};

TEST_F(EditTest, TypingEditingKeysLimitAndNotifications) {
  HWND edit = MakeEdit(0, RECT{10, 10, 210, 34});
  ASSERT_TRUE(edit);
  SetFocus(edit);
  Pump();
  ASSERT_EQ(Commands(EN_SETFOCUS).size(), 1u);

  Type("abc");
  InjectText("\xC3\xA9");  // é, as an input method would deliver it
  Pump();
  EXPECT_EQ(GetWindowTextString(edit), "abc\xC3\xA9");
  EXPECT_EQ(GetWindowTextLength(edit), 5);  // bytes of UTF-8
  EXPECT_EQ(Commands(EN_CHANGE).size(), 4u);
  EXPECT_EQ(Commands(EN_CHANGE)[0].lParam, reinterpret_cast<LPARAM>(edit));
  EXPECT_EQ(LOWORD(Commands(EN_CHANGE)[0].wParam), 1);
  EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{4, 4}));

  // Backspace removes the character before the caret; Home, arrows and
  // Delete move and remove; Enter and Escape type nothing.
  Type("\b");
  EXPECT_EQ(GetWindowTextString(edit), "abc");
  InjectKey(VK_HOME);
  InjectKey(VK_RIGHT);
  InjectKey(VK_DELETE);
  Pump();
  EXPECT_EQ(GetWindowTextString(edit), "ac");
  EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{1, 1}));
  Type("x");
  InjectKey(VK_END);
  InjectKey(VK_RETURN);
  InjectKey(VK_ESCAPE);
  Type("\b\b\b\b");  // one more than there is: nothing breaks
  EXPECT_EQ(GetWindowTextString(edit), "");

  // Shift+Left selects; typing replaces the selection.
  Type("hello");
  InjectKeyDown(VK_SHIFT);
  InjectKey(VK_LEFT);
  InjectKey(VK_LEFT);
  InjectKeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{3, 5}));
  Type("p");
  EXPECT_EQ(GetWindowTextString(edit), "help");

  // The length limit: what does not fit is refused and reported.
  SendMessage(edit, EM_LIMITTEXT, 6, 0);
  EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 6);
  FrameLog().clear();
  Type("ing");
  EXPECT_EQ(GetWindowTextString(edit), "helpin");
  EXPECT_EQ(Commands(EN_MAXTEXT).size(), 1u);
  SendMessage(edit, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), kEditDefaultLimit);

  // Setting the text replaces it (ignoring the limit, as typing does not),
  // puts the caret first and notifies.
  SendMessage(edit, EM_LIMITTEXT, 2, 0);
  FrameLog().clear();
  EXPECT_TRUE(SetWindowText(edit, "Marivel"));
  EXPECT_EQ(GetWindowTextString(edit), "Marivel");
  EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 0}));
  EXPECT_EQ(Commands(EN_CHANGE).size(), 1u);
  char small[4];
  EXPECT_EQ(GetWindowText(edit, small, sizeof small), 3);
  EXPECT_STREQ(small, "Mar");
  // Focus moving away is reported.
  SetFocus(frame);
  Pump();
  EXPECT_EQ(Commands(EN_KILLFOCUS).size(), 1u);
}

TEST_F(EditTest, NumberStyleReadOnlyAndClickPlacesTheCaret) {
  HWND edit = MakeEdit(ES_NUMBER, RECT{10, 10, 210, 34});
  SetFocus(edit);
  Type("a1b2 3");
  EXPECT_EQ(GetWindowTextString(edit), "123");
  // A click at the left of the text puts the caret first.
  InjectClick(14, 20);
  Pump();
  EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 0}));
  EXPECT_EQ(GetFocus(), edit);
  SendMessage(edit, EM_SETREADONLY, TRUE, 0);
  Type("4\b");
  EXPECT_EQ(GetWindowTextString(edit), "123");
  // EM_SETSEL(0, -1) selects all; EM_REPLACESEL types over it.
  SendMessage(edit, EM_SETREADONLY, FALSE, 0);
  SendMessage(edit, EM_SETSEL, 0, -1);
  EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 3}));
  SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("42"));
  EXPECT_EQ(GetWindowTextString(edit), "42");
}

// The password character hides the text on screen, not from the program.
TEST_F(EditTest, PasswordCharacterIsWhatTheScreenShows) {
  HWND secret = MakeEdit(0, RECT{10, 10, 150, 34}, 1);
  HWND plain = MakeEdit(0, RECT{10, 50, 150, 74}, 2);
  SendMessage(secret, EM_SETPASSWORDCHAR, '*', 0);
  EXPECT_EQ(SendMessage(secret, EM_GETPASSWORDCHAR, 0, 0), '*');
  SetWindowText(secret, "abcd");
  SetWindowText(plain, "****");
  Pump();
  EXPECT_EQ(GetWindowTextString(secret), "abcd");
  int differing = 0, inked = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 140; ++x) {
      differing += At(10 + x, 10 + y) != At(10 + x, 50 + y);
      inked += At(10 + x, 10 + y) != kWhite;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(inked, 140 * 2 + 20);  // more than the border: the stars are drawn
  // Without the password character the text itself shows.
  SendMessage(secret, EM_SETPASSWORDCHAR, 0, 0);
  Pump();
  differing = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 140; ++x) differing += At(10 + x, 10 + y) != At(10 + x, 50 + y);
  EXPECT_GT(differing, 0);
  // ES_PASSWORD at creation means '*'.
  HWND styled = MakeEdit(ES_PASSWORD, RECT{10, 90, 150, 114}, 3);
  EXPECT_EQ(SendMessage(styled, EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST_F(EditTest, CaretFollowsTypingAndBlinksWhileFocused) {
  HWND edit = MakeEdit(0, RECT{10, 10, 210, 40});
  HFONT big = CreateFontA(-20, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
  SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
  EXPECT_EQ(SendMessage(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big));
  SetFocus(edit);
  Type("ab ");
  const LRESULT start = SendMessage(edit, EM_POSFROMCHAR, 0, 0);
  const LRESULT pos = SendMessage(edit, EM_POSFROMCHAR, 3, 0);
  const int caret_x = 10 + GET_X_LPARAM(pos);
  const int mid_y = 10 + 15;
  EXPECT_GT(GET_X_LPARAM(pos), GET_X_LPARAM(start) + 10);  // after two letters and a space
  EXPECT_EQ(At(caret_x, mid_y), 0xFF000000u);
  // Half a blink period later the caret is off, then on again.
  clock->advance(kCaretBlinkMs);
  Pump();
  EXPECT_EQ(At(caret_x, mid_y), kWhite);
  clock->advance(kCaretBlinkMs);
  Pump();
  EXPECT_EQ(At(caret_x, mid_y), 0xFF000000u);
  // Moving the caret moves the line.
  InjectKey(VK_HOME);
  Pump();
  EXPECT_EQ(At(caret_x, mid_y), kWhite);
  EXPECT_EQ(At(10 + GET_X_LPARAM(start), mid_y), 0xFF000000u);
  // Without the focus there is no caret, however long one waits.
  SetFocus(frame);
  for (int i = 0; i < 3; ++i) {
    clock->advance(kCaretBlinkMs);
    Pump();
    EXPECT_EQ(At(10 + GET_X_LPARAM(start), mid_y), kWhite);
  }
  DestroyWindow(edit);
  DeleteObject(big);
}

// A caller's procedure put in front of the edit sees its messages first and
// passes on what it keeps.
WNDPROC g_edit_proc = nullptr;
LRESULT DigitsOnly(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_KEYDOWN && !((w >= '0' && w <= '9') || w == VK_BACK || w == VK_LEFT || w == VK_RIGHT)) return 0;
  if (msg == WM_CHAR && !((w >= '0' && w <= '9') || w == '\b')) return 0;
  return CallWindowProc(g_edit_proc, h, msg, w, l);
}

TEST_F(EditTest, SubclassedEditFiltersWhatItIsGiven) {
  HWND edit = MakeEdit(0, RECT{10, 10, 210, 34});
  g_edit_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtr(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DigitsOnly)));
  ASSERT_TRUE(g_edit_proc);
  SetFocus(edit);
  Type("a1b2c3");
  InjectText("x");
  Type("\b");
  EXPECT_EQ(GetWindowTextString(edit), "12");
  // Put back, the edit takes everything again.
  SetWindowLongPtr(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_edit_proc));
  Type("z");
  EXPECT_EQ(GetWindowTextString(edit), "12z");
}

}  // namespace
}  // namespace controls_test
