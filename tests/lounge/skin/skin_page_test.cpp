#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "lounge/skin/skin_report.h"
#include "skin_page_fixture.h"

namespace {

using namespace skinpage;

constexpr int kPlay = 1, kStop = 2, kLink = 3, kGridItem = 5, kPageUp = 6, kPageDown = 7, kSideItem = 8,
              kSideLink = 9, kSubButton = 10;
constexpr std::uint32_t kEmptyBar = 0xFF102030u, kFullBar = 0xFFE0D0C0u, kDial = 0xFF204060u, kKnob = 0xFF00FF00u,
                        kBackground = 0xFF303030u, kLogo = 0xFFAA5500u;

std::string Button(const std::string& action, const std::string& image, int l, int t, const std::string& extra = "") {
  return "<action value=\"" + action + "\">" + Img(image) + Pos(l, t, 30, 20) + extra + "</action>";
}

// The grid: nine slots in three columns and three rows, "pageup" and
// "pagedown" to the right of the last column, and an index text below.
std::string GridList() {
  std::string body = "<list value=\"Grid\">" + Pos(10, 60, 180, 100) + Img("grid.bmp");
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      body += "<list_item value=\"slot\">" + Img("item.bmp") + Pos(15 + 45 * c, 65 + 25 * r, 40, 20) + "</list_item>";
  body += "<list_action value=\"pageup\">" + Img("pageup.bmp") + Pos(155, 65, 30, 20) + "</list_action>";
  body += "<list_action value=\"pagedown\">" + Img("pagedown.bmp") + Pos(155, 115, 30, 20) + "</list_action>";
  body += "<list_text value=\"item index\">" + Pos(20, 142, 100, 14) + "</list_text>";
  return body + "</list>";
}

std::string SideList() {
  std::string body = "<list value=\"Side\">" + Pos(200, 60, 100, 100) + "<image value=\"\"/>";
  for (int r = 0; r < 3; ++r)
    body += "<list_item value=\"side\">" + Img("side.bmp") + Pos(205, 65 + 25 * r, 90, 20) + "</list_item>";
  body += "<list_link value=\"SideLink\">" + Img("sidelink.bmp") + "<hyperlink value=\"Test\\Sub\"/>" +
          Pos(205, 140, 90, 15) + "</list_link>";
  return body + "</list>";
}

class SkinPageTest : public ::testing::Test {
 protected:
  SkinPageTest() : env(plat::SIZE{640, 480}) {}

  void SetUp() override {
    ASSERT_TRUE(env.started);
    const TempFolder& skin = env.skin;
    const std::string mainFolder = "Layout/XML/Test/Main/", subFolder = "Layout/XML/Test/Sub/";
    for (const std::string& folder : {mainFolder, subFolder}) WriteSolid(skin, folder + "bg.bmp", kBackground, 16, 16);
    WriteStrip(skin, mainFolder + "play.bmp", kPlay);
    WriteStrip(skin, mainFolder + "stop.bmp", kStop);
    WriteStrip(skin, mainFolder + "link.bmp", kLink);
    WriteStrip(skin, mainFolder + "item.bmp", kGridItem);
    WriteStrip(skin, mainFolder + "pageup.bmp", kPageUp);
    WriteStrip(skin, mainFolder + "pagedown.bmp", kPageDown);
    WriteStrip(skin, mainFolder + "side.bmp", kSideItem);
    WriteStrip(skin, mainFolder + "sidelink.bmp", kSideLink);
    WriteStrip(skin, subFolder + "back.bmp", kSubButton);
    WriteSolid(skin, mainFolder + "grid.bmp", kBackground, 8, 8);
    WriteSolid(skin, mainFolder + "logo.bmp", kLogo, 8, 8);
    WriteSolid(skin, mainFolder + "progress.bmp", kEmptyBar, 40, 4, kFullBar);
    WriteSolid(skin, mainFolder + "dial.bmp", kDial, 20, 4);
    WriteSolid(skin, mainFolder + "knob.bmp", kKnob, 4, 8);
    WriteLayout(skin, "Test\\Main", 320, 240,
                Button("Play", "play.bmp", 10, 10, "<tooltips value=\"TipPlay\"/>") + Button("Stop", "stop.bmp", 50, 10) +
                    "<link value=\"GoSub\">" + Img("link.bmp") + "<hyperlink value=\"Test\\Sub\"/>" +
                    Pos(90, 10, 30, 20) + "</link>" + "<text value=\"Title\">" + Pos(130, 10, 60, 16) +
                    "<dependency value=\"Play\"/><color normalcolor=\"0x000001\" highlightcolor=\"0x000002\" "
                    "pressedcolor=\"0x000003\" disabledcolor=\"0x000004\"/></text>" +
                    "<text value=\"Tooltip Text\">" + Pos(10, 220, 200, 16) + "</text>" +
                    "<still_image value=\"Logo\">" + Img("logo.bmp") + Pos(200, 10, 20, 20) + "</still_image>" +
                    "<progress value=\"Pos\">" + Img("progress.bmp") + Pos(10, 40, 100, 10) + "</progress>" +
                    "<indicator value=\"Vol\">" + Img("dial.bmp") + "<indi_image value=\"knob.bmp\"/>" +
                    Pos(120, 40, 100, 10) + "</indicator>" + GridList() + SideList() +
                    "<hotkey id=\"CTRL VK_P_\" value=\"Play\"/><hotkey id=\"VK_S_\" value=\"Stop\"/>"
                    "<hotkey id=\"VK_G_\" value=\"GoSub\"/><hotkey id=\"VK_L_\" value=\"SideLink\"/>");
    WriteLayout(skin, "Test\\Sub", 320, 240, Button("Back", "back.bmp", 10, 10));
    env.strings.texts["TipPlay"] = "Play the disc";
    env.strings.texts["Title"] = "Title";

    page = std::make_unique<TablePage>(env.owner, &host);
    RoutedPage() = page.get();
  }

  void TearDown() override { RoutedPage() = nullptr; }

  // Loads the main page and paints it on the screen.
  void ShowMain() {
    ASSERT_EQ(page->LoadLayout("Test\\Main"), 1);
    page->CreateBackBuffer();
    env.Settle();
    ASSERT_TRUE(page->IsPainted());
  }

