// The setting page on the headless display with the default skin: the value
// changes of every Left/Right, the factory defaults per vendor, the audio
// output step, the boot selection kept in the registry, the texts chosen and
// drawn, the About layout and going back, and the page's states and keys.
#include <gtest/gtest.h>

#include <map>
#include <ostream>

#include "corebridge/core/movie_config.h"
#include "lounge/pages/setting/setting_page.h"
#include "lounge/pages/setting/setting_page_texts.h"
#include "lounge/skin/skin_page.h"
#include "platform/win/input.h"
#include "platform/win/system.h"
#include "tests/lounge/pages/setting/setting_pages_fixture.h"

namespace settingpages {
namespace {

// The configuration values the page changes.
struct Values {
  int ratio = 1;
  int mode = 1;
  int device = 1;
  int resolution = 1;
  int language = 1;
  int osd = 2;
  int subwoofer = 0;
  int effect = 0;
  float factor = 1.0f;

  bool operator==(const Values&) const = default;
  static Values Of(const CConfig& c) {
    return {c.m_nScreenRatio, c.m_nWideScreenMode, c.m_nDisplayMode, c.m_nResolution, c.m_nLanguage,
            c.m_nOsdDuration, c.m_bSubwoofer,      c.m_bSoundEffect, c.m_fScaleFactor};
  }
  void ApplyTo(CConfig& c) const {
    c.m_nScreenRatio = ratio, c.m_nWideScreenMode = mode, c.m_nDisplayMode = device, c.m_nResolution = resolution;
    c.m_nLanguage = language, c.m_nOsdDuration = osd, c.m_bSubwoofer = subwoofer, c.m_bSoundEffect = effect;
    c.m_fScaleFactor = factor;
  }
  Values With(void (*change)(Values&)) const {
    Values v = *this;
    change(v);
    return v;
  }
};

std::ostream& operator<<(std::ostream& out, const Values& v) {
  return out << "{ratio " << v.ratio << " mode " << v.mode << " device " << v.device << " resolution "
             << v.resolution << " language " << v.language << " osd " << v.osd << " subwoofer " << v.subwoofer
             << " effect " << v.effect << " factor " << v.factor << "}";
}

class SettingPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(env.started);
    page = std::make_unique<CSettingPage>(env.frame);
    env.frame.showSettingPage = [this] { return page->ShowSettingPage(); };
  }
  void TearDown() override {
    env.frame.active = nullptr;
    page.reset();
  }

  // Shows the page; what it asked of the system core on the way (the audio
  // effects) is forgotten.
  void Show() {
    ASSERT_EQ(page->ShowSettingPage(), 1);
    env.Settle();
    env.frame.executed.clear();
  }
  CMovieConfig& Movie() { return *env.config->m_pMovie; }
  plat::RECT ListTextRect(const std::string& name) {
    plat::RECT rect{};
    EXPECT_TRUE(page->GetListTextScreenRectByName(name, "Setting Options", &rect)) << name;
    return rect;
  }
  int ListIndex(const std::string& name) {
    int l = -1;
    EXPECT_TRUE(page->Layout()->FindList(name, l)) << name;
    return l;
  }

  PageEnvironment env;
  std::unique_ptr<CSettingPage> page;
};

TEST_F(SettingPageTest, ShowingThePageMakesItActiveAsModuleNineWithTheCaptionBar) {
  env.config->m_nActiveModule = MODULE_MUSIC;
  env.frame.calls.clear();
  EXPECT_EQ(env.frame.ShowSettingPage(), 1);
  EXPECT_EQ(env.frame.active, page.get());
  EXPECT_EQ(env.config->m_nActiveModule, MODULE_SETTING);
  EXPECT_EQ(page->CurrentPath(), "Setting\\SettingMain");
  EXPECT_EQ(env.frame.Count("NotifyCaptionBar 0"), 1);
  EXPECT_EQ(env.frame.Count("SetCaptionBarVisible 1 0"), 1);
  EXPECT_EQ(page->IsAboutShown(), 0);
}

TEST_F(SettingPageTest, ShownWithoutAudioEffectsItAsksForThemOnce) {
  Movie().m_arrAudioProfiles.clear();
  env.frame.executed.clear();
  ASSERT_EQ(env.frame.ShowSettingPage(), 1);
  ASSERT_EQ(env.frame.executed.size(), 1u);
  EXPECT_EQ(env.frame.executed[0].name, "Movie Update Audio Profiles");
  // Known effects are not asked for again.
  Movie().m_arrAudioProfiles = {1};
  env.frame.executed.clear();
  ASSERT_EQ(env.frame.ShowSettingPage(), 1);
  EXPECT_TRUE(env.frame.executed.empty());
}

