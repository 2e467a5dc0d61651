#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lounge/skin/layout_reader.h"
#include "lounge/skin/list_state.h"
#include "temp_folder.h"

namespace {

using plat::RECT;

// Two lists; the first has one entry of each kind, the second none.
constexpr const char* kLayout = R"(<layout>
  <image value="b.bmp"/><position left="0" top="0" width="100" height="100"/>
  <action value="Play"><image value="p.bmp"/><position left="1" top="1" width="1" height="1"/></action>
  <action value="Play"><image value="p2.bmp"/><position left="2" top="2" width="1" height="1"/>
    <tooltips value="TIP"/></action>
  <link value="L"><image value="l.bmp"/><hyperlink value="X"/><position left="1" top="1" width="1" height="1"/></link>
  <text value="T"><position left="1" top="1" width="1" height="1"/></text>
  <still_image value="S"><image value="s.bmp"/><position left="1" top="1" width="1" height="1"/></still_image>
  <progress value="P"><image value="g.bmp"/><position left="1" top="1" width="1" height="1"/></progress>
  <indicator value="I"><image value="i.bmp"/><indi_image value="k.bmp"/>
    <position left="1" top="1" width="1" height="1"/></indicator>
  <list value="A"><position left="1" top="1" width="1" height="1"/><image value="a.bmp"/>
    <list_item value="0"><image value="r.bmp"/><position left="1" top="1" width="1" height="1"/></list_item>
    <list_action value="pageup"><image value="u.bmp"/><position left="1" top="1" width="1" height="1"/></list_action>
    <list_link value="K"><image value="k.bmp"/><hyperlink value="Y"/>
      <position left="1" top="1" width="1" height="1"/></list_link>
    <list_text value="LT"><position left="1" top="1" width="1" height="1"/></list_text>
    <list_image value="LI"><image value="f.bmp"/><position left="1" top="1" width="1" height="1"/></list_image>
  </list>
  <list value="B"><position left="2" top="2" width="1" height="1"/><image/></list>
</layout>)";

class LayoutQueriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    skin_.Write("Layout/XML/Q/layout.xml", kLayout);
    reader_ = std::make_unique<CLayoutReader>("Q", skin_.path());
    ASSERT_EQ(reader_->LoadAll(), 1);
  }
  TempFolder skin_;
  std::unique_ptr<CLayoutReader> reader_;
};

