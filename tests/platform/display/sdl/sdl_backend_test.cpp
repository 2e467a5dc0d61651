#include "platform/display/sdl/sdl_backend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/win/system.h"
#include "tests/platform/display/sdl/sdl_frame_util.h"

namespace sdltest {
namespace {

using namespace plat::display;

// SDL's "dummy" video driver: a real SDL window and renderer without any
// X server; input comes as SDL events pushed into SDL's queue.
class SdlDummyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    RegisterSdlBackend();
    RegisterFrameClass();
    Log().clear();
    DisplayOptions o;  // no backend named: SDL is the default once registered
    std::string error;
    ASSERT_TRUE(StartDisplay(o, &error)) << error;
    backend = dynamic_cast<SdlBackend*>(CurrentBackend());
    ASSERT_TRUE(backend);
    frame = CreateWindowEx(0, "SdlTestFrame", "Marivel", WS_POPUP, 40, 30, 240, 180, nullptr, nullptr, nullptr,
                           nullptr);
    ASSERT_TRUE(frame);
  }
  void TearDown() override {
    if (IsWindow(frame)) DestroyWindow(frame);
    Pump();
    for (UINT vk = 1; vk < 256; ++vk)
      if (GetAsyncKeyState(static_cast<int>(vk)) < 0) InjectKeyUp(vk);
    Pump();
    StopDisplay();
    unsetenv("SDL_VIDEODRIVER");
  }
  static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }
  static void Key(SDL_EventType type, SDL_Keycode sym, SDL_Scancode scan, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = scan;
    e.key.keysym.mod = mod;
    Push(e);
  }
  static void Text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    Push(e);
  }
  static void Button(bool down, int x, int y) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    Push(e);
  }
  static void WindowEvent(SDL_WindowEventID id) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = static_cast<Uint8>(id);
    Push(e);
  }

  SdlBackend* backend = nullptr;
  HWND frame = nullptr;
};

TEST_F(SdlDummyTest, TheFrameIsTheRealWindowAndShowsTheComposedPixels) {
  EXPECT_EQ(backend->name(), "sdl");
  EXPECT_FALSE(backend->shown());
  ShowWindow(frame, SW_SHOW);
  Pump();
  ASSERT_TRUE(backend->shown());
  EXPECT_EQ(backend->view(), (RECT{40, 30, 280, 210}));
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(backend->window(), &x, &y);
  SDL_GetWindowSize(backend->window(), &w, &h);
  EXPECT_EQ(x, 40);
  EXPECT_EQ(y, 30);
  EXPECT_EQ(w, 240);
  EXPECT_EQ(h, 180);
  Surface shown = backend->frame_copy();
  ASSERT_EQ(shown.width(), 240);
  EXPECT_EQ(shown.pixel(0, 0), PixelFromColorRef(kFrameColor));
  EXPECT_EQ(shown.pixel(239, 179), PixelFromColorRef(kFrameColor));

  // Screen metrics come from the SDL display.
  const SIZE screen = backend->screen_size();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen.cx);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen.cy);
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), backend->monitor_count());

  // Maximised, the window covers the screen and shows all of it; moving
  // the restored frame moves the window.
  ShowWindow(frame, SW_MAXIMIZE);
  Pump();
  EXPECT_EQ(backend->view(), (RECT{0, 0, screen.cx, screen.cy}));
  SDL_GetWindowSize(backend->window(), &w, &h);
  EXPECT_EQ(w, screen.cx);
  EXPECT_EQ(backend->frame_copy().pixel(screen.cx - 1, screen.cy - 1), PixelFromColorRef(kFrameColor));
  ShowWindow(frame, SW_RESTORE);
  MoveWindow(frame, 100, 50, 200, 100, TRUE);
  Pump();
  SDL_GetWindowPosition(backend->window(), &x, &y);
  SDL_GetWindowSize(backend->window(), &w, &h);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 100);
  EXPECT_EQ(backend->frame_copy().pixel(199, 99), PixelFromColorRef(kFrameColor));
}

TEST_F(SdlDummyTest, SdlEventsBecomeWindowMessages) {
  ShowWindow(frame, SW_SHOW);
  Pump();
  ASSERT_EQ(GetFocus(), frame);

  // A letter: its key messages and one character (SDL's text for the same
  // press is not typed a second time).
  Key(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
  Text("a");
  Key(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A);
  // Text that no key makes arrives as it is.
  Text("\xC3\xA9");
  Key(SDL_KEYDOWN, SDLK_F5, SDL_SCANCODE_F5);
  Key(SDL_KEYDOWN, SDLK_KP_5, SDL_SCANCODE_KP_5);
  Key(SDL_KEYDOWN, SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY);
  Pump();
  ASSERT_EQ(Of(WM_KEYDOWN).size(), 3u);
  EXPECT_EQ(Of(WM_KEYDOWN)[0].wParam, 0x41u);
  EXPECT_EQ(Of(WM_KEYDOWN)[1].wParam, 0x74u);
  EXPECT_EQ(Of(WM_KEYDOWN)[2].wParam, 0x65u);
  ASSERT_EQ(Of(WM_CHAR).size(), 3u);
  EXPECT_EQ(Of(WM_CHAR)[0].wParam, static_cast<WPARAM>('a'));
  EXPECT_EQ(Of(WM_CHAR)[1].wParam, 0xE9u);
  EXPECT_EQ(Of(WM_CHAR)[2].wParam, static_cast<WPARAM>('5'));
  ASSERT_EQ(Of(WM_APPCOMMAND).size(), 1u);
  EXPECT_EQ(GET_APPCOMMAND_LPARAM(Of(WM_APPCOMMAND)[0].lParam), APPCOMMAND_MEDIA_PLAY_PAUSE);
  // Keys still held are released when the window loses the keyboard.
  WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  Pump();
  EXPECT_EQ(Of(WM_KEYUP).size(), 3u);
  EXPECT_GE(GetAsyncKeyState(VK_F1 + 4), 0);

  // Mouse positions are the window's plus the frame's place on the screen:
  // the client coordinates are the window's own.
  SDL_Event move{};
  move.type = SDL_MOUSEMOTION;
  move.motion.x = 10;
  move.motion.y = 20;
  Push(move);
  Button(true, 10, 20);
  Button(false, 10, 20);
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.y = -1;
  Push(wheel);
  Pump();
  ASSERT_EQ(Of(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(Of(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(10, 20));
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, 50);
  EXPECT_EQ(cursor.y, 50);
  ASSERT_EQ(Of(WM_MOUSEWHEEL).size(), 1u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Of(WM_MOUSEWHEEL)[0].wParam), -WHEEL_DELTA);

  // Closing the real window asks the frame to close.
  WindowEvent(SDL_WINDOWEVENT_CLOSE);
  Pump();  // the backend posts WM_CLOSE while this look finds the queue empty
  Pump();
  EXPECT_EQ(Of(WM_CLOSE).size(), 1u);
  EXPECT_TRUE(IsWindow(frame));
}

}  // namespace
}  // namespace sdltest