TEST_F(SettingPageTest, ShownAgainAfterTheFrameWasResizedItDrawsAtTheNewSize) {
  Show();
  EXPECT_EQ(page->BackBufferRect().right, 1280);
  env.frame.SetActivePage(nullptr);
  // The frame is resized while another page is shown; this page hears
  // nothing of it until it is shown again.
  plat::MoveWindow(env.frame.window, 0, 0, 1024, 600, plat::TRUE);
  env.Settle();
  Show();
  EXPECT_EQ(page->BackBufferRect().right, 1024);
  EXPECT_EQ(page->BackBufferRect().bottom, 600);
}

TEST_F(SettingPageTest, EveryValueActionChangesTheConfigurationAsItsTableSays) {
  struct Case {
    const char* action;
    Values before;
    Values after;
  };
  const Values base;
  const Values wide = base.With([](Values& v) { v.ratio = 2; });
  const Case cases[] = {
      // Screen ratio: wide drops pan and scan, then the aspect factor follows.
      {"Setting ScreenRatio Right", base.With([](Values& v) { v.mode = 2; }),
       base.With([](Values& v) { v.ratio = 2, v.mode = 1, v.factor = 0.75f; })},
      {"Setting ScreenRatio Left", base.With([](Values& v) { v.mode = 3, v.device = 2; }),
       base.With([](Values& v) { v.ratio = 2, v.mode = 3, v.device = 2, v.factor = 1.0f; })},
      {"Setting ScreenRatio Right", wide.With([](Values& v) { v.device = 2, v.factor = 0.5f; }),
       base.With([](Values& v) { v.device = 2, v.factor = 1.3333334f; })},
      {"Setting ScreenRatio Left", wide.With([](Values& v) { v.factor = 0.75f; }), base},
      // Wide-screen mode on a 4:3 ratio steps through all three.
      {"Setting WideScreenMode Left", base, base.With([](Values& v) { v.mode = 3; })},
      {"Setting WideScreenMode Left", base.With([](Values& v) { v.mode = 3; }), base.With([](Values& v) { v.mode = 2; })},
      {"Setting WideScreenMode Left", base.With([](Values& v) { v.mode = 2; }), base},
      {"Setting WideScreenMode Right", base, base.With([](Values& v) { v.mode = 2; })},
      {"Setting WideScreenMode Right", base.With([](Values& v) { v.mode = 3; }), base},
      // On a wide ratio only letterbox and WIDEFILL exist.
      {"Setting WideScreenMode Left", wide, wide.With([](Values& v) { v.mode = 3; })},
      {"Setting WideScreenMode Right", wide.With([](Values& v) { v.mode = 3; }), wide},
      {"Setting WideScreenMode Right", wide.With([](Values& v) { v.mode = 2; }), wide},
      // Resolution 1..5 wraps both ways.
      {"Setting Resolution Left", base, base.With([](Values& v) { v.resolution = 5; })},
      {"Setting Resolution Right", base.With([](Values& v) { v.resolution = 5; }), base},
      {"Setting Resolution Right", base.With([](Values& v) { v.resolution = 2; }),
       base.With([](Values& v) { v.resolution = 3; })},
      {"Setting Language Left", base, base.With([](Values& v) { v.language = 2; })},
      {"Setting Language Right", base.With([](Values& v) { v.language = 2; }), base},
      // The on-screen-display duration wraps over 0..10.
      {"OSD Left", base.With([](Values& v) { v.osd = 0; }), base.With([](Values& v) { v.osd = 10; })},
      {"OSD Right", base.With([](Values& v) { v.osd = 10; }), base.With([](Values& v) { v.osd = 0; })},
      {"OSD Left", base, base.With([](Values& v) { v.osd = 1; })},
      {"OSD Right", base, base.With([](Values& v) { v.osd = 3; })},
      {"Setting Enable Subwoofer Left", base, base.With([](Values& v) { v.subwoofer = 1; })},
      {"Setting Enable Subwoofer Right", base.With([](Values& v) { v.subwoofer = 1; }), base},
      {"Sound Effect Right", base, base.With([](Values& v) { v.effect = 1; })},
      {"Sound Effect Left", base.With([](Values& v) { v.effect = 1; }), base},
  };
  Show();
  for (const Case& c : cases) {
    c.before.ApplyTo(*env.config);
    env.frame.executed.clear();
    EXPECT_EQ(page->OnAction(c.action), 1) << c.action;
    EXPECT_EQ(Values::Of(*env.config), c.after) << c.action << " from " << c.before;
    EXPECT_TRUE(env.frame.executed.empty()) << c.action << " is the page's own";
  }
}