// Every indexed query refuses indices outside its table and leaves its
// outputs untouched; index 0 is accepted.
TEST_F(LayoutQueriesTest, IndexChecksOfEveryQuery) {
  const CLayoutReader& r = *reader_;
  std::string s;
  RECT rect;
  int n = 0;
  plat::COLORREF c = 0;
  std::string s2;
  using Query = std::function<int(int)>;
  struct Case {
    const char* name;
    int count;
    Query query;
  };
  const std::vector<Case> single = {
      {"GetButtonAction", 2, [&](int i) { return r.GetButtonAction(s, i); }},
      {"GetButtonImage", 2, [&](int i) { return r.GetButtonImage(s, i); }},
      {"GetButtonRect", 2, [&](int i) { return r.GetButtonRect(rect, i); }},
      {"GetLinkName", 1, [&](int i) { return r.GetLinkName(s, i); }},
      {"GetLinkImage", 1, [&](int i) { return r.GetLinkImage(s, i); }},
      {"GetLinkTarget", 1, [&](int i) { return r.GetLinkTarget(s, i); }},
      {"GetLinkRect", 1, [&](int i) { return r.GetLinkRect(rect, i); }},
      {"GetStillImageName", 1, [&](int i) { return r.GetStillImageName(s, i); }},
      {"GetStillImageFile", 1, [&](int i) { return r.GetStillImageFile(s, i); }},
      {"GetStillImageRect", 1, [&](int i) { return r.GetStillImageRect(rect, i); }},
      {"GetTextName", 1, [&](int i) { return r.GetTextName(s, i); }},
      {"GetTextRect", 1, [&](int i) { return r.GetTextRect(rect, i); }},
      {"GetTextFont", 1, [&](int i) { return r.GetTextFont(s, i); }},
      {"GetTextDependency", 1, [&](int i) { return r.GetTextDependency(s, i); }},
      {"GetTextColors", 1, [&](int i) { return r.GetTextColors(i, c, c, c, c); }},
      {"GetTextAlign", 1, [&](int i) { return r.GetTextAlign(n, i); }},
      {"GetTextDynamicFit", 1, [&](int i) { return r.GetTextDynamicFit(n, i); }},
      {"GetProgressName", 1, [&](int i) { return r.GetProgressName(s, i); }},
      {"GetProgressImage", 1, [&](int i) { return r.GetProgressImage(s, i); }},
      {"GetProgressRect", 1, [&](int i) { return r.GetProgressRect(rect, i); }},
      {"GetIndicatorImages", 1, [&](int i) { return r.GetIndicatorImages(i, s, s2); }},
      {"GetIndicatorRect", 1, [&](int i) { return r.GetIndicatorRect(rect, i); }},
      {"GetListName", 2, [&](int i) { return r.GetListName(s, i); }},
      {"GetListImage", 2, [&](int i) { return r.GetListImage(s, i); }},
      {"GetListRect", 2, [&](int i) { return r.GetListRect(rect, i); }},
      {"GetListItemCount", 2, [&](int i) { return r.GetListItemCount(n, i); }},
      {"GetListActionCount", 2, [&](int i) { return r.GetListActionCount(n, i); }},
      {"GetListLinkCount", 2, [&](int i) { return r.GetListLinkCount(n, i); }},
      {"GetListTextCount", 2, [&](int i) { return r.GetListTextCount(n, i); }},
      {"GetListImageCount", 2, [&](int i) { return r.GetListImageCount(n, i); }},
  };
  for (const Case& q : single) {
    for (int bad : {-1, q.count, q.count + 5}) {
      s = s2 = "untouched";
      rect = RECT{9, 9, 9, 9};
      n = 77;
      c = 77;
      EXPECT_EQ(q.query(bad), 0) << q.name << "(" << bad << ")";
      EXPECT_EQ(s, "untouched") << q.name;
      EXPECT_EQ(s2, "untouched") << q.name;
      EXPECT_EQ(rect, (RECT{9, 9, 9, 9})) << q.name;
      EXPECT_EQ(n, 77) << q.name;
      EXPECT_EQ(c, 77u) << q.name;
    }
    EXPECT_EQ(q.query(0), 1) << q.name;
    EXPECT_EQ(q.query(q.count - 1), 1) << q.name;
  }

  // List entries: list 0 holds one entry of each kind, list 1 none, list 2 is
  // no list at all.
  using EntryQuery = std::function<int(int, int)>;
  const std::vector<std::pair<const char*, EntryQuery>> entries = {
      {"GetListItemImage", [&](int j, int l) { return r.GetListItemImage(s, j, l); }},
      {"GetListItemRect", [&](int j, int l) { return r.GetListItemRect(rect, j, l); }},
      {"GetListItemTextRect", [&](int j, int l) { return r.GetListItemTextRect(rect, j, l); }},
      {"GetListItemCheckRect", [&](int j, int l) { return r.GetListItemCheckRect(rect, j, l); }},
      {"GetListItemIconImage", [&](int j, int l) { return r.GetListItemIconImage(s, j, l); }},
      {"GetListItemIconRect", [&](int j, int l) { return r.GetListItemIconRect(rect, j, l); }},
      {"GetListActionName", [&](int j, int l) { return r.GetListActionName(s, j, l); }},
      {"GetListActionImage", [&](int j, int l) { return r.GetListActionImage(s, j, l); }},
      {"GetListActionRect", [&](int j, int l) { return r.GetListActionRect(rect, j, l); }},
      {"GetListLinkName", [&](int j, int l) { return r.GetListLinkName(s, j, l); }},
      {"GetListLinkImage", [&](int j, int l) { return r.GetListLinkImage(s, j, l); }},
      {"GetListLinkTarget", [&](int j, int l) { return r.GetListLinkTarget(s, j, l); }},
      {"GetListLinkRect", [&](int j, int l) { return r.GetListLinkRect(rect, j, l); }},
      {"GetListTextName", [&](int j, int l) { return r.GetListTextName(s, j, l); }},
      {"GetListTextRect", [&](int j, int l) { return r.GetListTextRect(rect, j, l); }},
      {"GetListTextFont", [&](int j, int l) { return r.GetListTextFont(s, j, l); }},
      {"GetListTextDependency", [&](int j, int l) { return r.GetListTextDependency(s, j, l); }},
      {"GetListTextColors", [&](int j, int l) { return r.GetListTextColors(j, l, c, c, c, c); }},
      {"GetListTextAlign", [&](int j, int l) { return r.GetListTextAlign(n, j, l); }},
      {"GetListTextDynamicFit", [&](int j, int l) { return r.GetListTextDynamicFit(n, j, l); }},
      {"GetListImageName", [&](int j, int l) { return r.GetListImageName(s, j, l); }},
      {"GetListImageFile", [&](int j, int l) { return r.GetListImageFile(s, j, l); }},
      {"GetListImageRect", [&](int j, int l) { return r.GetListImageRect(rect, j, l); }},
  };
  for (const auto& [name, query] : entries) {
    const std::pair<int, int> refused[] = {{-1, 0}, {1, 0}, {0, 1}, {0, 2}, {0, -1}, {0, 5}};
    for (auto [j, l] : refused) {
      s = "untouched";
      rect = RECT{9, 9, 9, 9};
      n = 77;
      c = 77;
      EXPECT_EQ(query(j, l), 0) << name << "(" << j << ", " << l << ")";
      EXPECT_EQ(s, "untouched") << name;
      EXPECT_EQ(rect, (RECT{9, 9, 9, 9})) << name;
      EXPECT_EQ(n, 77) << name;
      EXPECT_EQ(c, 77u) << name;
    }
    EXPECT_EQ(query(0, 0), 1) << name;
  }
}

