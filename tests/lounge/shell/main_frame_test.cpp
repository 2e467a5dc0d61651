// The main frame on the headless display: creation, message routing to the
// active page, borders and sizing, press repeat at fixed clock times, the
// caption bar's slide, OSD placement, closing, the system messages passed on
// and the frame services.
#include <gtest/gtest.h>

#include "frame_fixture.h"
#include "lounge/shell/osd_window.h"
#include "lounge/shell/playback_bar.h"
#include "lounge/shell/running_marker.h"
#include "platform/com/rot.h"
#include "platform/registry/registry.h"
#include "platform/win/keys.h"
#include "tests/platform/registry/temp_registry.h"

namespace frametest {
namespace {

using Log = std::vector<std::string>;

plat::LPARAM Point(int x, int y) { return plat::MAKELPARAM(static_cast<plat::WORD>(x), static_cast<plat::WORD>(y)); }

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(env.started); }
  plat::LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return plat::SendMessage(env.Window(), msg, w, l); }
  RECT WindowRectInFrame(HWND child) {
    RECT r{};
    plat::GetWindowRect(child, &r);
    POINT corner{r.left, r.top};
    plat::ScreenToClient(env.Window(), &corner);
    return RECT{corner.x, corner.y, corner.x + (r.right - r.left), corner.y + (r.bottom - r.top)};
  }

  FrameEnvironment env;
};

// ---- creation and pages ----

TEST_F(MainFrameTest, CreationLoadsTheHomeLayoutAndCreatesEveryPageOnTheWindow) {
  ASSERT_TRUE(env.Start({"Authoring"}));
  // A 1280x720 screen is wide: "ROOT1280X800" first, then "Root".
  EXPECT_EQ(env.Take("Root.LoadLayout"), (Log{"Root.LoadLayout ROOT1280X800", "Root.LoadLayout Root"}));
  Log created;
  for (const std::string& entry : env.log)
    if (entry.size() > 7 && entry.compare(entry.size() - 7, 7, ".Create") == 0) created.push_back(entry);
  EXPECT_EQ(created, (Log{"Root.Create", "Movie.Create", "Music.Create", "Photo.Create", "Video.Create",
                          "Radio.Create", "Record.Create", "TV.Create", "Setting.Create"}));
  for (const auto& [name, page] : env.pages) EXPECT_EQ(page->ownerAtCreate, env.Window()) << name;
  EXPECT_EQ(env.frame->ActivePage(), static_cast<IModulePage*>(&env.Page("Root")));
  EXPECT_EQ(env.frame->GetFrameWnd(), env.Window());
  ASSERT_NE(env.frame->Osd(), nullptr);
  EXPECT_TRUE(plat::IsWindow(env.frame->Osd()->Window()));
}

TEST_F(MainFrameTest, RegistersTheRunningMarkerWhileTheWindowExists) {
  ASSERT_TRUE(env.Start());
  const std::string name = plat::ClassMonikerDisplayName(CLSID_MarivelRunning);
  plat::IUnknown* object = nullptr;
  ASSERT_EQ(plat::RotGetObject(name, &object), plat::S_OK);
  IMarivelRunning* marker = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IMarivelRunning, reinterpret_cast<void**>(&marker)), plat::S_OK);
  EXPECT_EQ(marker->Notify(1, 2, 3, 4), 1);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(object->QueryInterface(CLSID_UISystem, &other), plat::E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  marker->Release();
  object->Release();

  env.log.clear();
  plat::DestroyWindow(env.Window());
  EXPECT_EQ(env.frame->Window(), nullptr);
  EXPECT_EQ(env.Take("Root.Destroy").size(), 1u);
  EXPECT_EQ(env.Take("Setting.Destroy").size(), 1u);
  object = nullptr;
  EXPECT_NE(plat::RotGetObject(name, &object), plat::S_OK);
}

TEST_F(MainFrameTest, SetActivePageDeactivatesThePreviousPageAndRoutesToTheNewOne) {
  ASSERT_TRUE(env.Start());
  env.log.clear();
  env.frame->SetActivePage(&env.Page("Movie"));
  EXPECT_EQ(env.Take(), (Log{"Root.Deactivate"}));
  Send(plat::WM_LBUTTONDBLCLK, 0, Point(30, 40));
  EXPECT_EQ(env.Take(), (Log{"Movie.OnDoubleClick 30 40"}));
  EXPECT_FALSE(env.frame->IsRootPageActive());

  env.frame->SetActivePage(nullptr);
  EXPECT_EQ(env.Take(), (Log{"Movie.Deactivate", "Movie.OnModuleExit"}));
  Send(plat::WM_LBUTTONDBLCLK, 0, Point(30, 40));
  EXPECT_EQ(env.frame->QueryActivePage(), 0);
  EXPECT_TRUE(env.Take().empty());
}