TEST_F(SettingPageTest, TheSubwooferReachesTheRemoteControlOnlyForVendorOne) {
  Show();
  env.frame.calls.clear();
  page->OnAction("Setting Enable Subwoofer Right");
  EXPECT_EQ(env.frame.Count("PostRemoteMode 1"), 0);
  ASSERT_EQ(env.SetVendor("Vadu"), VENDOR_VADU);
  page->OnAction("Setting Enable Subwoofer Right");
  EXPECT_EQ(env.frame.Count("PostRemoteMode 0"), 1);
}

TEST_F(SettingPageTest, DefaultsDependOnTheVendor) {
  const Values odd{2, 3, 2, 4, 2, 7, 1, 1, 0.5f};
  Movie().m_nAudioSpeakerIdx = 3;
  Show();

  // Any vendor but the first: everything back, the boot selection written 0.
  odd.ApplyTo(*env.config);
  env.SetAlwaysPcMode(1);
  EXPECT_EQ(page->OnAction("Setting Default Enter"), 1);
  // The resolution back to the screen's own, the language to the texts'.
  EXPECT_EQ(Values::Of(*env.config), (Values{1, 1, 2, 0, 2, 2, 1, 0, 1.3333334f}));
  EXPECT_EQ(Movie().m_nAudioSpeakerIdx, 0);
  EXPECT_EQ(env.AlwaysPcMode(), 0);
  EXPECT_EQ(env.config->m_nBootSelection, 1);

  // Vendor one: a wide screen, no subwoofer, the second audio output; the
  // boot selection and the rest stay.
  ASSERT_EQ(env.SetVendor("Vadu"), VENDOR_VADU);
  odd.With([](Values& v) { v.ratio = 1; }).ApplyTo(*env.config);
  env.SetAlwaysPcMode(1);
  EXPECT_EQ(page->OnAction("Setting Default Enter"), 1);
  EXPECT_EQ(Values::Of(*env.config), (Values{2, 3, 2, 4, 2, 7, 0, 1, 1.0f}));
  EXPECT_EQ(Movie().m_nAudioSpeakerIdx, 1);
  EXPECT_EQ(env.AlwaysPcMode(), 1);
  EXPECT_EQ(env.config->m_nBootSelection, 2);
}

TEST_F(SettingPageTest, AudioOutputStepsWrapResetTheEffectAndUpdateTheProfiles) {
  Movie().m_arrSpeakers = {1, 2, 3};
  Movie().m_nAudioSpeakerIdx = 0;
  Movie().m_nAudioProfileIdx = 4;
  Show();
  struct Step {
    const char* action;
    int index;
  };
  const Step steps[] = {{"Setting Audio output Left", 2}, {"Setting AudioOutput Right", 0},
                        {"Setting Audio output Right", 1}, {"Setting AudioOutput Left", 0}};
  for (const Step& s : steps) {
    Movie().m_nAudioProfileIdx = 4;
    env.frame.executed.clear();
    page->OnAction(s.action);
    EXPECT_EQ(Movie().m_nAudioSpeakerIdx, s.index) << s.action;
    EXPECT_EQ(Movie().m_nAudioProfileIdx, 0) << s.action;
    ASSERT_EQ(env.frame.executed.size(), 1u) << s.action;
    EXPECT_EQ(env.frame.executed[0].name, "Movie Update Audio Profiles");
    EXPECT_EQ(env.frame.executed[0].a, 0);
    EXPECT_EQ(env.frame.executed[0].b, 0);
  }
  // An empty list has no entry to step to: the index stays.
  Movie().m_arrSpeakers.clear();
  page->OnAction("Setting Audio output Right");
  EXPECT_EQ(Movie().m_nAudioSpeakerIdx, 0);
  EXPECT_EQ(page->ListTextFor("Movie AudioOutput Option"), std::string{});
}

