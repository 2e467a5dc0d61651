#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <atomic>
#include <filesystem>
#include <thread>

#include <unistd.h>

#include "platform/display/compositor.h"
#include "platform/gdi/gdi.h"
#include "platform/display/display.h"
#include "platform/display/png_writer.h"
#include "platform/sys/clock.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

namespace {

using namespace plat;
using namespace plat::display;

constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kGreen = 0xFF00FF00u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kGrey = 0xFF808080u;

TEST(DisplayOptions, SwitchesAndEnvironment) {
  struct Case {
    std::vector<std::string> args;
    const char* env;
    bool ok;
    std::string backend;
    SIZE size;
    std::vector<std::string> left;
  };
  const Case cases[] = {
      {{"Movie"}, nullptr, true, "", {1920, 1080}, {"Movie"}},
      {{"--headless"}, nullptr, true, "headless", {1920, 1080}, {}},
      {{"--headless=1280x720", "CD E"}, nullptr, true, "headless", {1280, 720}, {"CD E"}},
      {{}, "headless", true, "headless", {1920, 1080}, {}},
      {{}, "headless=640x480", true, "headless", {640, 480}, {}},
      {{"--headless=800x600"}, "headless=640x480", true, "headless", {800, 600}, {}},
      {{}, "sdl", true, "sdl", {1920, 1080}, {}},
      {{"--headless=12x9"}, nullptr, false, "", {}, {}},
      {{"--headless=axb"}, nullptr, false, "", {}, {}},
      {{"--headless=100000x100000"}, nullptr, false, "", {}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    DisplayOptions o;
    std::string error;
    ASSERT_EQ(ParseDisplayOptions(args, c.env, &o, &error), c.ok) << (c.args.empty() ? "" : c.args[0]);
    if (!c.ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(o.backend, c.backend);
    EXPECT_EQ(o.size, c.size);
    EXPECT_EQ(args, c.left);
  }
}

// A compositor test without windows: layers made by hand.
TEST(Compositor, CopiesEachLayerWhereItIsVisibleAndFillsTheRest) {
  Compositor c(SIZE{40, 30});
  auto red = std::make_shared<Surface>(20, 20, kRed);
  auto green = std::make_shared<Surface>(10, 10, kGreen);
  std::vector<CompositeLayer> layers;
  layers.push_back({nullptr, green, POINT{15, 15}, Region(RECT{15, 15, 25, 25})});
  layers.push_back({nullptr, red, POINT{5, 5}, Region(RECT{5, 5, 25, 25}).subtracted(Region(RECT{15, 15, 25, 25}))});
  // A layer claiming more than its surface holds is clamped, not overrun.
  auto tiny = std::make_shared<Surface>(2, 2, kBlue);
  layers.push_back({nullptr, tiny, POINT{30, 0}, Region(RECT{30, 0, 40, 30})});
  c.compose(layers, Region(RECT{0, 0, 40, 30}));
  EXPECT_EQ(c.screen().pixel(0, 0), kBlack);
  EXPECT_EQ(c.screen().pixel(5, 5), kRed);
  EXPECT_EQ(c.screen().pixel(14, 14), kRed);
  EXPECT_EQ(c.screen().pixel(15, 15), kGreen);
  EXPECT_EQ(c.screen().pixel(24, 24), kGreen);
  EXPECT_EQ(c.screen().pixel(25, 25), kBlack);
  EXPECT_EQ(c.screen().pixel(31, 1), kBlue);
  EXPECT_EQ(c.screen().pixel(35, 1), kBlack);
  // Only the damaged area is redrawn.
  red->set_pixel(0, 0, kWhite);
  red->set_pixel(1, 1, kWhite);
  c.compose(layers, Region(RECT{5, 5, 6, 6}));
  EXPECT_EQ(c.screen().pixel(5, 5), kWhite);
  EXPECT_EQ(c.screen().pixel(6, 6), kRed);
}

// Drawing into a backend's own screen image: the compositor keeps none, and
// only the damaged part of the target is touched.
TEST(Compositor, ComposesIntoAScreenImageItIsHanded) {
  Compositor c(SIZE{40, 30}, 0xFF000000u, false);
  EXPECT_TRUE(c.screen().empty());
  EXPECT_EQ(c.size().cx, 40);
  Surface target(40, 30, kWhite);
  auto red = std::make_shared<Surface>(20, 20, kRed);
  std::vector<CompositeLayer> layers;
  layers.push_back({nullptr, red, POINT{0, 0}, Region(RECT{0, 0, 20, 20})});
  c.compose_into(target, layers, Region(RECT{0, 0, 30, 10}));
  EXPECT_EQ(target.pixel(0, 0), kRed);
  EXPECT_EQ(target.pixel(25, 5), kBlack);   // uncovered, in the damage
  EXPECT_EQ(target.pixel(5, 15), kWhite);   // outside the damage
  EXPECT_EQ(target.pixel(35, 5), kWhite);
}

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClock(std::make_shared<ManualClock>());
    DisplayOptions o;
    o.backend = "headless";
    o.size = SIZE{320, 240};
    std::string error;
    ASSERT_TRUE(StartDisplay(o, &error)) << error;
    headless = CurrentHeadless();
    ASSERT_TRUE(headless);
    WNDCLASS wc;
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
      if (msg == WM_LBUTTONDOWN) clicks.push_back(h);
      return DefWindowProc(h, msg, w, l);
    };
    wc.lpszClassName = "Plain";
    RegisterClass(&wc);
    clicks.clear();
  }
  void TearDown() override {
    for (HWND h : windows) DestroyWindow(h);
    Pump();
    StopDisplay();
    SetClock(nullptr);
  }
  static void Pump() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  }
  HWND Make(DWORD style, RECT r, HWND parent, std::uint32_t colour, DWORD ex = 0) {
    HWND h = CreateWindowEx(ex, "Plain", "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                            nullptr, nullptr, nullptr);
    Fill(h, colour);
    windows.push_back(h);
    return h;
  }
  static void Fill(HWND h, std::uint32_t colour) {
    SurfacePtr s = GetWindowSurface(h);
    std::fill(s->data(), s->data() + static_cast<std::size_t>(s->width()) * s->height(), colour);
    MarkWindowDrawn(h, nullptr);
  }
  std::uint32_t At(int x, int y) { return headless->pixel(x, y); }

  HeadlessBackend* headless = nullptr;
  std::vector<HWND> windows;
  static inline std::vector<HWND> clicks;
};