TEST_F(MainFrameTest, AModulePageHearsOnceWhenItsModuleIsLeft) {
  ASSERT_TRUE(env.Start());
  CConfig& config = env.system.config;
  struct Step {
    const char* page;  // null: shut-down
    int module;        // the configuration root's active module by then
    Log expected;
  };
  const Step steps[] = {
      {"Movie", MODULE_MOVIE, {"Root.Deactivate"}},
      // The module opens the setting page and goes on behind it.
      {"Setting", MODULE_MOVIE, {"Movie.Deactivate"}},
      {"Movie", MODULE_MOVIE, {"Setting.Deactivate"}},
      {"Movie", MODULE_MOVIE, {"Movie.Deactivate"}},
      // Home: the module is left before the home page shows.
      {"Root", MODULE_NONE, {"Movie.Deactivate", "Movie.OnModuleExit"}},
      {"Root", MODULE_NONE, {"Root.Deactivate"}},
      // Another module's page, whatever the root says yet.
      {"Music", MODULE_MOVIE, {"Root.Deactivate"}},
      {"Photo", MODULE_MUSIC, {"Music.Deactivate", "Music.OnModuleExit"}},
      // Back out of the module to a page it did not open.
      {"Setting", MODULE_SETTING, {"Photo.Deactivate", "Photo.OnModuleExit"}},
      {"Record", MODULE_BURNING, {"Setting.Deactivate"}},
      {nullptr, MODULE_BURNING, {"Record.Deactivate", "Record.OnModuleExit"}},
  };
  env.log.clear();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.page ? step.page : "shut-down");
    config.m_nActiveModule = step.module;
    env.frame->SetActivePage(step.page ? &env.Page(step.page) : nullptr);
    EXPECT_EQ(env.Take(), step.expected);
  }
}

// ---- message routing ----

TEST_F(MainFrameTest, RoutesWindowMessagesToTheActivePage) {
  ASSERT_TRUE(env.Start());
  env.log.clear();
  RecordingPage& root = env.Page("Root");

  Send(plat::WM_LBUTTONDOWN, 0, Point(30, 40));
  Send(plat::WM_LBUTTONUP, 0, Point(31, 41));
  Send(plat::WM_LBUTTONDBLCLK, 0, Point(32, 42));
  Send(plat::WM_KEYDOWN, 0x74, 0x003F0001);  // F5
  Send(plat::WM_MOUSEWHEEL, plat::MAKEWPARAM(4, static_cast<plat::WORD>(-120)), Point(300, 200));
  Send(plat::WM_TIMER, 77);
  Send(plat::WM_SHOWWINDOW, 1);
  Send(plat::WM_MOUSELEAVE);
  EXPECT_EQ(env.Take("Root."), (Log{"Root.OnButtonDown 30 40", "Root.OnMouseDown 30 40", "Root.OnButtonUp 31 41", "Root.OnDoubleClick 32 42",
                                    "Root.OnKeyDown 116 1 63", "Root.OnMouseWheel 4 -120 300 200", "Root.OnTimer 77",
                                    "Root.OnShowWindow", "Root.OnMouseLeave"}));

  EXPECT_EQ(Send(plat::WM_ERASEBKGND), 1);
  plat::InvalidateRect(env.Window(), nullptr, plat::FALSE);
  plat::UpdateWindow(env.Window());
  EXPECT_EQ(env.Take("Root."), (Log{"Root.OnPaint"}));

  root.queryResult = 5;
  EXPECT_EQ(env.frame->QueryActivePage(), 5);
  EXPECT_EQ(env.Take("Root."), (Log{"Root.Query"}));

  // Resizing: the display rectangle becomes the client rectangle before the
  // page hears of it.
  plat::SetWindowPos(env.Window(), nullptr, 0, 0, 640, 400, plat::SWP_NOMOVE | plat::SWP_NOZORDER);
  EXPECT_EQ(env.Take("Root."), (Log{"Root.OnResize"}));
  const RECT display = env.frame->DisplayRect();
  EXPECT_EQ(display.right - display.left, 640);
  EXPECT_EQ(display.bottom - display.top, 400);
}

TEST_F(MainFrameTest, MouseMovesReachThePageOnceAndLeavingIsTracked) {
  ASSERT_TRUE(env.Start());
  env.log.clear();
  const POINT at = env.Screen({200, 150});
  plat::InjectMouseMove(at.x, at.y);
  Pump();
  // The hit test and the move itself both see the cursor; only one of them
  // finds it moved.
  EXPECT_EQ(env.Take("Root.OnMouseMove"), (Log{"Root.OnMouseMove 200 150"}));
  EXPECT_EQ(env.frame->HasMouseMoved(), 0);

  // Leaving the frame for the screen's corner.
  plat::InjectMouseMove(2, 2);
  Pump();
  EXPECT_EQ(env.Take("Root.OnMouseLeave").size(), 1u);
}

TEST_F(MainFrameTest, HitTestGivesBordersWhileWindowedAndThePageAnswerOtherwise) {
  ASSERT_TRUE(env.Start());
  RecordingPage& root = env.Page("Root");
  root.hitTestResult = static_cast<int>(plat::HTCAPTION);
  auto hit = [&](POINT client) {
    const POINT s = env.Screen(client);
    return Send(plat::WM_NCHITTEST, 0, Point(s.x, s.y));
  };
  EXPECT_EQ(hit({2, 2}), plat::HTTOPLEFT);
  EXPECT_EQ(hit({797, 300}), plat::HTRIGHT);
  EXPECT_EQ(hit({400, 498}), plat::HTBOTTOM);
  EXPECT_EQ(hit({400, 250}), plat::HTCAPTION);
  env.log.clear();
  env.frame->Maximize();
  Pump();
  EXPECT_EQ(hit({2, 2}), plat::HTCAPTION);
  EXPECT_EQ(env.Take("Root.HitTest"), (Log{"Root.HitTest 2 2"}));
  EXPECT_TRUE(env.frame->IsMaximized());
  env.frame->Restore();
  EXPECT_FALSE(env.frame->IsMaximized());
}

