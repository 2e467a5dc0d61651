// The authoring progress page on the headless display with the default skin:
// its texts chosen from the authoring job and the active module, the preview
// area it hands to the system core, its redraw and its actions.
#include <gtest/gtest.h>

#include <cstdlib>

#include "corebridge/core/authoring_config.h"
#include "lounge/pages/authoring/authoring_page.h"
#include "lounge/pages/authoring/authoring_page_texts.h"
#include "tests/lounge/pages/setting/setting_pages_fixture.h"

namespace settingpages {
namespace {

class AuthoringPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(env.started);
    page = std::make_unique<CAuthoringPage>(env.frame);
  }
  void TearDown() override {
    env.frame.active = nullptr;
    page.reset();
  }
  CAuthoringConfig& Job() { return *env.config->m_pAuthoring; }

  PageEnvironment env;
  std::unique_ptr<CAuthoringPage> page;
};

TEST_F(AuthoringPageTest, ModuleTextsFollowTheActiveModule) {
  struct Case {
    int module;
    const char* title;   // string-table keys; empty: no text
    const char* option;
    const char* unit;
  };
  const Case cases[] = {
      {MODULE_PHOTO, "PHOTO", "MYPICTURES", "PICTURES"}, {MODULE_MUSIC, "MUSIC", "MYMUSICS", "SONGS"},
      {MODULE_RADIO, "RADIO", "MYMUSICS", "SONGS"},      {MODULE_VIDEO, "VIDEO", "VIDEO_MYVIDEOS", "VIDEOS"},
      {MODULE_TV, "TV", "RECORDEDTV", "VIDEOS"},          {MODULE_MOVIE, "", "", ""},
      {MODULE_NONE, "", "", ""},
  };
  Job().m_arrElements = {"/a", "/b", "/c"};
  for (const Case& c : cases) {
    env.config->m_nActiveModule = c.module;
    const std::string title = *c.title ? env.Text(c.title) : "";
    const std::string option = *c.option ? env.Text(c.option) : "";
    EXPECT_EQ(AuthoringText(*env.config, "Authoring Module Title"), title) << c.module;
    EXPECT_EQ(AuthoringListText(*env.config, "Authoring Module Option"), option) << c.module;
    EXPECT_EQ(AuthoringListText(*env.config, "Authoring Element Size"), "3 " + (*c.unit ? env.Text(c.unit) : ""))
        << c.module;
  }
  EXPECT_EQ(AuthoringText(*env.config, "BURN"), std::nullopt);
  EXPECT_EQ(AuthoringListText(*env.config, "SOURCE"), std::nullopt);
}

TEST_F(AuthoringPageTest, DiscTypesSizesAndTheBurningProgress) {
  const char* keys[] = {"", "DVD", "SVCD", "VCD", "AUDIOCD", "DATACD", ""};
  for (int type = 0; type <= 6; ++type) {
    Job().m_nDiscType = type;
    const std::string text = *keys[type] ? env.Text(keys[type]) : "";
    EXPECT_EQ(DiscTypeKey(type), keys[type]) << type;
    EXPECT_EQ(AuthoringListText(*env.config, "Authoring DiscType Option"), text) << type;
  }

  struct Size {
    std::int64_t bytes;
    const char* text;
  };
  const Size sizes[] = {{0, "0 MB"},
                        {1024 * 1024 - 1, "0 MB"},
                        {5 * 1024 * 1024 + 1, "5 MB"},
                        {std::int64_t{9} << 32, "36864 MB"}};
  for (const Size& s : sizes) {
    Job().m_llTotalBytes = s.bytes;
    EXPECT_EQ(AuthoringListText(*env.config, "Authoring FileSize"), s.text) << s.bytes;
  }
  Job().m_nDiscRemainMB = 4482;
  EXPECT_EQ(AuthoringListText(*env.config, "Authoring DiscRemains"), "4482 MB");

  Job().m_nDiscType = AUTHORING_DISC_DVD;
  Job().m_nElapsedSeconds = 3723;
  EXPECT_EQ(AuthoringText(*env.config, "Authoring BurningProgress Info"), "Burning to DVD -- 01:02:03");
  Job().m_nDiscType = AUTHORING_DISC_DATACD;
  Job().m_nElapsedSeconds = 0;
  EXPECT_EQ(AuthoringText(*env.config, "Authoring BurningProgress Info"),
            "Burning to " + env.Text("DATACD") + " -- 00:00:00");
}