TEST_F(HeadlessTest, ComposesWindowsBySiblingsChildrenRegionsAndTopmost) {
  HWND frame = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 320, 240}, nullptr, kGrey);
  HWND bar = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, RECT{0, 200, 320, 240}, frame, kBlue);
  HWND osd = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, RECT{250, 180, 310, 220}, frame, kGreen);
  HWND tip = Make(WS_POPUP | WS_VISIBLE, RECT{100, 100, 140, 120}, nullptr, kWhite, WS_EX_TOPMOST);
  Pump();
  EXPECT_EQ(At(10, 10), kGrey);
  EXPECT_EQ(At(10, 210), kBlue);
  EXPECT_EQ(At(260, 210), kGreen);  // the later child is in front of the bar
  EXPECT_EQ(At(110, 110), kWhite);
  // The bar's region leaves a notch at its left end: the frame shows there.
  Region shape = Region(RECT{0, 0, 320, 40}).subtracted(Region(RECT{0, 0, 20, 20}));
  SetWindowRegion(bar, &shape, TRUE);
  Pump();
  EXPECT_EQ(At(5, 205), kGrey);
  EXPECT_EQ(At(25, 205), kBlue);
  // Bring the bar forward; hide the tooltip; the frame keeps the top-level
  // below the topmost popup even when activated.
  SetWindowPos(bar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ShowWindow(tip, SW_HIDE);
  Pump();
  EXPECT_EQ(At(260, 210), kBlue);
  EXPECT_EQ(At(110, 110), kGrey);
  ShowWindow(tip, SW_SHOWNA);
  SetForegroundWindow(frame);
  Pump();
  EXPECT_EQ(At(110, 110), kWhite);
  // Children are clipped to their parent.
  MoveWindow(osd, 300, 180, 60, 40, TRUE);
  Pump();
  EXPECT_EQ(At(305, 190), kGreen);
  // Moving a window uncovers what lay below it.
  MoveWindow(tip, 0, 0, 40, 20, TRUE);
  Pump();
  EXPECT_EQ(At(110, 110), kGrey);
  EXPECT_EQ(At(5, 5), kWhite);
  // A minimised frame is not shown; what is left is background.
  ShowWindow(frame, SW_MINIMIZE);
  Pump();
  EXPECT_EQ(At(10, 100), kBlack);
  EXPECT_EQ(headless->frame_state(), HeadlessBackend::FrameState::Minimised);
}