TEST_F(MainFrameTest, SizingSnapsToTheVendorMinimumAndTheScreenAspect) {
  env.options.vendorId = VENDOR_VADU;
  ASSERT_TRUE(env.Start());
  RECT r{100, 100, 400, 300};
  EXPECT_EQ(Send(plat::WM_SIZING, plat::WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r)), 1);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.right - r.left, 944);
  // 944 at 16:9.
  EXPECT_NEAR(r.bottom - r.top, 531, 1);
}

TEST_F(MainFrameTest, KeysRedrawNothingWithoutBarsAndReachThePage) {
  ASSERT_TRUE(env.Start());
  env.log.clear();
  Send(plat::WM_KEYDOWN, plat::VK_RETURN, 1);
  EXPECT_EQ(env.Take("Root."), (Log{"Root.OnKeyDown 13 1 0"}));
}

// ---- press repeat ----

TEST_F(MainFrameTest, AClickHeldStillRepeatsEvery300MsAfterOneSecond) {
  ASSERT_TRUE(env.Start());
  const POINT at = env.Screen({300, 200});
  plat::InjectMouseMove(at.x, at.y);
  Pump();
  env.log.clear();
  plat::InjectMouseButton(0, true, at.x, at.y);
  Pump();
  EXPECT_EQ(env.Take("Root.OnButton"), (Log{"Root.OnButtonDown 300 200"}));
  EXPECT_EQ(env.Take("Root.OnMouseDown"), (Log{"Root.OnMouseDown 300 200"}));

  env.Advance(999);
  env.Advance(1);  // the delay runs out: the first repeat is due 300 ms later
  env.Advance(299);
  EXPECT_TRUE(env.Take("Root.OnButton").empty());
  env.Advance(1);
  EXPECT_EQ(env.Take("Root.OnButton"), (Log{"Root.OnButtonUp 300 200", "Root.OnButtonDown 300 200"}));
  env.Advance(300);
  EXPECT_EQ(env.Take("Root.OnButton"), (Log{"Root.OnButtonUp 300 200", "Root.OnButtonDown 300 200"}));

  // A page that refuses the release stops that repeat, not the next.
  env.Page("Root").buttonUpResult = 0;
  env.Advance(300);
  EXPECT_EQ(env.Take("Root.OnButton"), (Log{"Root.OnButtonUp 300 200"}));
  env.Page("Root").buttonUpResult = 1;

  plat::InjectMouseButton(0, false, at.x, at.y);
  Pump();
  EXPECT_EQ(env.Take("Root.OnButton"), (Log{"Root.OnButtonUp 300 200"}));
  env.Advance(1500);
  EXPECT_TRUE(env.Take("Root.OnButton").empty());
  // Repeats are no new presses.
  EXPECT_TRUE(env.Take("Root.OnMouseDown").empty());
}

TEST(MainFramePressRepeat, MovingBeforeTheFirstSecondOrVendor2MeansNoRepeat) {
  for (int vendor : {VENDOR_NONE, VENDOR_DEZAD}) {
    SCOPED_TRACE(vendor);
    FrameEnvironment local;
    ASSERT_TRUE(local.started);
    local.options.vendorId = vendor;
    ASSERT_TRUE(local.Start());
    const POINT at = local.Screen({300, 200});
    plat::InjectMouseMove(at.x, at.y);
    Pump();
    plat::InjectMouseButton(0, true, at.x, at.y);
    Pump();
    if (vendor == VENDOR_NONE) {
      plat::InjectMouseMove(at.x + 5, at.y);
      Pump();
    }
    local.log.clear();
    local.Advance(1000);
    local.Advance(1000);
    EXPECT_TRUE(local.Take("Root.OnButton").empty());
    plat::InjectMouseButton(0, false, at.x, at.y);
    Pump();
  }
}

// ---- caption bar ----