TEST_F(AuthoringPageTest, ShowingThePageLoadsThePreviewWithTheCaptionBar) {
  env.frame.calls.clear();
  EXPECT_EQ(page->ShowAuthoringPage(), 1);
  EXPECT_EQ(env.frame.active, page.get());
  EXPECT_EQ(page->CurrentPath(), "Authoring\\Preview");
  EXPECT_EQ(env.frame.Count("SetCaptionBarVisible 1 0"), 1);

  // Its redraw (from the system core or the page base) redraws the caption
  // bar with the same flag.
  env.frame.calls.clear();
  IAuthoringPageEvents& events = *page;
  events.Redraw(1);
  EXPECT_EQ(env.frame.Count("NotifyCaptionBar 1"), 1);
}

TEST_F(AuthoringPageTest, PreviewAreaIsTheVideoImageOnTheFrameWindow) {
  plat::HWND window = reinterpret_cast<plat::HWND>(0x1);
  plat::RECT rect{1, 2, 3, 4};
  // No layout yet.
  EXPECT_EQ(page->GetPreviewArea(&window, &rect), 0);
  EXPECT_EQ(window, reinterpret_cast<plat::HWND>(0x1));

  ASSERT_EQ(page->ShowAuthoringPage(), 1);
  ASSERT_EQ(page->GetPreviewArea(&window, &rect), 1);
  EXPECT_EQ(window, env.frame.window);
  // The layout's 120,220 960x540 on 1920x1080, scaled to the 1280x720 frame.
  EXPECT_LE(std::abs(rect.left - 80), 1);
  EXPECT_LE(std::abs(rect.top - 147), 1);
  EXPECT_LE(std::abs(rect.right - 720), 1);
  EXPECT_LE(std::abs(rect.bottom - 507), 1);

  // A layout without the image has no preview area.
  ASSERT_EQ(page->LoadLayout("Setting\\SettingMain"), 1);
  plat::RECT untouched{1, 2, 3, 4};
  window = nullptr;
  EXPECT_EQ(page->GetPreviewArea(&window, &untouched), 0);
  EXPECT_EQ(untouched.left, 1);
  EXPECT_EQ(window, nullptr);
}

TEST_F(AuthoringPageTest, ActionsGoToTheSystemCoreAndCloseQuitsFirst) {
  ASSERT_EQ(page->ShowAuthoringPage(), 1);
  env.frame.calls.clear();
  EXPECT_EQ(page->OnAction("Authoring Burn"), env.frame.actionResult);
  EXPECT_EQ(env.frame.Count("QuitApplication"), 0);
  EXPECT_EQ(page->OnAction("Close"), env.frame.actionResult);
  EXPECT_EQ(env.frame.Count("QuitApplication"), 1);
  ASSERT_EQ(env.frame.executed.size(), 2u);
  EXPECT_EQ(env.frame.executed[0].name, "Authoring Burn");
  EXPECT_EQ(env.frame.executed[1].name, "Close");
}

TEST_F(AuthoringPageTest, TheModuleTitleIsDrawnInItsOwnColour) {
  env.config->m_nActiveModule = MODULE_MUSIC;
  ASSERT_EQ(page->ShowAuthoringPage(), 1);
  page->Redraw(1);
  env.Settle();
  plat::RECT title{};
  ASSERT_TRUE(page->GetTextScreenRectByName("Authoring Module Title", &title));
  // 0xFFCAA2 as a COLORREF is red A2, green CA, blue FF on the screen.
  int inColour = 0;
  for (int y = title.top; y < title.bottom; ++y)
    for (int x = title.left; x < title.right; ++x) inColour += env.Screen(x, y) == 0xA2CAFF;
  EXPECT_GT(inColour, 10);

  // Without a module the title stays empty.
  env.config->m_nActiveModule = MODULE_MOVIE;
  page->Redraw(1);
  env.Settle();
  inColour = 0;
  for (int y = title.top; y < title.bottom; ++y)
    for (int x = title.left; x < title.right; ++x) inColour += env.Screen(x, y) == 0xA2CAFF;
  EXPECT_EQ(inColour, 0);
}

}  // namespace
}  // namespace settingpages