  // The state code and element drawn at a screen point.
  int StateAt(int x, int y) { return StateOf(env.Screen(x, y)); }
  int ElementAt(int x, int y) { return ElementOf(env.Screen(x, y)); }
  // Centres of the grid slots and the side items on the screen (the page is
  // shown at twice its layout size).
  static POINT Slot(int s) { return POINT{70 + 90 * (s % 3), 150 + 50 * (s / 3)}; }
  static POINT Side(int r) { return POINT{500, 150 + 50 * r}; }

  void Key(plat::UINT vk) {
    plat::InjectKey(vk);
    env.Settle();
  }
  void Move(POINT p) {
    plat::InjectMouseMove(p.x, p.y);
    env.Settle();
  }

  PageEnvironment env;
  RecordingHost host;
  std::unique_ptr<TablePage> page;
};

TEST_F(SkinPageTest, LoadsStatesFocusAndHistory) {
  ASSERT_EQ(page->LoadLayout("Test\\Main"), 1);
  EXPECT_EQ(page->IsLoaded(), 1);
  EXPECT_EQ(page->IsPainted(), 0);
  // The first focusable list and its first focusable entry take the focus.
  EXPECT_EQ(page->FocusedList(), 0);
  EXPECT_EQ(page->FocusedEntry(), 0);
  ASSERT_NE(page->ListState(1), nullptr);
  EXPECT_EQ(page->ListState(1)->itemStates.size(), 3u);
  EXPECT_EQ(page->ListState(1)->listLinkStates.size(), 1u);
  EXPECT_EQ(page->ListState(1)->selectedItem, -1);

  ASSERT_EQ(page->LoadLayout("Test\\Sub"), 1);
  // A page without lists has no focus.
  EXPECT_EQ(page->FocusedList(), -1);
  EXPECT_EQ(page->FocusedEntry(), -1);
  EXPECT_EQ(page->History(), std::vector<std::string>{"Test\\Main"});

  ASSERT_EQ(page->GoBack(), 1);
  EXPECT_EQ(page->CurrentPath(), "Test\\Main");
  EXPECT_TRUE(page->History().empty());
  EXPECT_EQ(page->GoBack(), 0);
  EXPECT_EQ(page->CurrentPath(), "Test\\Main");

  // A page that does not load leaves nothing loaded, drawn or hit.
  EXPECT_EQ(page->LoadLayout("Test\\Missing"), 0);
  EXPECT_EQ(page->IsLoaded(), 0);
  EXPECT_EQ(page->Layout(), nullptr);
  EXPECT_EQ(page->CurrentPath(), "Test\\Missing");
  EXPECT_EQ(page->History(), std::vector<std::string>{"Test\\Main"});
  EXPECT_EQ(page->Redraw(1), 0);
  EXPECT_EQ(page->HitTestButton(POINT{50, 40}), -1);
  EXPECT_EQ(page->NextEntryInDirection(0, 0, FOCUS_RIGHT), -1);
  EXPECT_EQ(page->OnKey('S'), 0);
}

TEST_F(SkinPageTest, ListsWithNothingFocusableStillGetFocusZero) {
  ASSERT_EQ(page->LoadLayout("Test\\Main"), 1);
  page->hidden = {"Grid", "Side"};
  ASSERT_EQ(page->LoadLayout("Test\\Main"), 1);
  EXPECT_EQ(page->FocusedList(), 0);
  EXPECT_EQ(page->FocusedEntry(), 0);
}

TEST_F(SkinPageTest, LayoutsAndImagesThatCannotLoadAreReportedOnce) {
  ResetSkinReports();
  ::testing::internal::CaptureStderr();
  // A page without a layout does not open, and says why.
  EXPECT_EQ(page->LoadLayout("Test\\Missing"), 0);
  EXPECT_EQ(page->LoadLayout("Test\\Missing"), 0);
  EXPECT_NE(page->LayoutError().find("Test/Missing/layout.xml\": No such file or directory"), std::string::npos)
      << page->LayoutError();
  // A layout that is no XML, and one without its background.
  env.skin.Write("Layout/XML/Test/Broken/layout.xml", "<page><action");
  env.skin.Write("Layout/XML/Test/Bare/layout.xml", "<page/>");
  EXPECT_EQ(page->LoadLayout("Test\\Broken"), 0);
  EXPECT_EQ(page->LoadLayout("Test\\Bare"), 0);
  // A button whose image is gone draws black, said once however often the
  // page is drawn.
  WriteLayout(env.skin, "Test\\Gone", 320, 240, Button("Play", "gone.bmp", 10, 10));
  WriteSolid(env.skin, "Layout/XML/Test/Gone/bg.bmp", kBackground, 16, 16);
  ASSERT_EQ(page->LoadLayout("Test\\Gone"), 1);
  EXPECT_EQ(page->LayoutError(), "");
  page->CreateBackBuffer();
  env.Settle();
  page->Redraw(0);
  env.Settle();
  const std::string said = ::testing::internal::GetCapturedStderr();
  const std::string folder = env.skin.path().string() + "/Layout/XML/Test/";
  EXPECT_EQ(said, "lounge: skin: layout \"" + folder + "Missing/layout.xml\": No such file or directory\n" +
                      "lounge: skin: layout \"" + folder +
                      "Broken/layout.xml\": not well-formed XML: XML parse error at offset 12: Error parsing start "
                      "element tag\n" +
                      "lounge: skin: layout \"" + folder +
                      "Bare/layout.xml\": a required part of its background is missing or unreadable\n" +
                      "lounge: skin: image \"" + folder + "Gone/gone.bmp\": No such file or directory\n");
  EXPECT_EQ(env.Screen(30, 30), 0xFF000000u);
  ResetSkinReports();
}

TEST_F(SkinPageTest, DrawsStateCodesScaledToTheClientArea) {
  page->buttons["Stop"] = ElementState{1, 0, 0, 0};  // disabled: drawn with state 3, still shown
  ShowMain();
  RECT rect{};
  ASSERT_EQ(page->GetButtonScreenRect(0, &rect), 1);
  EXPECT_EQ(rect, (RECT{20, 20, 80, 60}));
  EXPECT_EQ(ElementAt(20, 20), kPlay);
  EXPECT_EQ(ElementAt(79, 59), kPlay);
  EXPECT_NE(ElementAt(80, 60), kPlay);
  EXPECT_EQ(StateAt(50, 40), 0);
  EXPECT_EQ(ElementAt(130, 40), kStop);
  EXPECT_EQ(StateAt(130, 40), 3);
  EXPECT_EQ(page->HitTestButton(POINT{130, 40}), 1);
  EXPECT_EQ(env.Screen(410, 30), kLogo);
  EXPECT_EQ(env.Screen(5, 5), kBackground);

  page->SetHighlightButton(0);
  env.Settle();
  EXPECT_EQ(StateAt(50, 40), 1);
  page->SetButtonChecked(0, 1);  // checked wins over highlighted
  env.Settle();
  EXPECT_EQ(StateAt(50, 40), 2);
  // Highlighting the link takes the highlight from the button.
  page->SetButtonChecked(0, 0);
  page->SetHighlightLink(0);
  env.Settle();
  EXPECT_EQ(page->HighlightedButton(), -1);
  EXPECT_EQ(StateAt(50, 40), 0);
  EXPECT_EQ(StateAt(210, 40), 1);

  // A hidden button is neither drawn nor hit.
  page->buttons["Play"] = ElementState{0, 1, 0, 0};
  page->Redraw(1);
  env.Settle();
  EXPECT_EQ(env.Screen(50, 40), kBackground);
  EXPECT_EQ(page->HitTestButton(POINT{50, 40}), -1);
}

TEST_F(SkinPageTest, ScalesWidthAndHeightSeparately) {
  WriteSolid(env.skin, "Layout/XML/Test/Odd/bg.bmp", kBackground, 4, 4);
  WriteLayout(env.skin, "Test\\Odd", 300, 200, Button("A", "a.bmp", 10, 10));
  ASSERT_EQ(page->LoadLayout("Test\\Odd"), 1);
  RECT rect{};
  ASSERT_EQ(page->GetButtonScreenRect(0, &rect), 1);
  // left = 640*10/300 = 21, width 640*30/300 = 64; top = 10*480/200 = 24, height 48.
  EXPECT_EQ(rect, (RECT{21, 24, 85, 72}));
  float ratio = 0;
  EXPECT_EQ(page->GetPageAspectRatio(&ratio), 1);
  EXPECT_FLOAT_EQ(ratio, 200.0f / 300.0f);
}

TEST_F(SkinPageTest, ListItemStateCodes) {
  page->items[{0, 8}] = ElementState{1, 0, 0, 0};
  ShowMain();
  // The focus highlights the first slot once painted.
  EXPECT_EQ(StateAt(Slot(0).x, Slot(0).y), 1);
  EXPECT_EQ(ElementAt(Slot(4).x, Slot(4).y), kGridItem);
  EXPECT_EQ(StateAt(Slot(4).x, Slot(4).y), 0);
  EXPECT_EQ(StateAt(Slot(8).x, Slot(8).y), 3);

  // The selected item is drawn pressed; the highlight wins over it; a
  // checked item is pressed even when highlighted.
  EXPECT_EQ(page->SetSelectedItem(4, 0), 1);
  env.Settle();
  EXPECT_EQ(StateAt(Slot(4).x, Slot(4).y), 2);
  page->HighlightListItem(4, 0);
  env.Settle();
  EXPECT_EQ(StateAt(Slot(4).x, Slot(4).y), 1);
  EXPECT_EQ(StateAt(Slot(0).x, Slot(0).y), 0);
  page->SetListItemChecked(4, 1, 0);
  env.Settle();
  EXPECT_EQ(StateAt(Slot(4).x, Slot(4).y), 2);

  // Bad indices are refused without touching any state.
  EXPECT_EQ(page->SetSelectedItem(1, 5), 0);
  EXPECT_EQ(page->SetSelectedItem(1, -1), 0);
  EXPECT_EQ(page->SetSelectedItemByName(1, "Nowhere"), 0);
  // A selected item beyond the slots (a longer list's) is kept but not drawn.
  EXPECT_EQ(page->SetSelectedItem(40, 0), 1);
  EXPECT_EQ(page->Redraw(1), 1);
  EXPECT_EQ(page->HighlightListItem(8, 0), 0);  // disabled
  EXPECT_EQ(page->HighlightListItem(9, 0), 0);  // beyond the slots
}

TEST_F(SkinPageTest, TextColourFollowsItsDependency) {
  ShowMain();
  struct Case {
    const char* what;
    ElementState play;
    bool highlighted;
    int result;
    plat::COLORREF colour;
  };
  const Case cases[] = {
      {"normal", {1, 1, 0, 0}, false, 1, 0x000001},
      {"highlighted", {1, 1, 0, 0}, true, 1, 0x000002},
      {"checked", {1, 1, 1, 0}, true, 1, 0x000003},
      {"disabled beats highlight", {1, 0, 0, 0}, true, 1, 0x000004},
      {"hidden: not drawn", {0, 1, 0, 0}, false, 0, 0},
  };
  for (const Case& c : cases) {
    page->buttons["Play"] = c.play;
    page->Redraw(0);
    page->SetHighlightButton(c.highlighted ? 0 : -1);
    plat::COLORREF colour = 0;
    EXPECT_EQ(page->GetTextColour(0, &colour), c.result) << c.what;
    if (c.result) {
      EXPECT_EQ(colour, c.colour) << c.what;
    }
  }
  // A text without dependency keeps its normal colour.
  plat::COLORREF colour = 0;
  EXPECT_EQ(page->GetTextColour(1, &colour), 1);
}

TEST_F(SkinPageTest, ProgressSplitsTheBarImage) {
  ShowMain();
  // The bar covers x 20..220, y 80..100 on the screen.
  struct Case {
    float value, start;
    int result;
    std::uint32_t at30, at100, at180;
  };
  const Case cases[] = {
      {0.5f, 0.0f, 1, kFullBar, kFullBar, kEmptyBar},
      {0.5f, 0.25f, 1, kEmptyBar, kFullBar, kEmptyBar},
      {1.00001f, 0.0f, 1, kFullBar, kFullBar, kFullBar},
      {0.2f, 0.6f, 1, kEmptyBar, kEmptyBar, kEmptyBar},  // start above the value: no fill
  };
  for (const Case& c : cases) {
    ASSERT_EQ(page->SetProgressValue("Pos", c.value, c.start), c.result);
    env.Settle();
    EXPECT_EQ(env.Screen(30, 90), c.at30) << c.value << " " << c.start;
    EXPECT_EQ(env.Screen(100, 90), c.at100) << c.value << " " << c.start;
    EXPECT_EQ(env.Screen(180, 90), c.at180) << c.value << " " << c.start;
  }
  EXPECT_EQ(page->SetProgressValue("Pos", 1.0001f, 0), 0);
  EXPECT_EQ(page->SetProgressValue("Pos", -0.1f, 0), 0);
  EXPECT_EQ(page->SetProgressValue("Nothing", 0.5f, 0), 0);
}

TEST_F(SkinPageTest, IndicatorKnob) {
  ShowMain();
  // The dial covers x 240..440, y 80..100; the 4x8 knob is drawn 10 wide.
  page->SetIndicatorPosition(0, 0.0f);
  page->Redraw(1);
  env.Settle();
  EXPECT_EQ(env.Screen(240, 90), kKnob);
  EXPECT_EQ(env.Screen(249, 90), kKnob);
  EXPECT_EQ(env.Screen(250, 90), kDial);
  page->SetIndicatorPosition(0, 1.0f);
  page->Redraw(1);
  env.Settle();
  EXPECT_EQ(env.Screen(429, 90), kDial);
  EXPECT_EQ(env.Screen(430, 90), kKnob);
  EXPECT_EQ(env.Screen(439, 90), kKnob);

  // A knob wider than the dial is drawn half the dial's width.
  WriteSolid(env.skin, "Layout/XML/Test/Main/knob.bmp", kKnob, 100, 4);
  page->Redraw(1);
  env.Settle();
  EXPECT_EQ(env.Screen(339, 90), kDial);
  EXPECT_EQ(env.Screen(340, 90), kKnob);

  // Without a knob image the dial alone is drawn.
  std::filesystem::remove(env.skin.path() / "Layout/XML/Test/Main/knob.bmp");
  page->Redraw(1);
  env.Settle();
  EXPECT_EQ(env.Screen(435, 90), kDial);
  RECT dial{240, 80, 440, 100};
  MemoryDC dc;
  ASSERT_TRUE(dc.SelectBitmap(page->BackBuffer()));
  EXPECT_EQ(page->DrawIndicator(0, dc.get(), dial), 1);
  EXPECT_EQ(page->DrawIndicator(3, dc.get(), dial), 0);
}

TEST_F(SkinPageTest, ArrowKeysMoveTheFocusByGeometry) {
  ShowMain();
  page->ElementIndex().SetItemCount(0, 9);
  env.Settle();
  page->items[{0, 1}] = ElementState{1, 0, 0, 0};  // disabled: skipped
  page->Redraw(1);
  page->HighlightListItem(0, 0);
  env.Settle();

  // Slot 1 is disabled: the nearest entry to the right is slot 4 below it.
  Key(plat::VK_RIGHT);
  EXPECT_EQ(page->FocusedEntry(), 4);
  EXPECT_EQ(StateAt(Slot(4).x, Slot(4).y), 1);
  EXPECT_EQ(StateAt(Slot(0).x, Slot(0).y), 0);
  Key(plat::VK_RIGHT);
  EXPECT_EQ(page->FocusedEntry(), 5);
  // Beside the last column lies "pageup": Right stays in the grid.
  Key(plat::VK_RIGHT);
  EXPECT_EQ(page->FocusedList(), 0);
  EXPECT_EQ(page->FocusedEntry(), 5);
  Key(plat::VK_DOWN);
  EXPECT_EQ(page->FocusedEntry(), 8);
  Key(plat::VK_LEFT);
  EXPECT_EQ(page->FocusedEntry(), 7);
  Key(plat::VK_UP);
  EXPECT_EQ(page->FocusedEntry(), 4);
  // Slot 1 above is disabled; slots 0 and 2 lie at equal distances and the
  // first one examined wins.
  Key(plat::VK_UP);
  EXPECT_EQ(page->FocusedEntry(), 0);
}

TEST_F(SkinPageTest, ListsWithoutPublishedItemsMoveByGeometry) {
  ShowMain();
  Key(plat::VK_DOWN);
  EXPECT_EQ(page->FocusedEntry(), 3);
  Key(plat::VK_DOWN);
  Key(plat::VK_DOWN);  // the last row: nothing below in the list or beyond
  EXPECT_EQ(page->FocusedList(), 0);
  EXPECT_EQ(page->FocusedEntry(), 6);
}

TEST_F(SkinPageTest, FocusMovesBetweenListsOnOneAxisAndComesBackToItsEntry) {
  ShowMain();
  page->ElementIndex().SetItemCount(0, 9);
  page->ElementIndex().SetItemCount(1, 3);
  env.Settle();
  ASSERT_EQ(page->HighlightListAction(0, 0), 1);  // "pageup"
  EXPECT_EQ(page->FocusedEntry(), 9);
  EXPECT_EQ(page->NextListInDirection(FOCUS_RIGHT), 1);
  EXPECT_EQ(page->NextListInDirection(FOCUS_LEFT), -1);
  EXPECT_EQ(page->NextListInDirection(FOCUS_DOWN), -1);  // same centre height

  Key(plat::VK_RIGHT);
  EXPECT_EQ(page->FocusedList(), 1);
  EXPECT_EQ(page->FocusedEntry(), 0);
  EXPECT_EQ(page->ListState(0)->highlightedListAction, -1);
  EXPECT_EQ(StateAt(Side(0).x, Side(0).y), 1);
  EXPECT_EQ(StateAt(340, 150), 0);
  Key(plat::VK_LEFT);
  EXPECT_EQ(page->FocusedList(), 0);
  EXPECT_EQ(page->FocusedEntry(), 9);  // the remembered entry
  EXPECT_EQ(StateAt(340, 150), 1);
  // Moving from an action to an item leaves one highlight in the list.
  Key(plat::VK_LEFT);
  EXPECT_EQ(page->FocusedEntry(), 2);
  EXPECT_EQ(StateAt(340, 150), 0);
  EXPECT_EQ(StateAt(Slot(2).x, Slot(2).y), 1);
}

TEST_F(SkinPageTest, ListPagingAndRowScrolling) {
  ShowMain();
  CPageElementIndex& index = page->ElementIndex();
  ASSERT_EQ(index.SetItemCount(0, 20), 1);
  const ListScrollRecord* grid = index.Record(0);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->slots, 9);
  EXPECT_EQ(grid->columns, 3);
  EXPECT_EQ(grid->rows, 3);
  EXPECT_EQ(grid->positions, 12);
  EXPECT_EQ(index.PageStep(0), 6);
  env.Settle();
  page->HighlightListItem(6, 0);
  env.Settle();