TEST_F(MainFrameTest, CaptionBarSlidesInAndOutInTenthsOnTheFrameTimers) {
  ASSERT_TRUE(env.Start());
  ASSERT_EQ(env.frame->SetCaptionBarVisible(1, 1), 1);
  CCaptionBar* bar = env.frame->CaptionBar();
  ASSERT_NE(bar, nullptr);
  const int height = bar->Height();
  ASSERT_GT(height, 0);
  EXPECT_TRUE(plat::IsWindowVisible(bar->Window()));
  EXPECT_FLOAT_EQ(bar->Position(), 1.0f);
  // A second animated show while sliding in changes nothing.
  EXPECT_EQ(env.frame->SetCaptionBarVisible(1, 1), 1);

  for (int tick = 1; tick <= 10; ++tick) {
    env.Advance(50);
    const float expected = static_cast<float>(10 - tick) / 10.0f;
    EXPECT_FLOAT_EQ(bar->Position(), expected) << tick;
    EXPECT_EQ(WindowRectInFrame(bar->Window()).top, -static_cast<int>(static_cast<float>(height) * expected)) << tick;
  }
  env.Advance(500);
  EXPECT_FLOAT_EQ(bar->Position(), 0.0f);
  EXPECT_EQ(WindowRectInFrame(bar->Window()).right, 800);

  // Away from the bar, an animated hide slides it out in 100 ms steps.
  plat::InjectMouseMove(env.Screen({400, 400}).x, env.Screen({400, 400}).y);
  Pump();
  ASSERT_EQ(env.frame->SetCaptionBarVisible(0, 1), 1);
  env.Advance(100);
  EXPECT_FLOAT_EQ(bar->Position(), 0.1f);
  env.Advance(50);
  EXPECT_FLOAT_EQ(bar->Position(), 0.1f);
  for (int tick = 2; tick <= 10; ++tick) env.Advance(100);
  EXPECT_FLOAT_EQ(bar->Position(), 1.0f);
  EXPECT_EQ(WindowRectInFrame(bar->Window()).top, -height);
}

TEST_F(MainFrameTest, AnimatedHideIsRefusedUnderTheCursorAndPlainHideIsNot) {
  ASSERT_TRUE(env.Start());
  ASSERT_EQ(env.frame->SetCaptionBarVisible(1, 0), 1);
  CCaptionBar* bar = env.frame->CaptionBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_FLOAT_EQ(bar->Position(), 0.0f);
  EXPECT_TRUE(env.frame->IsCaptionBarShown());

  const POINT over = env.Screen({400, bar->Height() / 2});
  plat::InjectMouseMove(over.x, over.y);
  Pump();
  ASSERT_TRUE(env.frame->IsCursorOverCaptionBar());
  EXPECT_EQ(env.frame->SetCaptionBarVisible(0, 1), 1);
  env.Advance(2000);
  EXPECT_FLOAT_EQ(bar->Position(), 0.0f);

  // Over the playback bar's region it is refused too.
  ASSERT_EQ(env.frame->ShowPlaybackBar("FloatingBar\\PlaybackBar\\MoviePlaybackBar"), 1);
  ASSERT_EQ(env.frame->SetPlaybackBarVisible(1, 0), 1);
  CPlaybackBar* playback = env.frame->PlaybackBar();
  ASSERT_NE(playback, nullptr);
  RECT pr{};
  plat::GetWindowRect(playback->Window(), &pr);
  bool refused = false;
  for (int x = pr.left + 2; x < pr.right && !refused; x += 8) {
    plat::InjectMouseMove(x, (pr.top + pr.bottom) / 2);
    Pump();
    if (!env.frame->IsCursorOverPlaybackBar()) continue;
    EXPECT_EQ(env.frame->SetCaptionBarVisible(0, 1), 1);
    env.Advance(2000);
    EXPECT_FLOAT_EQ(bar->Position(), 0.0f);
    refused = true;
  }
  EXPECT_TRUE(refused) << "no point of the playback bar's region was found";

  // Without animation it goes at once, wherever the cursor is.
  EXPECT_EQ(env.frame->SetCaptionBarVisible(0, 0), 1);
  EXPECT_FLOAT_EQ(bar->Position(), 1.0f);
  EXPECT_FALSE(env.frame->IsCaptionBarShown());
}

TEST_F(MainFrameTest, PlaybackBarSlideTimersGoToTheBar) {
  ASSERT_TRUE(env.Start());
  EXPECT_EQ(env.frame->SetPlaybackBarVisible(1, 1), 0);  // no bar yet
  ASSERT_EQ(env.frame->ShowPlaybackBar("FloatingBar\\PlaybackBar\\MusicPlaybackBar"), 1);
  ASSERT_EQ(env.frame->SetPlaybackBarVisible(1, 1), 1);
  CPlaybackBar* bar = env.frame->PlaybackBar();
  for (int tick = 0; tick < 10; ++tick) env.Advance(50);
  EXPECT_FLOAT_EQ(bar->Position(), 0.0f);
  EXPECT_TRUE(env.frame->HasPlaybackBar());
  EXPECT_EQ(env.frame->SetPlaybackBarPath("FloatingBar\\PlaybackBar\\MoviePlaybackBar"), 1);
  EXPECT_EQ(bar->CurrentPath(), "FloatingBar\\PlaybackBar\\MoviePlaybackBar");
  EXPECT_EQ(env.frame->PlaybackBar(), bar);
}