TEST_F(SettingPageTest, BootSelectionToggleWritesTheRegistryAndReadsItBack) {
  EXPECT_EQ(env.AlwaysPcMode(), -1);
  Show();
  // Drawing the page reads the value, writing the missing one as 0.
  EXPECT_EQ(env.AlwaysPcMode(), 0);
  EXPECT_EQ(env.config->m_nBootSelection, 1);

  EXPECT_EQ(page->OnAction("Setting BootSelection Right"), 1);
  EXPECT_EQ(env.AlwaysPcMode(), 1);
  EXPECT_EQ(env.config->m_nBootSelection, 2);
  EXPECT_EQ(page->ListTextFor("Setting BootSelection"), env.Text("TOPC"));

  EXPECT_EQ(page->OnAction("Setting BootSelection Left"), 1);
  EXPECT_EQ(env.AlwaysPcMode(), 0);
  EXPECT_EQ(env.config->m_nBootSelection, 1);

  // A change made elsewhere shows at the next redraw.
  env.SetAlwaysPcMode(5);
  page->Redraw(0);
  EXPECT_EQ(env.config->m_nBootSelection, 2);
}

TEST_F(SettingPageTest, WithoutAConfigurationNothingIsReadWrittenOrPassedOn) {
  env.frame.config = nullptr;
  Show();
  EXPECT_EQ(env.AlwaysPcMode(), -1);
  EXPECT_EQ(page->OnAction("Setting BootSelection Right"), 0);
  EXPECT_EQ(page->OnAction("OSD Left"), 0);
  EXPECT_EQ(env.AlwaysPcMode(), -1);
  EXPECT_TRUE(env.frame.executed.empty());
  EXPECT_EQ(page->ListTextFor("OSD Option"), std::nullopt);
}

TEST_F(SettingPageTest, OtherActionsGoToTheSystemCoreAndCloseQuitsFirst) {
  Show();
  env.frame.calls.clear();
  EXPECT_EQ(page->OnAction("Home"), env.frame.actionResult);
  EXPECT_EQ(page->OnAction("Close"), env.frame.actionResult);
  ASSERT_EQ(env.frame.executed.size(), 2u);
  EXPECT_EQ(env.frame.executed[0].name, "Home");
  EXPECT_EQ(env.frame.executed[1].name, "Close");
  EXPECT_EQ(env.frame.Count("QuitApplication"), 1);
}

