#include "lounge/skin/layout_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "lounge/shell/app_services.h"
#include "lounge/skin/skin_paths.h"
#include "temp_folder.h"
#include "vendor_registry.h"

namespace {

using plat::RECT;

// A page with every element kind, written the way skins write them.
constexpr const char* kFullLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<layout>
  <!-- page background -->
  <image value="Back.BMP"/>
  <position left="0" top="0" width="800" height="600"/>
  <action value="Play">
    <image value="..\Img\play.bmp"/>
    <position left="10" top="20" width="30" height="40"/>
    <tooltips value="TIP_PLAY"/>
  </action>
  <action value="Stop">
    <image value="stop.bmp"/>
    <position left="50" top="20" width="30" height="40"/>
  </action>
  <link value="GoMusic">
    <image value="music.bmp"/>
    <hyperlink value="Music\Tracks"/>
    <position left="1" top="2" width="3" height="4"/>
    <tooltips value="TIP_MUSIC"/>
  </link>
  <text value="Title">
    <position left="100" top="10" width="200" height="30"/>
    <dependency value="Play"/>
    <font value="FONT2"/>
    <color normalcolor="0000FF" highlightcolor="0x00FF00" pressedcolor="FF0000" disabledcolor="123456"/>
    <align value="RIGHT"/>
    <dynamic_fit value="FALSE"/>
  </text>
  <text value="Plain">
    <position left="5" top="6" width="7" height="8"/>
  </text>
  <list value="Tracks">
    <position left="100" top="100" width="600" height="400"/>
    <image value="listback.bmp"/>
    <list_item value="Row0">
      <image value="row.bmp"/>
      <position left="100" top="100" width="600" height="40"/>
      <icon>
        <icon_image value="first.bmp"/>
        <icon_position left="1" top="1" width="1" height="1"/>
      </icon>
      <icon>
        <icon_image value="note.bmp"/>
        <icon_position left="102" top="102" width="36" height="36"/>
      </icon>
      <text_position left="140" top="100" width="500" height="40"/>
      <check_position left="650" top="100" width="40" height="40"/>
    </list_item>
    <list_item value="Row1">
      <image value="row.bmp"/>
      <position left="100" top="140" width="600" height="40"/>
    </list_item>
    <list_action value="pageup">
      <image value="up.bmp"/>
      <position left="700" top="100" width="40" height="40"/>
    </list_action>
    <list_link value="Details">
      <image value="details.bmp"/>
      <hyperlink value="Music\Details"/>
      <position left="700" top="150" width="40" height="40"/>
    </list_link>
    <list_text value="item index">
      <position left="100" top="480" width="200" height="20"/>
      <align value="CENTER"/>
    </list_text>
    <list_image value="Frame">
      <image value="frame.bmp"/>
      <position left="90" top="90" width="620" height="420"/>
    </list_image>
  </list>
  <still_image value="Logo">
    <image value="logo.bmp"/>
    <position left="0" top="500" width="100" height="100"/>
  </still_image>
  <progress value="Seek">
    <image value="seek.bmp"/>
    <position left="100" top="550" width="600" height="10"/>
  </progress>
  <indicator value="Volume">
    <image value="vol.bmp"/>
    <indi_image value="knob.bmp"/>
    <position left="100" top="570" width="200" height="20"/>
  </indicator>
  <hotkey id="CTRL VK_P_" value="Play"/>
  <hotkey id="VK_P_" value="Pause"/>
  <hotkey id="VK_UNKNOWN_" value="Nothing"/>
  <hotkey id="CTRL VK_P_" value="Second"/>
</layout>
)";

class LayoutReaderTest : public ::testing::Test {
 protected:
  void WriteLayout(const std::string& pagePath, const std::string& xml) {
    skin_.Write("Layout/XML/" + SkinNameToPosix(pagePath) + "/layout.xml", xml);
  }
  std::string Folder(const std::string& pagePath) const {
    return (skin_.path() / "Layout" / "XML" / SkinNameToPosix(pagePath)).string();
  }
  // A minimal page with `body` after its background.
  static std::string Page(const std::string& body) {
    return "<layout><image value=\"b.bmp\"/><position left=\"0\" top=\"0\" width=\"640\" height=\"480\"/>" + body +
           "</layout>";
  }