TEST_F(MainFrameTest, Vendor4NeverCreatesABarAndEveryBarServiceAnswers0) {
  env.options.vendorId = VENDOR_RORIDO;
  ASSERT_TRUE(env.Start());
  CMainFrame& f = *env.frame;
  EXPECT_EQ(f.ShowCaptionBar(), 0);
  EXPECT_EQ(f.SetCaptionBarVisible(1, 0), 0);
  EXPECT_EQ(f.SetCaptionBarVisible(1, 1), 0);
  EXPECT_EQ(f.NotifyCaptionBar(1), 0);
  EXPECT_EQ(f.ShowPlaybackBar("FloatingBar\\PlaybackBar\\MoviePlaybackBar"), 0);
  EXPECT_EQ(f.SetPlaybackBarPath("FloatingBar\\PlaybackBar\\MoviePlaybackBar"), 0);
  EXPECT_EQ(f.SetPlaybackBarVisible(1, 0), 0);
  EXPECT_EQ(f.NotifyPlaybackBar(1), 0);
  EXPECT_EQ(f.SetBarsTopmost(1), 0);
  EXPECT_EQ(f.HideCaptionBar(), 0);
  EXPECT_EQ(f.HidePlaybackBar(), 0);
  EXPECT_EQ(f.CaptionBar(), nullptr);
  EXPECT_EQ(f.PlaybackBar(), nullptr);
  EXPECT_FALSE(f.HasPlaybackBar());
}

TEST_F(MainFrameTest, BarsKeepTheirPositionAcrossAResizeAndTopmostNeedsBothBars) {
  ASSERT_TRUE(env.Start());
  EXPECT_EQ(env.frame->NotifyCaptionBar(0), 0);
  ASSERT_EQ(env.frame->ShowCaptionBar(), 1);
  EXPECT_EQ(env.frame->SetBarsTopmost(1), 0);  // no playback bar
  ASSERT_EQ(env.frame->ShowPlaybackBar("FloatingBar\\PlaybackBar\\MoviePlaybackBar"), 1);
  EXPECT_EQ(env.frame->SetBarsTopmost(1), 1);
  env.frame->SetCaptionBarPosition(0.5f);
  env.frame->SetPlaybackBarVisible(1, 0);
  plat::SetWindowPos(env.Window(), nullptr, 0, 0, 600, 380, plat::SWP_NOMOVE | plat::SWP_NOZORDER);
  Pump();
  CCaptionBar* caption = env.frame->CaptionBar();
  const RECT c = WindowRectInFrame(caption->Window());
  EXPECT_EQ(c.right - c.left, 600);
  EXPECT_EQ(c.top, -static_cast<int>(static_cast<float>(caption->Height()) * 0.5f));
  const RECT p = WindowRectInFrame(env.frame->PlaybackBar()->Window());
  EXPECT_EQ(p.bottom, 380);
  EXPECT_EQ(p.right - p.left, 600);
}

// ---- OSD ----

TEST_F(MainFrameTest, OsdIsPlacedWithinTheDisplayRectOrTheClientRectWhenEmpty) {
  ASSERT_TRUE(env.Start());
  COsdWnd* osd = env.frame->Osd();
  ASSERT_NE(osd, nullptr);
  const RECT display{100, 50, 700, 450};
  env.frame->SetDisplayRect(display);
  ASSERT_EQ(env.frame->ShowOsdText("Volume 10"), 1);
  const plat::SIZE size = osd->MeasureText();
  ASSERT_GT(size.cx, 0);
  RECT expected = COsdWnd::PlaceWithin(display, 0, size.cx, size.cy);
  RECT placed = WindowRectInFrame(osd->Window());
  EXPECT_TRUE(osd->IsVisible());
  EXPECT_EQ(placed.left, expected.left);
  EXPECT_EQ(placed.top, expected.top);
  EXPECT_EQ(placed.right, expected.right);

  env.frame->SetDisplayRect(RECT{});
  ASSERT_EQ(env.frame->ShowOsdText("Volume 10"), 1);
  expected = COsdWnd::PlaceWithin(RECT{0, 0, 800, 500}, 0, size.cx, size.cy);
  placed = WindowRectInFrame(osd->Window());
  EXPECT_EQ(placed.left, expected.left);
  EXPECT_EQ(placed.top, expected.top);

  // Below the caption bar when it is taller than a fourteenth of the height,
  // and moved with the frame while shown.
  ASSERT_EQ(env.frame->ShowCaptionBar(), 1);
  plat::SetWindowPos(env.Window(), nullptr, 0, 0, 1000, 560, plat::SWP_NOMOVE | plat::SWP_NOZORDER);
  Pump();
  EXPECT_TRUE(osd->IsVisible());
  expected = COsdWnd::PlaceWithin(RECT{0, 0, 1000, 560}, env.frame->CaptionBar()->Height(), size.cx, size.cy);
  placed = WindowRectInFrame(osd->Window());
  EXPECT_EQ(placed.left, expected.left);
  EXPECT_EQ(placed.top, expected.top);

  EXPECT_EQ(env.frame->HideOsd(), 1);
  EXPECT_FALSE(osd->IsVisible());
  EXPECT_EQ(env.frame->ShowOsdText(""), 0);
  EXPECT_FALSE(osd->IsVisible());
}