  // Down in the last row scrolls by a row and keeps the slot.
  Key(plat::VK_DOWN);
  EXPECT_EQ(grid->top, 3);
  EXPECT_EQ(page->FocusedEntry(), 6);
  EXPECT_EQ(StateAt(Slot(6).x, Slot(6).y), 1);
  Key(plat::VK_UP);
  Key(plat::VK_UP);
  EXPECT_EQ(page->FocusedEntry(), 0);
  EXPECT_EQ(grid->top, 3);
  // Up in the first row scrolls back by a row.
  Key(plat::VK_UP);
  EXPECT_EQ(grid->top, 0);
  EXPECT_EQ(page->FocusedEntry(), 0);

  // A click on "pagedown" pages by one page less one row, twice, clamped.
  for (int expected : {6, 11}) {
    plat::InjectClick(340, 250);
    env.Settle();
    EXPECT_EQ(grid->top, expected);
  }
  plat::InjectClick(340, 150);
  env.Settle();
  EXPECT_EQ(grid->top, 5);
  EXPECT_TRUE(page->actionsRun.empty());

  // Down towards a row past the data moves to the slot of the last item.
  index.SetItemCount(0, 5);
  page->HighlightListItem(1, 0);
  Key(plat::VK_DOWN);
  EXPECT_EQ(page->FocusedEntry(), 4);
  Key(plat::VK_DOWN);
  EXPECT_EQ(page->FocusedEntry(), 4);
}