  TempFolder skin_;
};

TEST_F(LayoutReaderTest, ReadsEveryElementKind) {
  WriteLayout("Music\\Tracks", kFullLayout);
  CLayoutReader reader("Music\\Tracks", skin_.path());
  ASSERT_EQ(reader.LoadAll(), 1);
  const std::string folder = Folder("Music\\Tracks");
  EXPECT_EQ(reader.GetFolder(), folder);

  std::string s;
  RECT r;
  int n = -1;
  ASSERT_EQ(reader.GetBackgroundImage(s), 1);
  EXPECT_EQ(s, folder + "/Back.BMP");
  int w = 0, h = 0;
  EXPECT_EQ(reader.GetPageSize(w, h), 1);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);

  ASSERT_EQ(reader.GetButtonCount(n), 1);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(reader.GetButtonAction(s, 1), 1);
  EXPECT_EQ(s, "Stop");
  EXPECT_EQ(reader.GetButtonImage(s, 0), 1);
  EXPECT_EQ(s, folder + "/../Img/play.bmp");
  EXPECT_EQ(reader.GetButtonRect(r, 0), 1);
  EXPECT_EQ(r, (RECT{10, 20, 40, 60}));
  EXPECT_EQ(reader.GetButtonTooltip(s, 0), 1);
  EXPECT_EQ(s, "TIP_PLAY");

  ASSERT_EQ(reader.GetLinkCount(n), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(reader.GetLinkName(s, 0), 1);
  EXPECT_EQ(s, "GoMusic");
  EXPECT_EQ(reader.GetLinkImage(s, 0), 1);
  EXPECT_EQ(s, folder + "/music.bmp");
  // A hyperlink is a page path, kept as written.
  EXPECT_EQ(reader.GetLinkTarget(s, 0), 1);
  EXPECT_EQ(s, "Music\\Tracks");
  EXPECT_EQ(reader.GetLinkRect(r, 0), 1);
  EXPECT_EQ(r, (RECT{1, 2, 4, 6}));
  EXPECT_EQ(reader.GetLinkTooltip(s, 0), 1);
  EXPECT_EQ(s, "TIP_MUSIC");

  ASSERT_EQ(reader.GetTextCount(n), 1);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(reader.GetTextName(s, 0), 1);
  EXPECT_EQ(s, "Title");
  EXPECT_EQ(reader.GetTextRect(r, 0), 1);
  EXPECT_EQ(r, (RECT{100, 10, 300, 40}));
  EXPECT_EQ(reader.GetTextDependency(s, 0), 1);
  EXPECT_EQ(s, "Play");
  EXPECT_EQ(reader.GetTextFont(s, 0), 1);
  EXPECT_EQ(s, "FONT2");
  plat::COLORREF c[4] = {};
  EXPECT_EQ(reader.GetTextColors(0, c[0], c[1], c[2], c[3]), 1);
  EXPECT_EQ(c[0], 0x0000FFu);  // red in the low byte
  EXPECT_EQ(c[1], 0x00FF00u);
  EXPECT_EQ(c[2], 0xFF0000u);
  EXPECT_EQ(c[3], 0x123456u);
  EXPECT_EQ(reader.GetTextAlign(n, 0), 1);
  EXPECT_EQ(n, ALIGN_RIGHT);
  EXPECT_EQ(reader.GetTextDynamicFit(n, 0), 1);
  EXPECT_EQ(n, 0);
  // Defaults of a bare text: font FONT1, centred, dynamic fit on.
  EXPECT_EQ(reader.GetTextFont(s, 1), 1);
  EXPECT_EQ(s, "FONT1");
  EXPECT_EQ(reader.GetTextDependency(s, 1), 1);
  EXPECT_EQ(s, "");
  EXPECT_EQ(reader.GetTextAlign(n, 1), 1);
  EXPECT_EQ(n, ALIGN_CENTER);
  EXPECT_EQ(reader.GetTextDynamicFit(n, 1), 1);
  EXPECT_EQ(n, 1);

  ASSERT_EQ(reader.GetListCount(n), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(reader.GetListName(s, 0), 1);
  EXPECT_EQ(s, "Tracks");
  EXPECT_EQ(reader.GetListImage(s, 0), 1);
  EXPECT_EQ(s, folder + "/listback.bmp");
  EXPECT_EQ(reader.GetListRect(r, 0), 1);
  EXPECT_EQ(r, (RECT{100, 100, 700, 500}));
  EXPECT_EQ(reader.GetListItemCount(n, 0), 1);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(reader.GetListItemImage(s, 1, 0), 1);
  EXPECT_EQ(s, folder + "/row.bmp");
  EXPECT_EQ(reader.GetListItemRect(r, 1, 0), 1);
  EXPECT_EQ(r, (RECT{100, 140, 700, 180}));
  // The last icon of an item wins.
  EXPECT_EQ(reader.GetListItemIconImage(s, 0, 0), 1);
  EXPECT_EQ(s, folder + "/note.bmp");
  EXPECT_EQ(reader.GetListItemIconRect(r, 0, 0), 1);
  EXPECT_EQ(r, (RECT{102, 102, 138, 138}));
  EXPECT_EQ(reader.GetListItemTextRect(r, 0, 0), 1);
  EXPECT_EQ(r, (RECT{140, 100, 640, 140}));
  EXPECT_EQ(reader.GetListItemCheckRect(r, 0, 0), 1);
  EXPECT_EQ(r, (RECT{650, 100, 690, 140}));

  EXPECT_EQ(reader.GetListActionCount(n, 0), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(reader.GetListActionName(s, 0, 0), 1);
  EXPECT_EQ(s, "pageup");
  EXPECT_EQ(reader.GetListActionImage(s, 0, 0), 1);
  EXPECT_EQ(s, folder + "/up.bmp");
  EXPECT_EQ(reader.GetListActionRect(r, 0, 0), 1);
  EXPECT_EQ(r, (RECT{700, 100, 740, 140}));

  EXPECT_EQ(reader.GetListLinkCount(n, 0), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(reader.GetListLinkName(s, 0, 0), 1);
  EXPECT_EQ(s, "Details");
  EXPECT_EQ(reader.GetListLinkImage(s, 0, 0), 1);
  EXPECT_EQ(s, folder + "/details.bmp");
  EXPECT_EQ(reader.GetListLinkTarget(s, 0, 0), 1);
  EXPECT_EQ(s, "Music\\Details");
  EXPECT_EQ(reader.GetListLinkRect(r, 0, 0), 1);
  EXPECT_EQ(r, (RECT{700, 150, 740, 190}));

  EXPECT_EQ(reader.GetListTextCount(n, 0), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(reader.GetListTextName(s, 0, 0), 1);
  EXPECT_EQ(s, "item index");
  EXPECT_EQ(reader.GetListTextRect(r, 0, 0), 1);
  EXPECT_EQ(r, (RECT{100, 480, 300, 500}));
  EXPECT_EQ(reader.GetListTextFont(s, 0, 0), 1);
  EXPECT_EQ(s, "FONT1");
  // A list text starts with dynamic fit off.
  EXPECT_EQ(reader.GetListTextDynamicFit(n, 0, 0), 1);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(reader.GetListTextAlign(n, 0, 0), 1);
  EXPECT_EQ(n, ALIGN_CENTER);

  EXPECT_EQ(reader.GetListImageCount(n, 0), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(reader.GetListImageName(s, 0, 0), 1);
  EXPECT_EQ(s, "Frame");
  EXPECT_EQ(reader.GetListImageFile(s, 0, 0), 1);
  EXPECT_EQ(s, folder + "/frame.bmp");
  EXPECT_EQ(reader.GetListImageRect(r, 0, 0), 1);
  EXPECT_EQ(r, (RECT{90, 90, 710, 510}));

  ASSERT_EQ(reader.GetStillImageCount(n), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(reader.GetStillImageName(s, 0), 1);
  EXPECT_EQ(s, "Logo");
  EXPECT_EQ(reader.GetStillImageFile(s, 0), 1);
  EXPECT_EQ(s, folder + "/logo.bmp");
  EXPECT_EQ(reader.GetStillImageRect(r, 0), 1);
  EXPECT_EQ(r, (RECT{0, 500, 100, 600}));

  ASSERT_EQ(reader.GetProgressCount(n), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(reader.GetProgressName(s, 0), 1);
  EXPECT_EQ(s, "Seek");
  EXPECT_EQ(reader.GetProgressImage(s, 0), 1);
  EXPECT_EQ(s, folder + "/seek.bmp");
  EXPECT_EQ(reader.GetProgressRect(r, 0), 1);
  EXPECT_EQ(r, (RECT{100, 550, 700, 560}));

  ASSERT_EQ(reader.GetIndicatorCount(n), 1);
  EXPECT_EQ(n, 1);
  std::string knob;
  EXPECT_EQ(reader.GetIndicatorImages(0, s, knob), 1);
  EXPECT_EQ(s, folder + "/vol.bmp");
  EXPECT_EQ(knob, folder + "/knob.bmp");
  EXPECT_EQ(reader.GetIndicatorRect(r, 0), 1);
  EXPECT_EQ(r, (RECT{100, 570, 300, 590}));

  // Hot keys: a record whose key names no known key still exists, with the
  // modifier bits alone; the first of two records for one key wins.
  ASSERT_EQ(reader.Hotkeys().size(), 4u);
  EXPECT_EQ(reader.Hotkeys()[2].keyCode, 0u);
  EXPECT_EQ(reader.GetHotkeyAction(ComposeKeyCode(1, 0, 0, 'P'), s), 1);
  EXPECT_EQ(s, "Play");
  EXPECT_EQ(reader.GetHotkeyAction(ComposeKeyCode(0, 0, 0, 'P'), s), 1);
  EXPECT_EQ(s, "Pause");
  s = "untouched";
  EXPECT_EQ(reader.GetHotkeyAction(ComposeKeyCode(1, 1, 0, 'P'), s), 0);
  EXPECT_EQ(s, "untouched");
}

TEST_F(LayoutReaderTest, EmptyPageHasEmptyTablesAndSucceeds) {
  WriteLayout("Home", Page(""));
  CLayoutReader reader("Home", skin_.path());
  ASSERT_EQ(reader.LoadAll(), 1);
  int n = -1;
  EXPECT_EQ(reader.GetButtonCount(n), 1);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(reader.GetListCount(n), 1);
  EXPECT_EQ(n, 0);
  std::string action = "untouched";
  EXPECT_EQ(reader.GetHotkeyAction(0x50, action), 0);
  EXPECT_EQ(action, "untouched");
}

TEST_F(LayoutReaderTest, MissingOrMalformedFileLeavesEveryTableEmpty) {
  WriteLayout("Broken", "<layout><image value=\"b.bmp\"/><action value=\"x\">");  // not well-formed
  WriteLayout("NoRoot", "<?xml version=\"1.0\"?>\n<!-- nothing -->\n");
  for (const char* page : {"Missing", "Broken", "NoRoot", ""}) {
    CLayoutReader reader(page, skin_.path());
    EXPECT_EQ(reader.LoadAll(), 0) << page;
    int w = -1, h = -1;
    EXPECT_EQ(reader.GetPageSize(w, h), 1);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    std::string background = "x";
    reader.GetBackgroundImage(background);
    EXPECT_EQ(background, "");
    EXPECT_TRUE(reader.Buttons().empty());
    EXPECT_EQ(reader.ParseButtons(), 0) << page;
  }
}

TEST_F(LayoutReaderTest, FindsFilesWithoutRegardToCase) {
  skin_.Write("layout/xml/music/tracks/LAYOUT.XML", Page("<action value=\"A\"><image value=\"a.bmp\"/>"
                                                         "<position left=\"1\" top=\"1\" width=\"1\" height=\"1\"/>"
                                                         "</action>"));
  CLayoutReader reader("Music\\Tracks", skin_.path());
  ASSERT_EQ(reader.LoadAll(), 1);
  EXPECT_EQ(reader.Buttons().size(), 1u);
}

TEST_F(LayoutReaderTest, ImageNamesStayInsideThePageFolder) {
  WriteLayout("P", Page("<still_image value=\"S\"><image value=\"\\etc\\passwd\"/>"
                        "<position left=\"0\" top=\"0\" width=\"1\" height=\"1\"/></still_image>"));
  CLayoutReader reader("P", skin_.path());
  ASSERT_EQ(reader.LoadAll(), 1);
  std::string file;
  ASSERT_EQ(reader.GetStillImageFile(file, 0), 1);
  EXPECT_EQ(file, Folder("P") + "/etc/passwd");
}

// One malformed element of any kind fails the whole page, and no table keeps
// what was read before it.
TEST_F(LayoutReaderTest, MissingRequiredPartsFailThePage) {
  const std::string pos = "<position left=\"1\" top=\"2\" width=\"3\" height=\"4\"/>";
  const std::string goodButton = "<action value=\"Ok\"><image value=\"a.bmp\"/>" + pos + "</action>";
  struct Case {
    const char* what;
    std::string layout;
  };
  const Case cases[] = {
      {"background without position", "<layout><image value=\"b.bmp\"/></layout>"},
      {"background without image", "<layout><position left=\"0\" top=\"0\" width=\"9\" height=\"9\"/></layout>"},
      {"page of zero width",
       "<layout><image value=\"b.bmp\"/>"
       "<position left=\"0\" top=\"0\" width=\"0\" height=\"480\"/>" +
           goodButton + "</layout>"},
      {"page of zero height",
       "<layout><image value=\"b.bmp\"/>"
       "<position left=\"0\" top=\"0\" width=\"640\" height=\"0\"/></layout>"},
      {"button without image value", Page(goodButton + "<action value=\"X\"><image/>" + pos + "</action>")},
      {"button without name", Page(goodButton + "<action><image value=\"a.bmp\"/>" + pos + "</action>")},
      {"button position without height", Page(goodButton + "<action value=\"X\"><image value=\"a.bmp\"/>"
                                                           "<position left=\"1\" top=\"2\" width=\"3\"/></action>")},
      {"link without hyperlink", Page("<link value=\"L\"><image value=\"a.bmp\"/>" + pos + "</link>")},
      {"text without position", Page("<text value=\"T\"/>")},
      {"list without image element", Page("<list value=\"L\">" + pos + "</list>")},
      {"list item without image",
       Page("<list value=\"L\">" + pos + "<image value=\"\"/><list_item value=\"I\">" + pos + "</list_item></list>")},
      {"icon without icon_image", Page("<list value=\"L\">" + pos + "<image/><list_item value=\"I\">" +
                                       "<image value=\"i.bmp\"/>" + pos + "<icon/></list_item></list>")},
      {"unreadable icon_position",
       Page("<list value=\"L\">" + pos + "<image/><list_item value=\"I\"><image value=\"i.bmp\"/>" + pos +
            "<icon><icon_image value=\"c.bmp\"/><icon_position left=\"1\"/></icon></list_item></list>")},
      {"unreadable text_position",
       Page("<list value=\"L\">" + pos + "<image/><list_item value=\"I\">" + "<image value=\"i.bmp\"/>" + pos +
            "<text_position top=\"3\"/>" + "</list_item></list>")},
      {"list link without hyperlink", Page("<list value=\"L\">" + pos + "<image/><list_link value=\"K\">" +
                                           "<image value=\"k.bmp\"/>" + pos + "</list_link></list>")},
      {"list action without position", Page("<list value=\"L\">" + pos + "<image/><list_action value=\"A\">" +
                                            "<image value=\"k.bmp\"/></list_action></list>")},
      {"list image without image",
       Page("<list value=\"L\">" + pos + "<image/><list_image value=\"A\">" + pos + "</list_image></list>")},
      {"still image without position", Page("<still_image value=\"S\"><image value=\"s.bmp\"/></still_image>")},
      {"progress without image", Page("<progress value=\"P\">" + pos + "</progress>")},
      {"indicator without knob", Page("<indicator value=\"V\"><image value=\"v.bmp\"/>" + pos + "</indicator>")},
      {"hotkey without action", Page("<hotkey id=\"VK_P_\"/>")},
      {"hotkey without key", Page("<hotkey value=\"Play\"/>")},
  };
  for (const Case& c : cases) {
    WriteLayout("Bad", c.layout);
    CLayoutReader reader("Bad", skin_.path());
    EXPECT_EQ(reader.LoadAll(), 0) << c.what;
    EXPECT_TRUE(reader.Buttons().empty()) << c.what;
    EXPECT_TRUE(reader.Lists().empty()) << c.what;
    int w = -1, h = -1;
    reader.GetPageSize(w, h);
    EXPECT_EQ(w * h, 0) << c.what;
  }
}

TEST_F(LayoutReaderTest, AFailingKindKeepsNoHalfTableWhenParsedAlone) {
  const std::string pos = "<position left=\"1\" top=\"2\" width=\"3\" height=\"4\"/>";
  WriteLayout("Half",
              Page("<action value=\"A\"><image value=\"a.bmp\"/>" + pos + "</action>" + "<action value=\"B\"/>"));
  CLayoutReader reader("Half", skin_.path());
  EXPECT_EQ(reader.ParseButtons(), 0);
  EXPECT_TRUE(reader.Buttons().empty());
  // The other kinds still read.
  EXPECT_EQ(reader.ParseBackground(), 1);
  EXPECT_EQ(reader.ParseTexts(), 1);
}

TEST_F(LayoutReaderTest, OptionalPartsOfListItemsCarryOverWithinOneList) {
  const std::string pos = "<position left=\"0\" top=\"0\" width=\"10\" height=\"10\"/>";
  WriteLayout("Carry",
              Page("<list value=\"A\">" + pos + "<image/>" + "<list_item value=\"0\"><image value=\"r.bmp\"/>" + pos +
                   "<icon><icon_image value=\"i.bmp\"/><icon_position left=\"1\" top=\"1\" width=\"2\" "
                   "height=\"2\"/></icon>"
                   "<text_position left=\"5\" top=\"5\" width=\"5\" height=\"5\"/>"
                   "<check_position left=\"7\" top=\"7\" width=\"1\" height=\"1\"/></list_item>"
                   "<list_item value=\"1\"><image value=\"r.bmp\"/>" +
                   pos +
                   "</list_item>"
                   "<list_item value=\"2\"><image value=\"r.bmp\"/>" +
                   pos +
                   "<text_position left=\"9\" top=\"9\" width=\"1\" height=\"1\"/>"
                   "<check_position left=\"3\"/></list_item>"
                   "</list><list value=\"B\">" +
                   pos + "<image/>" + "<list_item value=\"0\"><image value=\"r.bmp\"/>" + pos + "</list_item></list>"));
  CLayoutReader reader("Carry", skin_.path());
  ASSERT_EQ(reader.LoadAll(), 1);
  RECT r;
  std::string s;
  // The second item lacks every optional part and reports the first's.
  EXPECT_EQ(reader.GetListItemTextRect(r, 1, 0), 1);
  EXPECT_EQ(r, (RECT{5, 5, 10, 10}));
  EXPECT_EQ(reader.GetListItemIconRect(r, 1, 0), 1);
  EXPECT_EQ(r, (RECT{1, 1, 3, 3}));
  EXPECT_EQ(reader.GetListItemIconImage(s, 1, 0), 1);
  EXPECT_EQ(s, Folder("Carry") + "/i.bmp");
  // The third has its own text position; its unreadable check position is
  // ignored and leaves the carried one whole.
  EXPECT_EQ(reader.GetListItemTextRect(r, 2, 0), 1);
  EXPECT_EQ(r, (RECT{9, 9, 10, 10}));
  EXPECT_EQ(reader.GetListItemCheckRect(r, 2, 0), 1);
  EXPECT_EQ(r, (RECT{7, 7, 8, 8}));
  // A new list starts afresh.
  EXPECT_EQ(reader.GetListItemTextRect(r, 0, 1), 1);
  EXPECT_EQ(r, (RECT{}));
  EXPECT_EQ(reader.GetListItemIconImage(s, 0, 1), 1);
  EXPECT_EQ(s, "");
  // A list whose image element has no value has no background.
  EXPECT_EQ(reader.GetListImage(s, 1), 1);
  EXPECT_EQ(s, "");
}

TEST_F(LayoutReaderTest, TextWordsAndValues) {
  const std::string pos = "<position left=\"0\" top=\"0\" width=\"10\" height=\"10\"/>";
  auto text = [&pos](const std::string& children) { return "<text value=\"T\">" + pos + children + "</text>"; };
  WriteLayout("Words", Page(text("<align value=\"right\"/>") +                  // 0: lower case unknown
                            text("<align value=\"MULTIPLELINECENTERTOP\"/>") +  // 1
                            text("<align value=\"MULTIPLELINE\"/>") +           // 2
                            text("<dynamic_fit value=\"TRUE\"/>") +             // 3
                            text("<dynamic_fit value=\"true\"/>") +             // 4
                            text("<dynamic_fit/>") +                            // 5: no value keeps default
                            text("<font/><dependency/>") +                      // 6
                            "<list value=\"L\">" + pos + "<image/>" + "<list_text value=\"LT\">" + pos +
                            "<dynamic_fit value=\"TRUE\"/></list_text>" + "<list_text value=\"LT2\">" + pos +
                            "</list_text></list>"));
  CLayoutReader reader("Words", skin_.path());
  ASSERT_EQ(reader.LoadAll(), 1);
  int v = -1;
  reader.GetTextAlign(v, 0);
  EXPECT_EQ(v, ALIGN_CENTER);
  reader.GetTextAlign(v, 1);
  EXPECT_EQ(v, ALIGN_MULTIPLELINECENTERTOP);
  reader.GetTextAlign(v, 2);
  EXPECT_EQ(v, ALIGN_MULTIPLELINE);
  reader.GetTextDynamicFit(v, 3);
  EXPECT_EQ(v, 1);
  reader.GetTextDynamicFit(v, 4);
  EXPECT_EQ(v, 0);
  reader.GetTextDynamicFit(v, 5);
  EXPECT_EQ(v, 1);
  std::string s;
  reader.GetTextFont(s, 6);
  EXPECT_EQ(s, "FONT1");
  reader.GetListTextDynamicFit(v, 0, 0);
  EXPECT_EQ(v, 1);
  reader.GetListTextDynamicFit(v, 1, 0);
  EXPECT_EQ(v, 0);
}

TEST_F(LayoutReaderTest, NumbersAreReadForgivingly) {
  WriteLayout("Num",
              "<layout><image value=\"b.bmp\"/>"
              "<position left=\" 7\" top=\"-3\" width=\"30px\" height=\"99999999999\"/>"
              "<text value=\"T\"><position left=\"x\" top=\"0\" width=\"1\" height=\"1\"/>"
              "<color normalcolor=\"zz\" highlightcolor=\"0xFFFFFFFFFF\"/></text></layout>");
  CLayoutReader reader("Num", skin_.path());
  ASSERT_EQ(reader.LoadAll(), 1);
  int w = 0, h = 0;
  reader.GetPageSize(w, h);
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 2147483647);  // clamped, no overflow
  plat::COLORREF c[4];
  reader.GetTextColors(0, c[0], c[1], c[2], c[3]);
  EXPECT_EQ(c[0], 0u);
  EXPECT_EQ(c[1], 0xFFFFFFFFu);
  RECT r;
  reader.GetTextRect(r, 0);
  EXPECT_EQ(r, (RECT{0, 0, 1, 1}));
}

class LayoutColourTest : public LayoutReaderTest {
 protected:
  VendorRegistry registry_;
};

TEST_F(LayoutColourTest, MissingColoursTakeTheVendorScheme) {
  ASSERT_EQ(registry_.Set("DEZAD"), VENDOR_DEZAD);
  const std::string pos = "<position left=\"0\" top=\"0\" width=\"10\" height=\"10\"/>";
  WriteLayout("Colours", Page("<text value=\"None\">" + pos + "</text>" + "<text value=\"OnlyNormal\">" + pos +
                              "<color normalcolor=\"0000FF\"/></text>"));
  CLayoutReader reader("Colours", skin_.path());
  ASSERT_EQ(reader.LoadAll(), 1);
  plat::COLORREF c[4];
  ASSERT_EQ(reader.GetTextColors(0, c[0], c[1], c[2], c[3]), 1);
  EXPECT_EQ(c[0], 0xFFFFFFu);
  EXPECT_EQ(c[1], 0x902878u);
  EXPECT_EQ(c[2], 0x770005u);
  EXPECT_EQ(c[3], 0xC384B6u);
  ASSERT_EQ(reader.GetTextColors(1, c[0], c[1], c[2], c[3]), 1);
  EXPECT_EQ(c[0], 0x0000FFu);
  EXPECT_EQ(c[1], 0x902878u);
  EXPECT_EQ(c[2], 0x770005u);
  EXPECT_EQ(c[3], 0xC384B6u);
}

}  // namespace