TEST_F(MainFrameTest, OsdServicesSetItsOptionsAndAClearedOwnerKeepsItHidden) {
  ASSERT_TRUE(env.Start());
  COsdWnd* osd = env.frame->Osd();
  EXPECT_EQ(env.frame->SetOsdOption(0x123456), 1);
  EXPECT_EQ(osd->BackColour(), 0x123456u);
  EXPECT_EQ(env.frame->SetOsdOption2(3500), 1);
  EXPECT_EQ(env.frame->GetOsdOption(), 3500);
  ASSERT_EQ(env.frame->ShowOsdStringId("NO SUCH KEY 42"), 1);
  EXPECT_EQ(osd->Text(), "NO SUCH KEY 42");
  EXPECT_EQ(env.frame->SetOsdOwner(0), 1);
  EXPECT_FALSE(osd->IsVisible());
  env.frame->ShowOsdText("Mute");
  EXPECT_FALSE(osd->IsVisible());
  env.frame->SetOsdOwner(1);
  ASSERT_EQ(env.frame->ShowOsdTextW(u"Mute"), 1);
  EXPECT_TRUE(osd->IsVisible());
  EXPECT_TRUE(osd->IsWide());
}

TEST_F(MainFrameTest, OsdHidesOnItsOwnOnceAndAResizeIsNoHide) {
  ASSERT_TRUE(env.Start());
  env.frame->SetOsdOption2(2000);
  ASSERT_EQ(env.frame->ShowOsdText("Play"), 1);
  env.Advance(500);
  ASSERT_EQ(env.frame->ShowOsdText("Pause"), 1);  // replaces the text: no hide for the system core
  plat::SetWindowPos(env.Window(), nullptr, 0, 0, 700, 450, plat::SWP_NOMOVE | plat::SWP_NOZORDER);
  env.Advance(1900);
  EXPECT_TRUE(env.frame->Osd()->IsVisible());
  EXPECT_EQ(env.system.Count(OSD_HIDE_ACTION), 0);
  env.Advance(100);
  EXPECT_FALSE(env.frame->Osd()->IsVisible());
  EXPECT_EQ(env.system.Count(OSD_HIDE_ACTION), 1);
  env.Advance(5000);
  EXPECT_EQ(env.system.Count(OSD_HIDE_ACTION), 1);
}

// ---- closing and the system core ----

TEST_F(MainFrameTest, CloseHidesTheFrameRunsHomeAsksToQuitAndKeepsTheWindow) {
  ASSERT_TRUE(env.Start());
  Send(plat::WM_CLOSE);
  EXPECT_TRUE(plat::IsWindow(env.Window()));
  EXPECT_FALSE(plat::IsWindowVisible(env.Window()));
  EXPECT_EQ(env.system.Count("Home"), 1);
  EXPECT_TRUE(TakeQuit());

  // The end of the session does the same; a cancelled end does nothing.
  plat::ShowWindow(env.Window(), plat::SW_SHOW);
  Send(plat::WM_ENDSESSION, 0);
  EXPECT_TRUE(plat::IsWindowVisible(env.Window()));
  EXPECT_FALSE(TakeQuit());
  Send(plat::WM_ENDSESSION, 1);
  EXPECT_FALSE(plat::IsWindowVisible(env.Window()));
  EXPECT_EQ(env.system.Count("Home"), 2);
  EXPECT_TRUE(TakeQuit());

  // Closing from the caption bar's service: one quit request, not two.
  EXPECT_EQ(env.frame->QuitApplication(), 1);
  EXPECT_EQ(env.system.Count("Home"), 3);
  EXPECT_TRUE(TakeQuit());
  EXPECT_FALSE(TakeQuit());
  EXPECT_TRUE(plat::IsWindow(env.Window()));

  Send(WM_FRAME_QUIT);
  EXPECT_TRUE(TakeQuit());
}

TEST_F(MainFrameTest, OnlyTheFourSystemNoticesGoToTheSystemCore) {
  ASSERT_TRUE(env.Start());
  env.system.systemMessages.clear();
  const UINT others[] = {plat::WM_KEYDOWN, plat::WM_TIMER, plat::WM_MOUSEMOVE, plat::WM_USER + 5, plat::WM_ACTIVATEAPP};
  for (UINT msg : others) Send(msg, 999, 0);
  const UINT notices[] = {plat::WM_DISPLAYCHANGE, plat::WM_POWERBROADCAST, plat::WM_DEVICECHANGE,
                          plat::WM_WTSSESSION_CHANGE};
  for (UINT msg : notices) EXPECT_EQ(Send(msg, 7, 8), 0);
  ASSERT_EQ(env.system.systemMessages.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(env.system.systemMessages[i].window, env.Window());
    EXPECT_EQ(env.system.systemMessages[i].msg, notices[i]);
    EXPECT_EQ(env.system.systemMessages[i].wParam, 7u);
    EXPECT_EQ(env.system.systemMessages[i].lParam, 8);
  }
  // An answer other than "not handled" is the message's result.
  env.system.systemMessageResult = 0x1234;
  EXPECT_EQ(Send(plat::WM_POWERBROADCAST, 4, 0), 0x1234);

  env.frame->BindSystem(nullptr);
  env.system.systemMessages.clear();
  EXPECT_EQ(Send(plat::WM_DEVICECHANGE, 1, 0), 0);
  EXPECT_TRUE(env.system.systemMessages.empty());
}