TEST_F(SkinPageTest, HotKeysWithModifiersAndGating) {
  ShowMain();
  EXPECT_EQ(page->OnKey('P'), 0);  // bound only with CTRL
  plat::InjectKeyDown(plat::VK_CONTROL);
  Key('P');
  plat::InjectKeyUp(plat::VK_CONTROL);
  env.Settle();
  EXPECT_EQ(page->actionsRun, std::vector<std::string>{"Play"});

  struct Case {
    const char* what;
    ElementState stop;
    int result;
  };
  const Case cases[] = {{"shown and enabled", {1, 1, 0, 0}, 7}, {"hidden", {0, 1, 0, 0}, 0}, {"disabled", {1, 0, 0, 0}, 0}};
  for (const Case& c : cases) {
    page->actionsRun.clear();
    page->buttons["Stop"] = c.stop;
    EXPECT_EQ(page->OnKey('S'), c.result) << c.what;
    EXPECT_EQ(page->actionsRun.size(), c.result ? 1u : 0u) << c.what;
  }

  // A key with its bar-hide timer running keeps the bars up.
  page->SetBarHideTimer(5);
  page->OnKey('Q');
  EXPECT_EQ(host.hideBars, 1);

  // A hot key bound to a link loads its page, then runs the action.
  page->actionsRun.clear();
  EXPECT_EQ(page->OnKey('G'), 7);
  EXPECT_EQ(page->CurrentPath(), "Test\\Sub");
  EXPECT_EQ(page->actionsRun, std::vector<std::string>{"GoSub"});
}