TEST_F(HeadlessTest, DrawingReachesTheScreenAfterMarkingAndScreenshotsArePng) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, RECT{10, 10, 110, 60}, nullptr, kRed);
  Pump();
  EXPECT_EQ(At(10, 10), kRed);
  const int before = headless->presents();
  Pump();
  EXPECT_EQ(headless->presents(), before);  // nothing changed, nothing presented
  SurfacePtr s = GetWindowSurface(w);
  s->set_pixel(5, 5, kGreen);
  RECT changed{5, 5, 6, 6};
  MarkWindowDrawn(w, &changed);
  Pump();
  EXPECT_EQ(At(15, 15), kGreen);

  const auto path = std::filesystem::temp_directory_path() / ("marivel_shot_" + std::to_string(getpid()) + ".png");
  ASSERT_TRUE(headless->screenshot(path.string()));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(f);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_stdio(&image, f));
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  std::fclose(f);
  EXPECT_EQ(image.width, 320u);
  EXPECT_EQ(image.height, 240u);
  auto px = [&](int x, int y) { return &rgb[(static_cast<std::size_t>(y) * 320 + x) * 3]; };
  EXPECT_EQ(px(15, 15)[1], 255);  // green
  EXPECT_EQ(px(15, 15)[0], 0);
  EXPECT_EQ(px(20, 20)[0], 255);  // red
  EXPECT_EQ(px(200, 200)[0], 0);
  std::filesystem::remove(path);
  EXPECT_FALSE(WritePng(Surface(), path.string()));
  EXPECT_FALSE(headless->screenshot("/nonexistent-dir/x.png"));
}

TEST_F(HeadlessTest, TheFrameReportsItsStateAndTitleToTheBackend) {
  HWND frame = Make(WS_POPUP, RECT{40, 30, 280, 210}, nullptr, kGrey);
  SetWindowText(frame, "Marivel");
  ShowWindow(frame, SW_SHOW);
  Pump();
  EXPECT_EQ(headless->title(), "Marivel");
  EXPECT_EQ(headless->frame_rect(), (RECT{40, 30, 280, 210}));
  ShowWindow(frame, SW_MAXIMIZE);
  EXPECT_EQ(headless->frame_state(), HeadlessBackend::FrameState::Maximised);
  EXPECT_EQ(GetSystemMetrics(0), 320);
  ShowWindow(frame, SW_RESTORE);
  EXPECT_EQ(headless->frame_state(), HeadlessBackend::FrameState::Restored);
  SetCursor(LoadCursor(nullptr, IDC_HAND));
  EXPECT_EQ(headless->cursor_shape(), 32649);
  while (ShowCursor(FALSE) >= 0) {
  }
  EXPECT_FALSE(headless->cursor_visible());
  while (ShowCursor(TRUE) < 0) {
  }
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(HeadlessTest, InjectedInputFromAnotherThreadIsDelivered) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr, kGrey);
  std::thread tester([] { InjectClick(50, 50); });
  tester.join();
  MSG m;
  while (clicks.empty() && GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], w);
}

}  // namespace

namespace {

// Painting through device contexts, seen on the screen.
LRESULT PaintingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT all;
    GetClientRect(h, &all);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(h, GWLP_USERDATA)));
    FillRect(dc, &all, brush);  // clipped to the update region
    DeleteObject(brush);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, msg, w, l);
}

TEST_F(HeadlessTest, PaintingThroughDeviceContextsIsClippedToTheUpdateRegion) {
  WNDCLASS wc;
  wc.lpfnWndProc = PaintingProc;
  wc.lpszClassName = "Painting";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "Painting", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  windows.push_back(w);
  SetWindowLongPtr(w, GWLP_USERDATA, RGB(255, 0, 0));
  ShowWindow(w, SW_SHOW);
  Pump();
  EXPECT_EQ(At(50, 50), kRed);
  SetWindowLongPtr(w, GWLP_USERDATA, RGB(0, 0, 255));
  RECT part{10, 10, 20, 20};
  InvalidateRect(w, &part, FALSE);
  Pump();
  EXPECT_EQ(At(15, 15), kBlue);
  EXPECT_EQ(At(25, 25), kRed);

  // GetDC draws anywhere in the client area; what is drawn shows after release.
  HDC dc = GetDC(w);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  RECT r{50, 50, 60, 60};
  FillRect(dc, &r, green);
  DeleteObject(green);
  ReleaseDC(w, dc);
  Pump();
  EXPECT_EQ(At(55, 55), kGreen);

  // A class background brush erases before the paint.
  WNDCLASS bg;
  bg.lpfnWndProc = DefWindowProc;
  bg.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
  bg.lpszClassName = "WhiteBackground";
  RegisterClass(&bg);
  HWND white = CreateWindowEx(0, "WhiteBackground", "", WS_POPUP | WS_VISIBLE, 200, 0, 50, 50, nullptr, nullptr,
                              nullptr, nullptr);
  windows.push_back(white);
  Pump();
  EXPECT_EQ(At(220, 20), kWhite);

  // The platform's region form: the window takes the region object.
  HRGN rgn = CreateRectRgn(0, 0, 10, 10);
  EXPECT_TRUE(SetWindowRgn(white, rgn, TRUE));
  RECT box;
  EXPECT_EQ(GetRgnBox(rgn, &box), 0);  // gone
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(white, copy), 0);
  GetRgnBox(copy, &box);
  EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
  DeleteObject(copy);
  Pump();
  EXPECT_EQ(At(220, 20), kBlack);
  EXPECT_EQ(At(205, 5), kWhite);
}

}  // namespace