TEST_F(MainFrameTest, ApplicationCommandsAndTheRemoteWindowReachTheHotKeys) {
  ASSERT_TRUE(env.Start());
  EXPECT_EQ(Send(plat::WM_APPCOMMAND, 0, plat::MAKELPARAM(0, 0x800E)), 1);
  ASSERT_EQ(env.system.hotkeys, (std::vector<std::intptr_t>{0x00E}));
  EXPECT_EQ(env.system.hotkeyWindow, reinterpret_cast<std::intptr_t>(env.Window()));
  env.system.hotkeyResult = plat::E_FAIL;
  EXPECT_EQ(Send(plat::WM_APPCOMMAND, 0, plat::MAKELPARAM(0, 8)), 0);
  env.system.hotkeyResult = plat::S_OK;

  env.system.hotkeys.clear();
  EXPECT_EQ(Send(WM_REMOTE_KEY_NOTICE, 5, 1), 1);
  EXPECT_EQ(Send(WM_REMOTE_KEY_NOTICE, 6, 1), 1);
  Send(WM_REMOTE_KEY_NOTICE, 6, 0);
  EXPECT_EQ(env.system.hotkeys, (std::vector<std::intptr_t>{10, 9}));

  // "Home" only away from the home screen; an iconic frame comes back.
  Send(WM_REMOTE_KEY_NOTICE, 3, 0);
  EXPECT_EQ(env.system.Count("Home"), 0);
  env.system.config.m_nActiveModule = MODULE_MOVIE;
  env.frame->MinimizeFrame();
  ASSERT_TRUE(plat::IsIconic(env.Window()));
  Send(WM_REMOTE_KEY_NOTICE, 3, 0);
  EXPECT_EQ(env.system.Count("Home"), 1);
  EXPECT_FALSE(plat::IsIconic(env.Window()));
}

TEST_F(MainFrameTest, EditBoxKeysGoToTheActiveModulePageOnly) {
  ASSERT_TRUE(env.Start());
  env.log.clear();
  Send(WM_FRAME_EDIT_KEY, reinterpret_cast<WPARAM>(env.Window()), 13);
  EXPECT_TRUE(env.Take().empty());  // the home page is no module page
  env.frame->SetActivePage(&env.Page("Radio"));
  env.log.clear();
  Send(WM_FRAME_EDIT_KEY, reinterpret_cast<WPARAM>(env.Window()), 13);
  Send(WM_FRAME_EDIT_NAVIGATE_KEY, 0, plat::VK_UP);
  EXPECT_EQ(env.Take(), (Log{"Radio.OnRenameEditKey 1 13", "Radio.OnListEntryHook"}));
}

TEST_F(MainFrameTest, HiddenCursorComesBackWhenTheMouseMoves) {
  ASSERT_TRUE(env.Start());
  EXPECT_EQ(env.frame->HideCursor(), 1);
  EXPECT_FALSE(plat::IsCursorShown());
  EXPECT_EQ(plat::GetCursor(), nullptr);
  const POINT at = env.Screen({250, 250});
  plat::InjectMouseMove(at.x, at.y);
  Pump();
  EXPECT_TRUE(plat::IsCursorShown());
  EXPECT_EQ(plat::CursorShapeId(plat::GetCursor()), 32512);
}

TEST_F(MainFrameTest, MaximizeDropsTheFrameBordersAndRestoreGivesThemBack) {
  ASSERT_TRUE(env.Start());
  const auto frameBits = static_cast<plat::LONG_PTR>(plat::WS_DLGFRAME | plat::WS_THICKFRAME);
  env.frame->Maximize();
  EXPECT_TRUE(plat::IsZoomed(env.Window()));
  EXPECT_EQ(plat::GetWindowLongPtr(env.Window(), plat::GWL_STYLE) & frameBits, 0);
  Send(plat::WM_SYSCOMMAND, plat::SC_RESTORE);
  EXPECT_FALSE(plat::IsZoomed(env.Window()));
  EXPECT_EQ(plat::GetWindowLongPtr(env.Window(), plat::GWL_STYLE) & frameBits, frameBits);
}

TEST_F(MainFrameTest, AKeyDuringTheBarHideTimeTakesTheShownBarsDownAtOnce) {
  ASSERT_TRUE(env.Start());
  ASSERT_EQ(env.frame->SetCaptionBarVisible(1, 0), 1);
  ASSERT_EQ(env.frame->ShowPlaybackBar("FloatingBar\\PlaybackBar\\MoviePlaybackBar"), 1);
  ASSERT_EQ(env.frame->SetPlaybackBarVisible(1, 0), 1);
  env.frame->HideBarsOnKey();
  EXPECT_FALSE(env.frame->IsCaptionBarShown());
  EXPECT_FALSE(env.frame->IsPlaybackBarShown());
  EXPECT_FLOAT_EQ(env.frame->CaptionBar()->Position(), 1.0f);
  EXPECT_FLOAT_EQ(env.frame->PlaybackBar()->Position(), 1.0f);
}

std::vector<SystemMessage>& RemoteLog() {
  static std::vector<SystemMessage> log;
  return log;
}

plat::LRESULT RemoteProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg >= plat::WM_USER) RemoteLog().push_back({h, msg, w, l});
  return plat::DefWindowProc(h, msg, w, l);
}