TEST_F(SkinPageTest, ListLinkHotKeyFollowsOnlyWhenItsHookAgrees) {
  ShowMain();
  // The hook's return value decides whether the list link's page is loaded.
  EXPECT_EQ(page->OnKey('L'), 7);
  EXPECT_EQ(page->CurrentPath(), "Test\\Sub");
}

TEST_F(SkinPageTest, PressRunsOnlyWhenReleasedOverThePressedElement) {
  ShowMain();
  Move(POINT{50, 40});
  EXPECT_EQ(page->HighlightedButton(), 0);
  EXPECT_EQ(StateAt(50, 40), 1);
  plat::InjectMouseButton(0, true, 50, 40);
  env.Settle();
  EXPECT_EQ(page->PressedButton(), 0);
  EXPECT_EQ(StateAt(50, 40), 2);
  plat::InjectMouseButton(0, false, 130, 40);  // released over "Stop"
  env.Settle();
  EXPECT_TRUE(page->actionsRun.empty());
  EXPECT_EQ(page->ButtonState(0)->checked, 0);
  EXPECT_EQ(page->PressedButton(), -1);

  plat::InjectClick(50, 40);
  env.Settle();
  EXPECT_EQ(page->actionsRun, std::vector<std::string>{"Play"});
  EXPECT_EQ(page->ButtonState(0)->checked, 0);

  // A disabled button unchecks but never presses.
  page->actionsRun.clear();
  page->buttons["Play"] = ElementState{1, 0, 0, 0};
  page->Redraw(1);
  plat::InjectClick(50, 40);
  env.Settle();
  EXPECT_TRUE(page->actionsRun.empty());
  EXPECT_EQ(page->ButtonState(0)->checked, 0);

  // A list item pressed and released over it runs the item hook.
  page->ElementIndex().SetItemCount(0, 9);
  plat::InjectClick(Slot(4).x, Slot(4).y);
  env.Settle();
  EXPECT_EQ(page->itemActions, (std::vector<TablePage::Key>{{0, 4}}));
  plat::InjectMouseButton(0, true, Slot(4).x, Slot(4).y);
  plat::InjectMouseButton(0, false, Slot(5).x, Slot(5).y);
  env.Settle();
  EXPECT_EQ(page->itemActions.size(), 1u);
  EXPECT_EQ(page->ListState(0)->itemStates[4].checked, 0);

  // A link press loads its page and tells the page.
  page->actionsRun.clear();
  plat::InjectClick(210, 40);
  env.Settle();
  EXPECT_EQ(page->CurrentPath(), "Test\\Sub");
  EXPECT_EQ(page->actionsRun, std::vector<std::string>{"GoSub"});
}

