// The filtered edit field: which keys and characters pass, what the parent
// hears, and Up and Down taken only from key-downs.
#include <gtest/gtest.h>

#include "bars_fixture.h"
#include "lounge/shell/edit_wrapper.h"
#include "platform/win/keys.h"

namespace bars {
namespace {

TEST(EditWrapperFilter, KeysByClassWithTheAlwaysAdmittedOnes) {
  using plat::UINT;
  const UINT always[] = {plat::VK_BACK, plat::VK_RETURN, plat::VK_LEFT, plat::VK_UP, plat::VK_RIGHT, plat::VK_DOWN};
  for (UINT vk : always) EXPECT_TRUE(CEditWrapper::AdmitsKey(0, vk)) << vk;
  struct Case {
    UINT vk;
    plat::DWORD admittedBy;
  } cases[] = {{'0', EDIT_ADMIT_DIGITS},      {'9', EDIT_ADMIT_DIGITS},
               {plat::VK_NUMPAD0, EDIT_ADMIT_DIGITS}, {plat::VK_NUMPAD9, EDIT_ADMIT_DIGITS},
               {plat::VK_OEM_PERIOD, EDIT_ADMIT_PERIOD}, {'A', EDIT_ADMIT_OTHER},
               {plat::VK_DECIMAL, EDIT_ADMIT_OTHER}, {plat::VK_SPACE, EDIT_ADMIT_OTHER}};
  for (const Case& c : cases) {
    for (plat::DWORD flags : {EDIT_ADMIT_DIGITS, EDIT_ADMIT_PERIOD, EDIT_ADMIT_OTHER}) {
      EXPECT_EQ(CEditWrapper::AdmitsKey(flags, c.vk), flags == c.admittedBy) << c.vk << " flags " << flags;
      // Other bits never take a class away.
      EXPECT_TRUE(CEditWrapper::AdmitsKey(c.admittedBy | flags | 1, c.vk));
    }
  }
}

TEST(EditWrapperFilter, CharactersByTheirOwnClass) {
  EXPECT_TRUE(CEditWrapper::AdmitsChar(0, '\b'));
  EXPECT_TRUE(CEditWrapper::AdmitsChar(0, '\r'));
  struct Case {
    plat::UINT ch;
    plat::DWORD admittedBy;
  } cases[] = {{'0', EDIT_ADMIT_DIGITS}, {'7', EDIT_ADMIT_DIGITS}, {'.', EDIT_ADMIT_PERIOD},
               {'&', EDIT_ADMIT_OTHER},  {'(', EDIT_ADMIT_OTHER},  {'a', EDIT_ADMIT_OTHER},
               {0xE4, EDIT_ADMIT_OTHER}, {'\t', EDIT_ADMIT_OTHER}};
  for (const Case& c : cases)
    for (plat::DWORD flags : {EDIT_ADMIT_DIGITS, EDIT_ADMIT_PERIOD, EDIT_ADMIT_OTHER})
      EXPECT_EQ(CEditWrapper::AdmitsChar(flags, c.ch), flags == c.admittedBy) << c.ch << " flags " << flags;
}

class EditWrapperTest : public ::testing::Test {
 protected:
  EditWrapperTest() : env({400, 300}, RECT{0, 0, 400, 300}) {}
  // A focused field with `flags` on the frame.
  std::unique_ptr<CEditWrapper> MakeEdit(plat::DWORD flags) {
    auto edit = std::make_unique<CEditWrapper>(flags);
    EXPECT_TRUE(edit->Create(plat::WS_CHILD | plat::WS_VISIBLE | plat::WS_BORDER, RECT{10, 10, 200, 40},
                             env.frame.window, 1));
    plat::SetFocus(edit->Window());
    FrameLog().clear();
    return edit;
  }
  void Type(plat::UINT vk) {
    plat::InjectKey(vk);
    Pump();
  }
  static std::vector<Posted> Of(plat::UINT msg) {
    std::vector<Posted> out;
    for (const Posted& p : FrameLog())
      if (p.msg == msg) out.push_back(p);
    return out;
  }
  BarsEnvironment env;
};

TEST_F(EditWrapperTest, ADigitsFieldTakesDigitsBackspaceEnterAndArrowsOnly) {
  auto edit = MakeEdit(EDIT_ADMIT_DIGITS);
  for (plat::UINT vk : {plat::UINT{'1'}, plat::UINT{'A'}, plat::VK_NUMPAD0 + 2, plat::VK_OEM_PERIOD, plat::VK_SPACE,
                        plat::UINT{'3'}})
    Type(vk);
  EXPECT_EQ(plat::GetWindowTextString(edit->Window()), "123");
  Type(plat::VK_BACK);
  EXPECT_EQ(plat::GetWindowTextString(edit->Window()), "12");

  // Shift+7 is a digit key but types '&', which the field refuses.
  FrameLog().clear();
  plat::InjectKeyDown(plat::VK_SHIFT);
  plat::InjectKey('7');
  plat::InjectKeyUp(plat::VK_SHIFT);
  Pump();
  EXPECT_EQ(plat::GetWindowTextString(edit->Window()), "12");
  const auto reports = Of(WM_EDIT_KEY);
  ASSERT_EQ(reports.size(), 1u);  // the key-down; no character
  EXPECT_EQ(reports[0].lParam, '7');
}

TEST_F(EditWrapperTest, TheParentHearsKeysAndCharactersWithTheFieldsHandle) {
  auto edit = MakeEdit(EDIT_ADMIT_DIGITS | EDIT_ADMIT_PERIOD);
  Type('4');
  Type(plat::VK_OEM_PERIOD);
  Type(plat::VK_RETURN);
  EXPECT_EQ(plat::GetWindowTextString(edit->Window()), "4.");
  std::vector<plat::LPARAM> keys;
  for (const Posted& p : Of(WM_EDIT_KEY)) {
    EXPECT_EQ(reinterpret_cast<HWND>(p.wParam), edit->Window());
    keys.push_back(p.lParam);
  }
  // Each key-down is followed by its character.
  EXPECT_EQ(keys, (std::vector<plat::LPARAM>{'4', '4', plat::VK_OEM_PERIOD, '.', plat::VK_RETURN, '\r'}));
  EXPECT_TRUE(Of(WM_EDIT_NAVIGATE_KEY).empty());
}

TEST_F(EditWrapperTest, UpAndDownComeOnlyFromKeyDownsAndGiveTheParentTheFocus) {
  auto edit = MakeEdit(EDIT_ADMIT_OTHER);
  // '&' and '(' are the characters that share Up's and Down's numbers.
  plat::SendMessage(edit->Window(), plat::WM_CHAR, '&', 0);
  plat::SendMessage(edit->Window(), plat::WM_CHAR, '(', 0);
  Pump();
  EXPECT_EQ(plat::GetWindowTextString(edit->Window()), "&(");
  EXPECT_TRUE(Of(WM_EDIT_NAVIGATE_KEY).empty());
  EXPECT_EQ(Of(WM_EDIT_KEY).size(), 2u);
  EXPECT_EQ(plat::GetFocus(), edit->Window());

  Type(plat::VK_DOWN);
  auto nav = Of(WM_EDIT_NAVIGATE_KEY);
  ASSERT_EQ(nav.size(), 1u);
  EXPECT_EQ(nav[0].lParam, static_cast<plat::LPARAM>(plat::VK_DOWN));
  EXPECT_EQ(reinterpret_cast<HWND>(nav[0].wParam), edit->Window());
  EXPECT_EQ(plat::GetFocus(), env.frame.window);
  EXPECT_EQ(plat::GetWindowTextString(edit->Window()), "&(");

  // Left and Right are reported but do not move the caret: typing goes on at
  // the end.
  plat::SetFocus(edit->Window());
  Type(plat::VK_LEFT);
  Type('X');
  EXPECT_EQ(plat::GetWindowTextString(edit->Window()), "&(x");
}

TEST_F(EditWrapperTest, AFieldDestroyedWithItsParentIsLetGo) {
  auto edit = MakeEdit(EDIT_ADMIT_DIGITS);
  Type('5');
  plat::DestroyWindow(env.frame.window);
  Pump();
  EXPECT_EQ(edit->Window(), nullptr);
  edit.reset();  // nothing left to destroy
}

}  // namespace
}  // namespace bars