TEST_F(MainFrameTest, RemoteModeIsPostedToTheRemoteWindowForVendor1Only) {
  env.options.vendorId = VENDOR_VADU;
  ASSERT_TRUE(env.Start());
  EXPECT_EQ(env.frame->PostRemoteMode(1), 0);  // no remote window
  plat::WNDCLASS wc;
  wc.lpfnWndProc = &RemoteProc;
  wc.lpszClassName = REMOTE_KEY_WINDOW_CLASS;
  plat::RegisterClass(&wc);
  HWND remote = plat::CreateWindowEx(0, REMOTE_KEY_WINDOW_CLASS, REMOTE_KEY_WINDOW_TITLE, plat::WS_POPUP, 0, 0, 1, 1,
                                     nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(remote, nullptr);
  RemoteLog().clear();
  EXPECT_EQ(env.frame->PostRemoteMode(1), 1);
  EXPECT_EQ(env.frame->PostRemoteMode(0), 1);
  env.options.vendorId = VENDOR_NONE;
  EXPECT_EQ(env.frame->PostRemoteMode(1), 0);
  Pump();
  ASSERT_EQ(RemoteLog().size(), 2u);
  EXPECT_EQ(RemoteLog()[0].msg, WM_REMOTE_KEY_MODE);
  EXPECT_EQ(RemoteLog()[0].wParam, 8u);
  EXPECT_EQ(RemoteLog()[1].wParam, 9u);
  plat::DestroyWindow(remote);
}

TEST_F(MainFrameTest, PhotoItemMessagesReachTheDrawerOnlyWhileThePhotoPageIsActive) {
  ASSERT_TRUE(env.Start());
  std::vector<SystemMessage> drawn;
  env.frame->SetPhotoItemDrawer([&](UINT msg, WPARAM w, LPARAM l) { drawn.push_back({nullptr, msg, w, l}); });
  Send(WM_PHOTO_DRAW_ARCHIVE_ITEM, 1, 2);
  EXPECT_TRUE(drawn.empty());
  env.frame->SetActivePage(&env.Page("Photo"));
  Send(WM_PHOTO_DRAW_ARCHIVE_ITEM, 1, 2);
  Send(WM_PHOTO_DRAW_HIGHLIGHT_ITEM, 3, 4);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[1].msg, WM_PHOTO_DRAW_HIGHLIGHT_ITEM);
  EXPECT_EQ(drawn[1].lParam, 4);
}

TEST_F(MainFrameTest, PowerServicesReachThePowerControl) {
  ASSERT_TRUE(env.Start());
  CMainFrame& f = *env.frame;
  EXPECT_EQ(f.SuspendPowerSaving(), 7);
  EXPECT_EQ(f.RestorePowerSaving(), 7);
  EXPECT_EQ(f.KeepDisplayOn(0), 7);
  EXPECT_EQ(f.EnableScreenSaver(1), 7);
  EXPECT_EQ(f.EnableMonitorPowerOff(0), 7);
  EXPECT_EQ(env.power.calls, (Log{"SuspendPowerSaving", "RestorePowerSaving", "KeepDisplayOn 0", "EnableScreenSaver 1",
                                  "EnableMonitorPowerOff 0"}));
}

TEST_F(MainFrameTest, HostServicesGoThroughTheSystemCore) {
  env.options.vendorId = VENDOR_RUVE;
  env.options.generalFeatures = 0x103;
  ASSERT_TRUE(env.Start());
  CMainFrame& f = *env.frame;
  EXPECT_EQ(f.GetConfig(), &env.system.config);
  EXPECT_EQ(f.ExecuteAction("Music Entry", 2, 3), 1);
  ASSERT_EQ(env.system.executed.back().name, "Music Entry");
  EXPECT_EQ(env.system.executed.back().a, 2);
  EXPECT_EQ(f.GetVendorId(), VENDOR_RUVE);
  EXPECT_EQ(f.GetAppFlags(), 0x103);
  EXPECT_EQ(f.MainFrame(), env.Window());
  f.BindSystem(nullptr);
  EXPECT_EQ(f.GetConfig(), nullptr);
  EXPECT_EQ(f.ExecuteAction("Home", 0, 0), 0);
  int kind = 0;
  EXPECT_EQ(f.GetDriveInfo(3, &kind), plat::E_FAIL);
}

TEST_F(MainFrameTest, HelpOpensTheRegisteredFileBesideTheProgram) {
  marivel_test::TempRegistry registry;
  ASSERT_TRUE(env.Start());
  std::vector<std::string> opened;
  env.frame->SetHelpLauncher([&](const std::string& path) {
    opened.push_back(path);
    return true;
  });
  EXPECT_EQ(env.frame->OpenHelp(), 0);  // nothing registered
  EXPECT_TRUE(opened.empty());

  plat::HKEY key = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, "SoftWare\\Kestrovia\\Marivel", 0, nullptr, 0,
                                  plat::KEY_ALL_ACCESS, nullptr, &key, nullptr),
            plat::ERROR_SUCCESS);
  const std::string file = "Help\\Guide.html";
  plat::RegSetValueExA(key, "HelpFile", 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(file.c_str()),
                       static_cast<plat::DWORD>(file.size() + 1));
  plat::RegCloseKey(key);
  EXPECT_EQ(env.frame->OpenHelp(), 1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], ExecutableFolder().string() + "/Help/Guide.html");
}

}  // namespace
}  // namespace frametest