// A list whose rectangle reaches over another list's action (a display area
// around a panel's buttons): the click and the hover go to the list of the
// entry under the pointer; a point on no entry stays with the first list.
TEST_F(SkinPageTest, OverlappingListsGiveThePointToTheEntrysList) {
  WriteLayout(env.skin, "Test\\Overlap", 320, 240,
              "<list value=\"Area\">" + Pos(10, 60, 300, 150) + "<image value=\"\"/><list_item value=\"row\">" +
                  Img("item.bmp") + Pos(15, 65, 40, 20) + "</list_item></list>" + "<list value=\"Panel\">" +
                  Pos(10, 150, 300, 80) + "<image value=\"\"/><list_action value=\"Go\">" + Img("play.bmp") +
                  Pos(200, 170, 30, 20) + "</list_action></list>");
  WriteStrip(env.skin, "Layout/XML/Test/Overlap/item.bmp", kGridItem);
  WriteStrip(env.skin, "Layout/XML/Test/Overlap/play.bmp", kPlay);
  WriteSolid(env.skin, "Layout/XML/Test/Overlap/bg.bmp", kBackground, 16, 16);
  ASSERT_EQ(page->LoadLayout("Test\\Overlap"), 1);
  page->CreateBackBuffer();
  env.Settle();
  const POINT go{430, 360}, empty{100, 360};  // the page shows at twice its size
  EXPECT_EQ(page->HitTestList(go), 1);
  EXPECT_EQ(page->HitTestList(empty), 0);
  Move(go);
  EXPECT_EQ(page->FocusedList(), 1);
  plat::InjectClick(go.x, go.y);
  env.Settle();
  EXPECT_EQ(page->actionsRun, std::vector<std::string>{"Go"});
}

TEST_F(SkinPageTest, ClickSoundsFollowTheSwitches) {
  ShowMain();
  CConfig config;
  auto allOn = [](CConfig& c) {
    c.m_bSuppress = 0;
    c.m_bSoundEffect = 1;
    c.m_bPressedSoundOn = 1;
    c.m_bHighlightSoundOn = 1;
    c.m_strPressedSound = "press.wav";
    c.m_strHighlightSound = "over.wav";
  };
  allOn(config);
  struct Case {
    const char* what;
    std::function<void(CConfig&)> change;
    bool plays;
  };
  const Case cases[] = {
      {"all on", [](CConfig&) {}, true},
      {"suppressed", [](CConfig& c) { c.m_bSuppress = 1; }, false},
      {"sound effects off", [](CConfig& c) { c.m_bSoundEffect = 0; }, false},
      {"press switch off", [](CConfig& c) { c.m_bPressedSoundOn = 0; }, false},
      {"no file", [](CConfig& c) { c.m_strPressedSound.clear(); }, false},
  };
  for (const Case& c : cases) {
    allOn(config);
    c.change(config);
    host.config = &config;
    host.sounds.clear();
    page->PressButton(0);
    if (c.plays) {
      const std::vector<std::pair<std::string, plat::DWORD>> expected{
          {"", plat::SND_NOWAIT}, {"press.wav", plat::SND_ASYNC | plat::SND_NOWAIT}};
      EXPECT_EQ(host.sounds, expected) << c.what;
    } else {
      EXPECT_TRUE(host.sounds.empty()) << c.what;
    }
  }
  host.config = nullptr;
  host.sounds.clear();
  page->PressButton(0);
  EXPECT_TRUE(host.sounds.empty());

  // Highlights sound only for a shown and enabled element.
  allOn(config);
  host.config = &config;
  Move(POINT{50, 40});
  ASSERT_EQ(host.sounds.size(), 2u);
  EXPECT_EQ(host.sounds[1].first, "over.wav");
  host.sounds.clear();
  page->buttons["Stop"] = ElementState{1, 0, 0, 0};
  page->Redraw(1);
  Move(POINT{130, 40});
  EXPECT_EQ(page->HighlightedButton(), 1);
  EXPECT_TRUE(host.sounds.empty());
  host.config = nullptr;
}

TEST_F(SkinPageTest, TooltipAndItemIndexTexts) {
  ShowMain();
  Move(POINT{50, 40});
  EXPECT_NE(std::find(page->textsAt.begin(), page->textsAt.end(), "Play the disc"), page->textsAt.end());
  // The tooltip is drawn in its colour over the "Tooltip Text" rectangle.
  bool coloured = false;
  for (int y = 440; y < 472 && !coloured; ++y)
    for (int x = 20; x < 200 && !coloured; ++x) coloured = env.Screen(x, y) == 0xFF0047BEu;
  EXPECT_TRUE(coloured);
  Move(POINT{5, 5});
  EXPECT_EQ(page->textsAt.back(), "");

  page->ElementIndex().SetItemCount(0, 7);
  env.Settle();
  page->textsAt.clear();
  page->HighlightListItem(3, 0);
  EXPECT_NE(std::find(page->textsAt.begin(), page->textsAt.end(), "4 / 7"), page->textsAt.end());
  page->textsAt.clear();
  Move(Slot(2));
  EXPECT_NE(std::find(page->textsAt.begin(), page->textsAt.end(), "3 / 7"), page->textsAt.end());
  // A slot past the data shows no index.
  page->textsAt.clear();
  Move(Slot(8));
  EXPECT_EQ(std::find(page->textsAt.begin(), page->textsAt.end(), "9 / 7"), page->textsAt.end());
}

TEST_F(SkinPageTest, BackActionByActiveModule) {
  ShowMain();
  CConfig config;
  host.config = &config;
  struct Case {
    int module;
    const char* action;
  };
  for (Case c : {Case{MODULE_NONE, nullptr}, Case{MODULE_PHOTO, "Photo Back"}, Case{MODULE_MUSIC, "Music Back"},
                 Case{MODULE_MOVIE, "Movie Back"}, Case{MODULE_RADIO, "Radio Back"}, Case{MODULE_TV, nullptr}}) {
    host.executed.clear();
    config.m_nActiveModule = c.module;
    EXPECT_EQ(page->OnBackAction(), c.action ? 1 : 0) << c.module;
    EXPECT_EQ(host.executed, c.action ? std::vector<std::string>{c.action} : std::vector<std::string>{}) << c.module;
  }
  host.config = nullptr;
}