TEST_F(SettingPageTest, ListTextsFollowTheConfigurationAndVendor) {
  struct Case {
    const char* name;
    int vendorId;  // 0 none, 1 Vadu, 2 DEZAD
    void (*set)(CConfig&);
    std::string expected;  // a string-table key, or (with '=') the text itself
  };
  const Case cases[] = {
      {"Setting BootSelection", 0, [](CConfig& c) { c.m_nBootSelection = 1; }, "BOOTTOMRV"},
      {"Setting BootSelection", 0, [](CConfig& c) { c.m_nBootSelection = 2; }, "TOPC"},
      {"Setting ScreenRatio", 0, [](CConfig& c) { c.m_nScreenRatio = 1; }, "SCREENRATIO43"},
      {"Setting ScreenRatio", 0, [](CConfig& c) { c.m_nScreenRatio = 2; }, "WIDESCREEN"},
      {"Setting WideScreenMode", 0, [](CConfig& c) { c.m_nWideScreenMode = 2; }, "PANSCAN"},
      {"Setting WideScreenMode", 0, [](CConfig& c) { c.m_nWideScreenMode = 3; }, "WIDEFILL"},
      {"Setting WideScreenMode", 0, [](CConfig& c) { c.m_nWideScreenMode = 9; }, "="},
      {"Enable Subwoofer", 0, [](CConfig& c) { c.m_bSubwoofer = 1; }, "YES"},
      {"Sound Effect Option", 0, [](CConfig& c) { c.m_bSoundEffect = 0; }, "NO"},
      {"Setting Display Resolution", 0, [](CConfig& c) { c.m_nResolution = 4; }, "SETTING_RESOLUTION_848X480"},
      // None chosen: the screen's own mode.
      {"Setting Display Resolution", 0, [](CConfig& c) { c.m_nResolution = 0; },
       "=" + std::to_string(plat::GetSystemMetrics(plat::SM_CXSCREEN)) + " x " +
           std::to_string(plat::GetSystemMetrics(plat::SM_CYSCREEN))},
      {"Setting Display Device Ratio", 0, [](CConfig& c) { c.m_nScreenRatio = 2; },
       "SETTING_SCREENRATIO_WIDESCREEN"},
      {"Setting System Language", 0, [](CConfig& c) { c.m_nLanguage = 1; }, "SETTING_LANGUAGE_GERMANY"},
      {"Setting System Language", 0, [](CConfig& c) { c.m_nLanguage = 2; }, "SETTING_LANGUAGE_ENGLISH"},
      {"OSD Option", 0, [](CConfig& c) { c.m_nOsdDuration = 2; }, "=2  SEC"},
      {"OSD Option", 0, [](CConfig& c) { c.m_nOsdDuration = 10; }, "=10  SEC"},
      {"OSD Option", 0, [](CConfig& c) { c.m_nOsdDuration = 0; }, "DISABLE"},
      // The effect kind of the selected audio profile.
      {"Audio output", 0, [](CConfig& c) { c.m_pMovie->m_arrAudioProfiles = {9, 5}, c.m_pMovie->m_nAudioProfileIdx = 1; },
       "DS3D"},
      {"Audio output", 0, [](CConfig& c) { c.m_pMovie->m_arrAudioProfiles = {9}, c.m_pMovie->m_nAudioProfileIdx = 0; },
       "NONE"},
      {"Audio output", 0, [](CConfig& c) { c.m_pMovie->m_arrAudioProfiles = {9}, c.m_pMovie->m_nAudioProfileIdx = 3; },
       "="},
      // The selected output kind, worded per vendor.
      {"Movie AudioOutput Option", 0, [](CConfig& c) { c.m_pMovie->m_arrSpeakers = {1}; }, "=2 Speakers"},
      {"Movie AudioOutput Option", 1, [](CConfig& c) { c.m_pMovie->m_arrSpeakers = {1}; }, "STEREO"},
      {"Movie AudioOutput Option", 2, [](CConfig& c) { c.m_pMovie->m_arrSpeakers = {1}; }, "SPK"},
      {"Movie AudioOutput Option", 0, [](CConfig& c) { c.m_pMovie->m_arrSpeakers = {1, 2}, c.m_pMovie->m_nAudioSpeakerIdx = 1; },
       "SPDIF"},
      {"Movie AudioOutput Option", 0, [](CConfig& c) { c.m_pMovie->m_arrSpeakers = {3}; }, "=4 Speakers"},
      {"Movie AudioOutput Option", 0, [](CConfig& c) { c.m_pMovie->m_arrSpeakers = {4}; }, "=6 Speakers"},
      {"Movie AudioOutput Option", 0, [](CConfig& c) { c.m_pMovie->m_arrSpeakers = {5}; }, "HEADPHONE"},
      {"Movie AudioOutput Option", 1, [](CConfig& c) { c.m_pMovie->m_arrSpeakers = {5}; }, "EARSPACE"},
      {"Movie AudioOutput Option", 0, [](CConfig& c) { c.m_pMovie->m_arrSpeakers.clear(); }, "="},
  };
  const char* vendors[] = {"", "Vadu", "DEZAD"};
  for (const Case& c : cases) {
    // The Movie section's defaults depend on the vendor: set it first.
    const int vendor = env.SetVendor(vendors[c.vendorId]);
    CConfig config;
    config.m_pMovie->m_nAudioSpeakerIdx = 0;
    c.set(config);
    const std::string expected = c.expected[0] == '=' ? c.expected.substr(1) : env.Text(c.expected);
    EXPECT_EQ(SettingListText(config, vendor, c.name), expected) << c.name << " " << c.expected;
  }
  EXPECT_EQ(SettingListText(*env.config, 0, "OSDDURATION"), std::nullopt);
}

