// The SDL backend on a real X server: the test starts Xvfb on a display
// number the server picks itself, shows and maximises the frame, takes
// screenshots and receives a key and a click sent by xdotool. Every wait is
// bounded; the server is stopped at the end.
#include <gtest/gtest.h>
#include <png.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/display/png_writer.h"
#include "platform/display/sdl/sdl_backend.h"
#include "tests/platform/display/sdl/sdl_frame_util.h"
#include "tests/platform/display/sdl/xvfb_server.h"

extern char** environ;

namespace sdltest {
namespace {

using namespace plat::display;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Rgb {
  int r, g, b;
};
std::optional<Rgb> PngPixel(const std::string& path, int x, int y, int* width = nullptr) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return std::nullopt;
  if (width) *width = static_cast<int>(image.width);
  if (x >= static_cast<int>(image.width) || y >= static_cast<int>(image.height)) return std::nullopt;
  const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
  return Rgb{p[0], p[1], p[2]};
}

TEST(SdlOnXvfb, ShowsMaximisesScreenshotsAndTakesInputFromAnXClient) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (package xvfb): the X server test cannot run";
  ASSERT_TRUE(FindProgram("xdotool")) << "xdotool is missing (package xdotool)";
  Xvfb xvfb;
  std::string error;
  ASSERT_TRUE(xvfb.start(&error)) << error;
  setenv("DISPLAY", xvfb.display().c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  // The software renderer: no GL driver is needed on the virtual server.
  setenv("SDL_RENDER_DRIVER", "software", 1);

  RegisterSdlBackend();
  RegisterFrameClass();
  Log().clear();
  DisplayOptions options;
  options.backend = "sdl";
  ASSERT_TRUE(StartDisplay(options, &error)) << error;
  auto* backend = dynamic_cast<SdlBackend*>(CurrentBackend());
  ASSERT_TRUE(backend);
  EXPECT_EQ(backend->screen_size(), (SIZE{1024, 768}));

  const std::string title = "Marivel Xvfb " + std::to_string(getpid());
  HWND frame = CreateWindowEx(0, "SdlTestFrame", title.c_str(), WS_POPUP, 100, 80, 400, 300, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_TRUE(frame);
  ShowWindow(frame, SW_SHOW);
  ShowWindow(frame, SW_MAXIMIZE);
  Pump();
  EXPECT_TRUE(IsZoomed(frame));
  EXPECT_EQ(backend->view(), (RECT{0, 0, 1024, 768}));

  // The X client finds our window once it is mapped.
  Child search({"xdotool", "search", "--sync", "--onlyvisible", "--name", title});
  ASSERT_TRUE(search.started());
  ASSERT_EQ(search.wait(std::chrono::seconds(15), Pump), 0) << "xdotool did not find the window";
  const std::string window_id = search.output().substr(0, search.output().find('\n'));
  ASSERT_FALSE(window_id.empty());
  int w = 0, h = 0;
  SDL_GetWindowSize(backend->window(), &w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);

  // Screenshot of what we composed and presented.
  const fs::path dir = fs::temp_directory_path() / ("marivel_xvfb_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string ours = (dir / "frame.png").string();
  ASSERT_TRUE(WritePng(backend->frame_copy(), ours));
  int shot_width = 0;
  auto px = PngPixel(ours, 500, 400, &shot_width);
  ASSERT_TRUE(px);
  EXPECT_EQ(shot_width, 1024);
  EXPECT_EQ(px->r, GetRValue(kFrameColor));
  EXPECT_EQ(px->g, GetGValue(kFrameColor));
  EXPECT_EQ(px->b, GetBValue(kFrameColor));
  // And of the X screen itself, when ImageMagick's import is there.
  if (FindProgram("import")) {
    const std::string screen = (dir / "screen.png").string();
    Child import({"import", "-display", xvfb.display(), "-window", "root", screen});
    ASSERT_EQ(import.wait(std::chrono::seconds(30), Pump), 0);
    auto sp = PngPixel(screen, 500, 400);
    ASSERT_TRUE(sp);
    EXPECT_NEAR(sp->r, GetRValue(kFrameColor), 2);
    EXPECT_NEAR(sp->g, GetGValue(kFrameColor), 2);
    EXPECT_NEAR(sp->b, GetBValue(kFrameColor), 2);
  }

  // A key and a click from a real X client.
  Child focus({"xdotool", "windowfocus", window_id});
  ASSERT_EQ(focus.wait(std::chrono::seconds(10), Pump), 0);
  Child key({"xdotool", "mousemove", "300", "200", "key", "k", "click", "1"});
  ASSERT_EQ(key.wait(std::chrono::seconds(10), Pump), 0);
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < end && (Of(WM_CHAR).empty() || Of(WM_LBUTTONUP).empty())) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_FALSE(Of(WM_KEYDOWN).empty());
  EXPECT_EQ(Of(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>('K'));
  ASSERT_EQ(Of(WM_CHAR).size(), 1u);
  EXPECT_EQ(Of(WM_CHAR)[0].wParam, static_cast<WPARAM>('k'));
  ASSERT_FALSE(Of(WM_LBUTTONDOWN).empty());
  EXPECT_EQ(Of(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(300, 200));

  // Restored, the frame is dragged by its caption: the real window follows.
  ShowWindow(frame, SW_RESTORE);
  Pump();
  RECT r;
  GetWindowRect(frame, &r);
  ASSERT_EQ(r, (RECT{100, 80, 500, 380}));
  Child drag({"xdotool", "mousemove", "150", "90", "mousedown", "1", "mousemove", "200", "140", "mousemove", "250",
              "190", "mouseup", "1"});
  ASSERT_EQ(drag.wait(std::chrono::seconds(10), Pump), 0);
  const auto moved_by = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < moved_by && (GetWindowRect(frame, &r), r.left != 200 || r.top != 180)) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(r, (RECT{200, 180, 600, 480}));
  int x = 0, y = 0;
  SDL_GetWindowPosition(backend->window(), &x, &y);
  EXPECT_EQ(x, 200);
  EXPECT_EQ(y, 180);

  DestroyWindow(frame);
  Pump();
  StopDisplay();
  fs::remove_all(dir);
}

}  // namespace
}  // namespace sdltest