TEST_F(SkinPageTest, RenameKeyPadTypesIntoItsEditBoxAndEnterGoesBack) {
  std::string pad = "<list value=\"Rename KeyPad\">" + Pos(0, 0, 200, 100) + "<image value=\"\"/>";
  for (int i = 0; i < 6; ++i)
    pad += "<list_item value=\"k\">" + Img("key.bmp") + Pos(20 * i, 40, 20, 20) + "<text_position left=\"" +
           std::to_string(20 * i) + "\" top=\"40\" width=\"20\" height=\"20\"/></list_item>";
  pad += "<list_text value=\"Rename EditText\">" + Pos(10, 10, 150, 20) + "</list_text></list>";
  WriteSolid(env.skin, "Layout/XML/Common/Rename/bg.bmp", kBackground, 4, 4);
  WriteLayout(env.skin, "Common\\Rename", 320, 240, pad);
  host.frame = env.owner;
  CConfig config;
  config.m_nActiveModule = MODULE_MUSIC;
  host.config = &config;
  page->CreateBackBuffer();  // texts are placed by the back buffer's size

  ASSERT_EQ(page->ShowRenameKeyPad(""), 1);
  EXPECT_EQ(page->CurrentPath(), "Common\\Rename");
  int count = 0, top = -1;
  EXPECT_EQ(page->ElementIndex().GetItemCountByName("Rename KeyPad", &count), 1);
  EXPECT_EQ(count, 53);
  EXPECT_EQ(page->ElementIndex().GetTopIndexByName("Rename KeyPad", &top), 1);
  EXPECT_EQ(top, 0);
  HWND edit = page->RenameEditBox();
  ASSERT_TRUE(edit);
  EXPECT_TRUE(plat::IsWindowVisible(edit));
  RECT placed{};
  plat::GetWindowRect(edit, &placed);
  EXPECT_EQ(placed, (RECT{20, 20, 320, 60}));

  // Slot 1 shows key "B"; with the top moved to the digits it shows "1":
  // slots map to keys through the element index.
  page->OnListItemAction(0, 1);
  page->ElementIndex().SetTopIndex(0, 26);  // the digits
  page->OnListItemAction(0, 1);
  EXPECT_EQ(plat::GetWindowTextString(edit), "B1");

  // Enter in the edit box reaches the page, which sends the back action and
  // closes the box.
  plat::SetFocus(edit);
  plat::InjectKey(plat::VK_RETURN);
  env.Settle();
  EXPECT_EQ(host.executed, std::vector<std::string>{"Music Back"});
  EXPECT_EQ(page->RenameEditBox(), nullptr);
  EXPECT_FALSE(plat::IsWindow(edit));
  host.config = nullptr;
}

// The element index on its own: a 3x3 grid and a one-column list of five.
class ElementIndexTest : public SkinPageTest {
 protected:
  void SetUp() override {
    SkinPageTest::SetUp();
    std::string body = "<list value=\"L9\">" + Pos(0, 0, 100, 100) + "<image value=\"\"/>";
    for (int s = 0; s < 9; ++s)
      body += "<list_item value=\"i\">" + Img("i.bmp") + Pos(10 * (s % 3), 10 * (s / 3), 10, 10) + "</list_item>";
    body += "</list><list value=\"L5\">" + Pos(100, 0, 100, 100) + "<image value=\"\"/>";
    for (int s = 0; s < 5; ++s)
      body += "<list_item value=\"i\">" + Img("i.bmp") + Pos(100, 10 * s, 10, 10) + "</list_item>";
    body += "</list>";
    WriteSolid(env.skin, "Layout/XML/Test/Index/bg.bmp", kBackground, 4, 4);
    WriteLayout(env.skin, "Test\\Index", 320, 240, body);
    ASSERT_EQ(page->LoadLayout("Test\\Index"), 1);
  }
};

TEST_F(ElementIndexTest, PositionsScrollingAndMapping) {
  CPageElementIndex& index = page->ElementIndex();
  EXPECT_EQ(index.ListCount(), 2);
  ASSERT_EQ(index.SetItemCount(0, 20), 1);
  EXPECT_EQ(index.Record(0)->positions, 12);

  // Five slots in one column with three items: positions -1, no scrolling.
  ASSERT_EQ(index.SetItemCountByName("L5", 3), 1);
  EXPECT_EQ(index.Record(1)->positions, -1);
  EXPECT_EQ(index.SetTopIndex(1, 1), 0);
  int can = 1;
  EXPECT_EQ(index.CanScrollDown(1, &can), 1);
  EXPECT_EQ(can, 0);

  int top = -1;
  EXPECT_EQ(index.SetTopIndex(0, 50), 1);  // clamped to positions - 1
  index.GetTopIndex(0, &top);
  EXPECT_EQ(top, 11);
  EXPECT_EQ(index.ScrollUp(0, 0), 1);
  index.GetTopIndex(0, &top);
  EXPECT_EQ(top, 11);
  EXPECT_EQ(index.ScrollUp(0, -4), 1);  // a negative step counts as one
  index.GetTopIndex(0, &top);
  EXPECT_EQ(top, 10);
  // Scrolling clears the selected item.
  page->SetSelectedItem(2, 0);
  index.ScrollDown(0, 1);
  EXPECT_EQ(page->ListState(0)->selectedItem, -1);

  struct MapCase {
    int row;
    int result;
    int item;
  };
  index.SetTopIndex(0, 10);
  for (MapCase c : {MapCase{0, 1, 10}, MapCase{8, 1, 18}, MapCase{9, 0, -1}, MapCase{-1, 0, -1}}) {
    int item = -1;
    EXPECT_EQ(index.RowToItem(0, c.row, &item), c.result) << c.row;
    if (c.result) {
      EXPECT_EQ(item, c.item);
    }
  }
  int row = 0;
  EXPECT_EQ(index.ItemToRow(0, 3, &row), 1);  // above the top: negative row
  EXPECT_EQ(row, -7);
  EXPECT_EQ(index.ItemToRow(0, 20, &row), 0);
  EXPECT_EQ(index.ItemToRow(0, -1, &row), 0);

  // EnsureVisible puts a hidden item into the last slot, and refuses items
  // outside the data.
  EXPECT_EQ(index.EnsureVisible(0, 12), 0);  // already visible
  EXPECT_EQ(index.EnsureVisible(0, 2), 1);
  index.GetTopIndex(0, &top);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(index.EnsureVisible(0, 19), 1);
  index.GetTopIndex(0, &top);
  EXPECT_EQ(top, 11);
  EXPECT_EQ(index.EnsureVisible(0, 20), 0);
  EXPECT_EQ(index.EnsureVisible(0, -3), 0);
  EXPECT_EQ(index.EnsureVisible(7, 1), 0);

  // Bad lists and names fail and change nothing.
  EXPECT_EQ(index.SetItemCount(2, 5), 0);
  EXPECT_EQ(index.SetItemCount(0, -1), 0);
  EXPECT_EQ(index.SetItemCountByName("Nowhere", 5), 0);
  EXPECT_EQ(index.GetTopIndex(-1, &top), 0);
}

}  // namespace