TEST_F(SettingPageTest, TheChosenListTextIsDrawnAndAnEmptyOneDrawsNothing) {
  env.config->m_nOsdDuration = 2;
  Movie().m_arrSpeakers.clear();
  Show();
  EXPECT_EQ(page->ListTextFor("OSD Option"), "2  SEC");
  const plat::RECT osd = ListTextRect("OSD Option");
  const plat::RECT output = ListTextRect("Movie AudioOutput Option");
  const int osdBefore = env.BrightPixels(osd);
  EXPECT_GT(osdBefore, 20);
  EXPECT_EQ(env.BrightPixels(output), 0);

  // "OSD Left" draws "1  SEC" in place of it: the same box, other pixels.
  std::vector<std::uint32_t> before;
  for (int x = osd.left; x < osd.right; ++x) before.push_back(env.Screen(x, (osd.top + osd.bottom) / 2));
  page->OnAction("OSD Left");
  env.Settle();
  std::vector<std::uint32_t> after;
  for (int x = osd.left; x < osd.right; ++x) after.push_back(env.Screen(x, (osd.top + osd.bottom) / 2));
  EXPECT_NE(before, after);
  EXPECT_GT(env.BrightPixels(osd), 20);

  // An output kind shows its text.
  Movie().m_arrSpeakers = {2};
  page->Redraw(1);
  env.Settle();
  EXPECT_GT(env.BrightPixels(output), 20);
}

TEST_F(SettingPageTest, AboutLayoutComesAndGoesWithTheModuleBack) {
  Show();
  ASSERT_EQ(page->FollowLinkByName("Setting About Enter"), 1);
  EXPECT_EQ(page->CurrentPath(), "Setting\\About");
  EXPECT_EQ(page->IsAboutShown(), 1);
  EXPECT_TRUE(env.frame.Executed("Setting About Enter"));

  // The system core's "Back" for module 9 returns to the settings.
  IModule9PageEvents& events = *page;
  events.GoBack();
  EXPECT_EQ(page->CurrentPath(), "Setting\\SettingMain");
  EXPECT_EQ(page->IsAboutShown(), 0);
  EXPECT_FALSE(env.frame.Executed("Home"));

  // From the settings themselves it goes home.
  events.GoBack();
  EXPECT_TRUE(env.frame.Executed("Home"));

  // The About page's own return link clears the flag too.
  ASSERT_EQ(page->FollowLinkByName("Setting About Enter"), 1);
  ASSERT_EQ(page->FollowLinkByName("Setting Setting Return"), 1);
  EXPECT_EQ(page->CurrentPath(), "Setting\\SettingMain");
  EXPECT_EQ(page->IsAboutShown(), 0);
}

TEST_F(SettingPageTest, AboutTextsFillTheStringTableFormatsWithVersionAndUser) {
  env.SetMachineString("UserName", "Ada");
  env.config->m_strVersion = "3.0.1210";
  Show();
  ASSERT_EQ(page->FollowLinkByName("Setting About Enter"), 1);
  EXPECT_EQ(page->TextFor("Setting About Version"), "Version 3.0.1210");
  EXPECT_EQ(page->TextFor("Setting About Content"),
            "Marivel media centre, version 3.0.1210. This copy is licensed to Ada.");
  EXPECT_EQ(page->TextFor("Setting About Copyright"), env.Text("COPYRIGHT"));
  EXPECT_EQ(page->TextFor("ABOUT"), std::nullopt);
  env.Settle();
  plat::RECT version{};
  ASSERT_TRUE(page->GetTextScreenRectByName("Setting About Version", &version));
  EXPECT_GT(env.BrightPixels(version), 20);
}

// A string table whose formats ask for more than they are given.
class HostileStrings : public IUIStringLookup {
 public:
  std::map<std::string, std::string> texts{
      {"ABOUTCONTENT", "%s%s%s%n"}, {"VERSIONINFO", "%d%p %x"}, {"COPYRIGHT", "%s"}};
  int Lookup(const std::string& key, std::string& text) const override {
    auto it = texts.find(key);
    if (it == texts.end()) return 0;
    text = it->second;
    return 1;
  }
};

TEST_F(SettingPageTest, HostileAboutFormatsAreShownAsTheyStandNeverFilled) {
  HostileStrings hostile;
  SetUIStringTable(&hostile);
  EXPECT_EQ(SettingAboutText("Setting About Content", "3.0", "Ada"), "%s%s%s%n");
  EXPECT_EQ(SettingAboutText("Setting About Version", "3.0", "Ada"), "%d%p %x");
  EXPECT_EQ(SettingAboutText("Setting About Copyright", "3.0", "Ada"), "%s");
  hostile.texts["ABOUTCONTENT"] = "%s (%s) %s";
  EXPECT_EQ(SettingAboutText("Setting About Content", "3.0", "Ada"), "%s (%s) %s");
  hostile.texts["ABOUTCONTENT"] = "v%s only";
  EXPECT_EQ(SettingAboutText("Setting About Content", "3.0", "Ada"), "v3.0 only");
  // The page draws them on the About layout without harm.
  Show();
  EXPECT_EQ(page->FollowLinkByName("Setting About Enter"), 1);
  page->Redraw(1);
  env.Settle();
  SetUIStringTable(env.strings.get());
}