TEST_F(LayoutQueriesTest, CountsAlwaysSucceed) {
  int n = -1;
  EXPECT_EQ(reader_->GetButtonCount(n), 1);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(reader_->GetListItemCount(n, 1), 1);
  EXPECT_EQ(n, 0);
  CLayoutReader unloaded("Nowhere", skin_.path());
  EXPECT_EQ(unloaded.GetTextCount(n), 1);
  EXPECT_EQ(n, 0);
}

TEST_F(LayoutQueriesTest, FindsCompareWholeNamesExactly) {
  int i = 42;
  EXPECT_EQ(reader_->FindButton("play", i), 0);
  EXPECT_EQ(reader_->FindButton("Pla", i), 0);
  EXPECT_EQ(i, 42);
  // The first of two buttons with one action is found.
  EXPECT_EQ(reader_->FindButton("Play", i), 1);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(reader_->FindLink("L", i), 1);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(reader_->FindText("T", i), 1);
  EXPECT_EQ(reader_->FindStillImage("S", i), 1);
  EXPECT_EQ(reader_->FindProgress("P", i), 1);
  EXPECT_EQ(reader_->FindList("B", i), 1);
  EXPECT_EQ(i, 1);
  i = 42;
  EXPECT_EQ(reader_->FindListAction("pageup", i, 0), 1);
  EXPECT_EQ(i, 0);
  i = 42;
  EXPECT_EQ(reader_->FindListAction("pageup", i, 1), 0);
  EXPECT_EQ(reader_->FindListAction("pageup", i, 7), 0);
  EXPECT_EQ(reader_->FindListLink("K", i, 2), 0);
  EXPECT_EQ(i, 42);
  EXPECT_EQ(reader_->FindListLink("K", i, 0), 1);
  EXPECT_EQ(reader_->FindListText("LT", i, 0), 1);
  EXPECT_EQ(reader_->FindListText("lt", i, 0), 0);

  std::string file = "untouched";
  EXPECT_EQ(reader_->GetStillImageFileByName("Nope", file), 0);
  EXPECT_EQ(file, "untouched");
  EXPECT_EQ(reader_->GetStillImageFileByName("S", file), 1);
  EXPECT_EQ(file, reader_->GetFolder() + "/s.bmp");
}

TEST_F(LayoutQueriesTest, TooltipsReportOnlyNonEmptyTexts) {
  std::string tip = "untouched";
  // A button without "tooltips" gives 0 and an empty text.
  EXPECT_EQ(reader_->GetButtonTooltip(tip, 0), 0);
  EXPECT_EQ(tip, "");
  EXPECT_EQ(reader_->GetButtonTooltip(tip, 1), 1);
  EXPECT_EQ(tip, "TIP");
  tip = "untouched";
  EXPECT_EQ(reader_->GetButtonTooltip(tip, 2), 0);
  EXPECT_EQ(tip, "untouched");
  EXPECT_EQ(reader_->GetLinkTooltip(tip, 0), 0);
  EXPECT_EQ(tip, "");
}

TEST(LayoutRecordsTest, ConstructionDefaults) {
  LayoutText text;
  EXPECT_EQ(text.normalColor, 0xFFFFFFu);
  EXPECT_EQ(text.highlightColor, 0xA03D1Fu);
  EXPECT_EQ(text.pressedColor, 0xFFFFFFu);
  EXPECT_EQ(text.disabledColor, 0xFF8635u);
  EXPECT_EQ(text.font, "FONT1");
  EXPECT_EQ(text.align, 2);
  EXPECT_EQ(text.dynamicFit, 0);
  EXPECT_EQ(text.rect, RECT{});
  LayoutHotkey hotkey;
  EXPECT_EQ(hotkey.keyCode, 0u);
  EXPECT_EQ(hotkey.action, "");

  CListState state;
  EXPECT_EQ(state.highlightedItem, -1);
  EXPECT_EQ(state.pressedItem, -1);
  EXPECT_EQ(state.highlightedListLink, -1);
  EXPECT_EQ(state.pressedListLink, -1);
  EXPECT_EQ(state.highlightedListAction, -1);
  EXPECT_EQ(state.pressedListAction, -1);
  EXPECT_EQ(state.shown, 1);
  EXPECT_EQ(state.selectedItem, -1);
  EXPECT_EQ(state.rememberedEntry, -1);
  EXPECT_TRUE(state.itemStates.empty());
}

TEST(LayoutRecordsTest, ListsCopyDeeply) {
  CLayoutList list;
  list.name = "A";
  LayoutListItem item;
  item.image = "r.bmp";
  list.items.push_back(item);
  CLayoutList copy = list;
  list.items[0].image = "changed";
  list.items.push_back(LayoutListItem{});
  std::string image;
  EXPECT_EQ(copy.GetItemImage(image, 0), 1);
  EXPECT_EQ(image, "r.bmp");
  int n = 0;
  copy.GetItemCount(n);
  EXPECT_EQ(n, 1);
}

}  // namespace