namespace {

// A host that only supplies the configuration: its sounds go to the window
// system's sound service (the recording output on the headless display).
class ConfigOnlyHost : public ISkinPageHost {
 public:
  CConfig* config = nullptr;
  CConfig* GetConfig() override { return config; }
};

TEST(SkinPageSoundServiceTest, DefaultHostPlaysThroughTheSoundService) {
  PageEnvironment env(plat::SIZE{320, 240});
  ASSERT_TRUE(env.started);
  WriteSolid(env.skin, "Layout/XML/Test/One/bg.bmp", 0xFF000000u, 4, 4);
  WriteLayout(env.skin, "Test\\One",
              320, 240, "<action value=\"Go\">" + Img("go.bmp") + Pos(0, 0, 10, 10) + "</action>");
  ConfigOnlyHost host;
  CConfig config;
  config.m_bSoundEffect = 1;
  config.m_bPressedSoundOn = 1;
  config.m_strPressedSound = (env.skin.path() / "press.wav").string();
  host.config = &config;
  TablePage page(env.owner, &host);
  ASSERT_EQ(page.LoadLayout("Test\\One"), 1);
  plat::sound::RecordingOutput* recording = plat::sound::CurrentRecording();
  ASSERT_NE(recording, nullptr);
  recording->clear();
  page.PressButton(0);
  const auto calls = recording->calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].name, "");
  EXPECT_EQ(calls[1].name, config.m_strPressedSound);
  EXPECT_EQ(calls[1].flags, plat::SND_ASYNC | plat::SND_NOWAIT);
}

}  // namespace

namespace {

TEST_F(SkinPageTest, FollowLinkByNameAndFocusByName) {
  struct Case {
    const char* what;
    const char* name;
    bool hideLink;
    int result;
    const char* path;
  };
  const Case cases[] = {
      {"link", "GoSub", false, 1, "Test\\Sub"},
      {"hidden link", "GoSub", true, 0, "Test\\Main"},
      {"list link", "SideLink", false, 1, "Test\\Sub"},
      {"nothing by that name", "Nowhere", false, 0, "Test\\Main"},
  };
  for (const Case& c : cases) {
    page->links["GoSub"] = ElementState{c.hideLink ? 0 : 1, 1, 0, 0};
    ShowMain();
    page->actionsRun.clear();
    EXPECT_EQ(page->FollowLinkByName(c.name), c.result) << c.what;
    EXPECT_EQ(page->CurrentPath(), c.path) << c.what;
    EXPECT_EQ(page->actionsRun.size(), c.result ? 1u : 0u) << c.what;
  }

  ShowMain();
  EXPECT_EQ(page->SetFocusButton("Stop"), 1);
  EXPECT_EQ(page->HighlightedButton(), 1);
  EXPECT_EQ(page->SetFocusButton("pagedown"), 1);
  EXPECT_EQ(page->FocusedList(), 0);
  EXPECT_EQ(page->FocusedEntry(), 10);
  EXPECT_EQ(page->ListState(0)->highlightedListAction, 1);
  EXPECT_EQ(page->SetFocusLink("SideLink"), 1);
  EXPECT_EQ(page->FocusedList(), 1);
  EXPECT_EQ(page->FocusedEntry(), 3);
  EXPECT_EQ(page->SetFocusButton("Nowhere"), 0);
}

}  // namespace

// A list's position text drawn anew stands alone in its place: whatever was
// drawn there before goes (here the skin's own text of that place); a hidden
// list shows none.
TEST_F(SkinPageTest, PositionTextsStandAloneAndOnlyForShownLists) {
  env.strings.texts["item index"] = "120 / 120";
  ShowMain();
  ASSERT_EQ(page->ElementIndex().SetItemCount(0, 120), 1);
  env.Settle();
  // The grid's "item index" text on the screen (twice the layout's size).
  const auto area = [&] {
    std::vector<std::uint32_t> pixels;
    for (int y = 284; y < 312; ++y)
      for (int x = 40; x < 240; ++x) pixels.push_back(env.Screen(x, y));
    return pixels;
  };
  const auto lit = [](const std::vector<std::uint32_t>& pixels) {
    return std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p != kBackground; });
  };
  ASSERT_GT(lit(area()), 20) << "the skin's text is not there";
  page->UpdateListIndexText(0, 5);
  env.Settle();
  const std::vector<std::uint32_t> after = area();
  // The same position drawn where nothing was.
  env.strings.texts.erase("item index");
  page->Redraw(1);
  env.Settle();
  ASSERT_EQ(lit(area()), 0);
  page->UpdateListIndexText(0, 5);
  env.Settle();
  EXPECT_GT(lit(area()), 20) << "no position drawn";
  EXPECT_TRUE(after == area()) << "the old text shows through the position";

  page->hidden.insert("Grid");
  page->Redraw(1);
  env.Settle();
  page->UpdateListIndexText(0, 5);
  env.Settle();
  EXPECT_EQ(lit(area()), 0) << "a hidden list drew its position";
}