TEST_F(SettingPageTest, ListImagesShowTheRatioAndModeAndActionsFollowTheVendor) {
  Show();
  const int options = ListIndex("Setting Options");
  struct Case {
    int ratio, mode;
    const char* shown;
  };
  const Case cases[] = {{1, 1, "Setting 4X3 Letterbox"}, {1, 2, "Setting 4X3 Panscan"},
                        {1, 3, "Setting 4X3 WIDEFILL"},  {2, 1, "Setting 16X9 Letterbox"},
                        {2, 3, "Setting 16X9 WIDEFILL"}, {2, 2, ""}};
  const CLayoutList& list = page->Layout()->Lists()[static_cast<std::size_t>(options)];
  for (const Case& c : cases) {
    env.config->m_nScreenRatio = c.ratio, env.config->m_nWideScreenMode = c.mode;
    page->Redraw(0);
    for (std::size_t j = 0; j < list.images.size(); ++j)
      EXPECT_EQ(page->ListState(options)->listImageShown[j], list.images[j].name == c.shown)
          << list.images[j].name << " at " << c.ratio << "/" << c.mode;
  }

  auto enabled = [&](const std::string& action) {
    int j = -1;
    EXPECT_TRUE(page->Layout()->FindListAction(action, j, options)) << action;
    return page->ListState(options)->listActionStates[static_cast<std::size_t>(j)].enabled;
  };
  EXPECT_EQ(enabled("Setting Resolution Left"), 1);
  ASSERT_EQ(env.SetVendor("Rorido"), VENDOR_RORIDO);
  page->Redraw(0);
  EXPECT_EQ(enabled("Setting Resolution Left"), 0);
  EXPECT_EQ(enabled("Setting Resolution Right"), 0);
  EXPECT_EQ(enabled("Setting WideScreenMode Left"), 1);
}

TEST_F(SettingPageTest, VendorOneKeysJumpFromTheRightArrowsToHomeOrPressThem) {
  ASSERT_EQ(env.SetVendor("Vadu"), VENDOR_VADU);
  Show();
  const int options = ListIndex("Setting Options");
  const int menu = ListIndex("Setting Menu");
  int ratioRight = -1, home = -1;
  ASSERT_TRUE(page->Layout()->FindListAction("Setting ScreenRatio Right", ratioRight, options));
  ASSERT_TRUE(page->Layout()->FindListAction("Home", home, menu));

  page->SetFocus(options, page->EntryOf(options, ENTRY_ACTION, ratioRight));
  env.config->m_nScreenRatio = 1;
  page->OnKeyDown(plat::VK_RIGHT, 1, 0);
  EXPECT_EQ(env.config->m_nScreenRatio, 2);

  page->SetFocus(options, page->EntryOf(options, ENTRY_ACTION, ratioRight));
  page->OnKeyDown(plat::VK_LEFT, 1, 0);
  EXPECT_EQ(page->FocusedList(), menu);
  EXPECT_EQ(page->FocusedEntry(), page->EntryOf(menu, ENTRY_ACTION, home));
  EXPECT_EQ(page->ListState(menu)->highlightedListAction, home);
  EXPECT_EQ(env.config->m_nScreenRatio, 2);
}

TEST_F(SettingPageTest, OtherVendorsMoveTheFocusFromTheRightArrowsAsUsual) {
  Show();
  const int options = ListIndex("Setting Options");
  int ratioRight = -1;
  ASSERT_TRUE(page->Layout()->FindListAction("Setting ScreenRatio Right", ratioRight, options));
  page->SetFocus(options, page->EntryOf(options, ENTRY_ACTION, ratioRight));
  page->OnKeyDown(plat::VK_RIGHT, 1, 0);
  page->OnKeyDown(plat::VK_LEFT, 1, 0);
  EXPECT_EQ(env.config->m_nScreenRatio, 1);
  EXPECT_TRUE(env.frame.executed.empty());
}

}  // namespace
}  // namespace settingpages