namespace {

// A backend registered by name, whose screen can change size.
class ResizableBackend final : public Backend {
 public:
  std::string name() const override { return "resizable"; }
  SIZE screen_size() const override { return size; }
  void present(const Surface& screen, const Region&) override { last = SIZE{screen.width(), screen.height()}; }
  SIZE size{200, 100};
  SIZE last{};
};

TEST(DisplayBackends, RegisteredBackendsStartByNameAndReportSizeChanges) {
  ResizableBackend* backend = nullptr;
  RegisterBackendFactory("resizable", [&](const DisplayOptions&, std::string*) {
    auto b = std::make_unique<ResizableBackend>();
    backend = b.get();
    return b;
  });
  DisplayOptions o;
  o.backend = "nonesuch";
  std::string error;
  EXPECT_FALSE(StartDisplay(o, &error));
  EXPECT_NE(error.find("nonesuch"), std::string::npos);
  o.backend = "resizable";
  ASSERT_TRUE(StartDisplay(o, &error)) << error;
  EXPECT_FALSE(StartDisplay(o, &error));  // one display at a time
  EXPECT_EQ(CurrentHeadless(), nullptr);

  static std::vector<LPARAM> changes;
  changes.clear();
  WNDCLASS wc;
  wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    if (msg == WM_DISPLAYCHANGE) changes.push_back(l);
    return DefWindowProc(h, msg, w, l);
  };
  wc.lpszClassName = "DisplayChangeListener";
  RegisterClass(&wc);
  HWND h = CreateWindowEx(0, "DisplayChangeListener", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 200);
  backend->size = SIZE{640, 360};
  ScreenSizeChanged();
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 360);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], MAKELPARAM(640, 360));
  ComposeNow();
  EXPECT_EQ(backend->last, (SIZE{640, 360}));
  DestroyWindow(h);
  StopDisplay();
  EXPECT_EQ(CurrentBackend(), nullptr);
}

}  // namespace

namespace {

TEST(DisplayIdle, AnotherThreadWaitsUntilInjectedInputIsHandledAndShown) {
  static std::atomic<int> clicks;
  clicks = 0;
  std::atomic<HWND> window{nullptr};
  std::atomic<DWORD> ui_thread{0};
  EXPECT_FALSE(WaitForDisplayIdle(10));  // no display yet
  std::thread ui([&] {
    DisplayOptions o;
    o.backend = "headless";
    o.size = SIZE{200, 200};
    std::string error;
    ASSERT_TRUE(StartDisplay(o, &error));
    WNDCLASS wc;
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
      if (msg == WM_LBUTTONDOWN) {
        ++clicks;
        // The click turns the window white.
        SurfacePtr s = GetWindowSurface(h);
        std::fill(s->data(), s->data() + static_cast<std::size_t>(s->width()) * s->height(), kWhite);
        MarkWindowDrawn(h, nullptr);
      }
      return DefWindowProc(h, msg, w, l);
    };
    wc.lpszClassName = "IdleProbe";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "IdleProbe", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                            nullptr);
    ui_thread = GetCurrentThreadId();
    MSG m;
    while (GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
    DestroyWindow(window);
    StopDisplay();
  });
  while (!ui_thread) std::this_thread::yield();
  ASSERT_TRUE(WaitForDisplayIdle(10'000));
  EXPECT_EQ(CurrentHeadless()->pixel(50, 50), kBlack);
  for (int i = 0; i < 3; ++i) {
    InjectClick(50, 50);
    ASSERT_TRUE(WaitForDisplayIdle(10'000));
    EXPECT_EQ(clicks, i + 1);
  }
  EXPECT_EQ(CurrentHeadless()->pixel(50, 50), kWhite);
  PostThreadMessage(ui_thread, WM_QUIT, 0, 0);
  ui.join();
}

}  // namespace
