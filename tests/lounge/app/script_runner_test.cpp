// The scripted-input runner: the script reader's table of good and bad
// lines, and a script run against a plain window on the headless display
// (keys, clicks and close reach the window in order, waits let the loop
// run, the screenshot shows what the window drew).
#include "lounge/shell/script_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/display/display.h"
#include "platform/display/headless.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/png_codec.h"
#include "platform/win/file_dialog.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

using Kind = ScriptStep::Kind;

TEST(ScriptParseTest, ReadsEveryCommandAndSkipsBlankAndCommentLines) {
  const std::string text =
      "# a comment\n"
      "\n"
      "key Right\r\n"
      "  KEY return  \n"
      "key Escape\n"
      "key f5\n"
      "key a\n"
      "wait 200\n"
      "click 640 400\n"
      "   # indented comment\n"
      "shot out dir/out.png\n"
      "close";
  std::vector<ScriptStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScript(text, steps, error)) << error;
  ASSERT_EQ(steps.size(), 9u);
  EXPECT_EQ(steps[0].kind, Kind::Key);
  EXPECT_EQ(steps[0].vk, plat::VK_RIGHT);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(steps[1].vk, plat::VK_RETURN);
  EXPECT_EQ(steps[2].vk, plat::VK_ESCAPE);
  EXPECT_EQ(steps[3].vk, plat::VK_F1 + 4);
  EXPECT_EQ(steps[4].vk, static_cast<plat::UINT>('A'));
  EXPECT_EQ(steps[5].kind, Kind::Wait);
  EXPECT_EQ(steps[5].ms, 200);
  EXPECT_EQ(steps[6].kind, Kind::Click);
  EXPECT_EQ(steps[6].x, 640);
  EXPECT_EQ(steps[6].y, 400);
  EXPECT_EQ(steps[7].kind, Kind::Shot);
  EXPECT_EQ(steps[7].path, "out dir/out.png");
  EXPECT_EQ(steps[7].line, 11);
  EXPECT_EQ(steps[8].kind, Kind::Close);
}

TEST(ScriptParseTest, BadLinesAreRefusedWithTheirLineNumber) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"key Right\nkey Sideways\n", "line 2: unknown key \"Sideways\""},
      {"key\n", "line 1: expected \"key NAME\""},
      {"key Left Right\n", "line 1: expected \"key NAME\""},
      {"\n\nwait soon\n", "line 3: wait needs milliseconds from 0 to 3600000, not \"soon\""},
      {"wait -5\n", "line 1: wait needs milliseconds from 0 to 3600000, not \"-5\""},
      {"wait 99999999999\n", "line 1: wait needs milliseconds from 0 to 3600000, not \"99999999999\""},
      {"click 10\n", "line 1: expected \"click X Y\""},
      {"click 10 y\n", "line 1: click needs two whole numbers"},
      {"shot\n", "line 1: expected \"shot FILE\""},
      {"check  \n", "line 1: expected \"check FILE\""},
      {"close now\n", "line 1: expected \"close\""},
      {"type hello\n", "line 1: unknown command \"type\""},
      {"key F13\n", "line 1: unknown key \"F13\""},
  };
  for (const Case& c : cases) {
    std::vector<ScriptStep> steps;
    std::string error;
    EXPECT_FALSE(ParseScript(c.text, steps, error)) << c.text;
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(steps.empty());
  }
}

TEST(ScriptParseTest, FileErrorsNameTheFile) {
  std::vector<ScriptStep> steps;
  std::string error;
  EXPECT_FALSE(LoadScript("/nonexistent/script.txt", steps, error));
  EXPECT_EQ(error, "/nonexistent/script.txt: cannot read the script");
  const std::string path = ::testing::TempDir() + "/bad-script.txt";
  std::ofstream(path) << "wait 10\nbogus\n";
  EXPECT_FALSE(LoadScript(path, steps, error));
  EXPECT_EQ(error, path + ":2: unknown command \"bogus\"");
  std::filesystem::remove(path);
}

// A plain frame: records the input it gets and paints red until it has seen
// a Right key, then green.
struct Seen {
  std::vector<std::string> events;
  bool green = false;
};
Seen g_seen;

plat::LRESULT PlainProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  switch (msg) {
    case plat::WM_KEYDOWN:
      g_seen.events.push_back("key " + std::to_string(w));
      if (w == plat::VK_RIGHT) {
        g_seen.green = true;
        plat::InvalidateRect(h, nullptr, 0);
      }
      return 0;
    case plat::WM_LBUTTONDOWN:
      g_seen.events.push_back("click " + std::to_string(static_cast<short>(l & 0xFFFF)) + "," +
                              std::to_string(static_cast<short>((l >> 16) & 0xFFFF)));
      return 0;
    case plat::WM_TIMER:
      g_seen.events.push_back("timer");
      return 0;
    case plat::WM_CLOSE:
      g_seen.events.push_back("close");
      plat::PostQuitMessage(0);
      return 0;
    case plat::WM_ERASEBKGND:
      return 1;
    case plat::WM_PAINT: {
      plat::PAINTSTRUCT ps;
      plat::HDC dc = plat::BeginPaint(h, &ps);
      plat::RECT rc;
      plat::GetClientRect(h, &rc);
      plat::HBRUSH brush = plat::CreateSolidBrush(g_seen.green ? 0x00FF00 : 0x0000FF);
      plat::FillRect(dc, &rc, brush);
      plat::DeleteObject(brush);
      plat::EndPaint(h, &ps);
      return 0;
    }
    default:
      return plat::DefWindowProc(h, msg, w, l);
  }
}

TEST(ScriptRunnerTest, DrivesAWindowOnTheHeadlessDisplay) {
  plat::display::DisplayOptions options;
  options.backend = "headless";
  options.size = {320, 240};
  std::string error;
  ASSERT_TRUE(plat::display::StartDisplay(options, &error)) << error;
  plat::WNDCLASS wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "ScriptRunnerPlain";
  plat::RegisterClass(&wc);
  plat::HWND frame = plat::CreateWindowEx(0, "ScriptRunnerPlain", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 320, 240,
                                          nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  plat::SetFocus(frame);
  g_seen = {};

  const std::string before = ::testing::TempDir() + "/script-before.png";
  const std::string after = ::testing::TempDir() + "/script-after.png";
  // The window's own timer ticks during the wait: the loop kept running.
  plat::SetTimer(frame, 7, 20, nullptr);
  std::vector<ScriptStep> steps;
  ASSERT_TRUE(ParseScript("shot " + before + "\nkey Right\nwait 120\nclick 30 40\nshot " + after + "\nclose\n", steps,
                          error))
      << error;
  bool done = false, ok = false;
  CScriptRunner runner(std::move(steps), [&] { return frame; }, [&](bool success, const std::string& message) {
    done = true;
    ok = success;
    error = message;
  });
  ASSERT_TRUE(runner.Start());
  plat::MSG m;
  // Bounded: the script ends with close, which quits the loop.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline && plat::GetMessage(&m, nullptr, 0, 0) > 0) {
    plat::TranslateMessage(&m);
    plat::DispatchMessage(&m);
  }
  plat::KillTimer(frame, 7);
  // The last step ran; the runner reports once its next tick comes.
  for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
       !done && std::chrono::steady_clock::now() < until;) {
    while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&m);
    ::usleep(5000);
  }
  EXPECT_TRUE(done);
  EXPECT_TRUE(ok) << error;

  std::vector<std::string> input;
  int timers = 0;
  for (const std::string& e : g_seen.events) {
    if (e == "timer") {
      ++timers;
    } else {
      input.push_back(e);
    }
  }
  EXPECT_EQ(input, (std::vector<std::string>{"key " + std::to_string(plat::VK_RIGHT), "click 30,40", "close"}));
  EXPECT_GE(timers, 3);

  auto decode = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return plat::gdi::DecodePng(bytes);
  };
  auto first = decode(before);
  auto second = decode(after);
  ASSERT_TRUE(first.has_value());
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(first->pixel(100, 100) & 0xFFFFFF, 0xFF0000u);   // red (BGRA)
  EXPECT_EQ(second->pixel(100, 100) & 0xFFFFFF, 0x00FF00u);  // green
  std::filesystem::remove(before);
  std::filesystem::remove(after);
  plat::DestroyWindow(frame);
  plat::display::StopDisplay();
}

TEST(ScriptRunnerTest, ACheckHoldsTheScriptUntilItsPictureIsAnswered) {
  std::vector<ScriptStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScript("check  a picture.png \n", steps, error)) << error;
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].kind, Kind::Check);
  EXPECT_EQ(steps[0].path, "a picture.png");

  plat::display::DisplayOptions options;
  options.backend = "headless";
  options.size = {320, 240};
  ASSERT_TRUE(plat::display::StartDisplay(options, &error)) << error;
  plat::WNDCLASS wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "ScriptRunnerChecked";
  plat::RegisterClass(&wc);
  plat::HWND frame = plat::CreateWindowEx(0, "ScriptRunnerChecked", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 320,
                                          240, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  plat::SetFocus(frame);
  g_seen = {};
  const std::string picture = ::testing::TempDir() + "/script-check.png";
  std::filesystem::remove(picture);
  std::filesystem::remove(picture + ".ok");
  ASSERT_TRUE(ParseScript("key Right\ncheck " + picture + "\nkey Left\nclose\n", steps, error)) << error;
  bool done = false, ok = false;
  CScriptRunner runner(std::move(steps), [&] { return frame; }, [&](bool success, const std::string& message) {
    done = true;
    ok = success;
    error = message;
  });
  ASSERT_TRUE(runner.Start());
  const std::string left = "key " + std::to_string(plat::VK_LEFT);
  auto sawLeft = [&] {
    return std::find(g_seen.events.begin(), g_seen.events.end(), left) != g_seen.events.end();
  };
  // Pumps the loop until `until` holds or a generous time has passed.
  auto pump = [&](const std::function<bool()>& until) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    plat::MSG m;
    while (!until() && std::chrono::steady_clock::now() < deadline) {
      while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&m);
      ::usleep(5000);
    }
    return until();
  };
  auto decode = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return plat::gdi::DecodePng(bytes);
  };
  // The picture shows what the key before it did; the script holds.
  ASSERT_TRUE(pump([&] { return std::filesystem::exists(picture); }));
  auto first = decode(picture);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->pixel(100, 100) & 0xFFFFFF, 0x00FF00u);
  // Taken away: a newer picture comes, and the script still holds.
  std::filesystem::remove(picture);
  ASSERT_TRUE(pump([&] { return std::filesystem::exists(picture); }));
  EXPECT_TRUE(decode(picture).has_value());
  EXPECT_FALSE(sawLeft()) << "the script went on before its picture was answered";
  EXPECT_FALSE(done);
  // Answered: the script goes on to its end.
  std::ofstream(picture + ".ok") << "ok\n";
  EXPECT_TRUE(pump([&] { return done; }));
  EXPECT_TRUE(ok) << error;
  std::vector<std::string> input;
  for (const std::string& e : g_seen.events)
    if (e != "timer") input.push_back(e);
  EXPECT_EQ(input, (std::vector<std::string>{"key " + std::to_string(plat::VK_RIGHT), left, "close"}));
  std::filesystem::remove(picture);
  std::filesystem::remove(picture + ".ok");
  plat::DestroyWindow(frame);
  plat::display::StopDisplay();
}

TEST(ScriptRunnerTest, AStepThatFailsEndsTheScriptWithItsLine) {
  // No display: a screenshot cannot be taken.
  std::vector<ScriptStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScript("wait 0\n\nshot x.png\nclose\n", steps, error));
  bool done = false, ok = true;
  CScriptRunner runner(std::move(steps), [] { return plat::HWND{}; }, [&](bool success, const std::string& message) {
    done = true;
    ok = success;
    error = message;
  });
  ASSERT_TRUE(runner.Start());
  plat::MSG m;
  for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
       !done && std::chrono::steady_clock::now() < until;) {
    while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&m);
    ::usleep(5000);
  }
  ASSERT_TRUE(done);
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, "line 3: shot needs the headless display");
}

TEST(ScriptRunnerTest, ChooseStepsAnswerTheFileDialogsInTurn) {
  const std::string a = ::testing::TempDir() + "/choose-a.jpg";
  const std::string b = ::testing::TempDir() + "/choose-b.jpg";
  std::ofstream(a) << "a";
  std::ofstream(b) << "b";
  std::vector<ScriptStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScript("choose " + a + " " + b + "\nchoose\n", steps, error)) << error;
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].kind, ScriptStep::Kind::Choose);
  EXPECT_EQ(steps[0].paths, (std::vector<std::string>{a, b}));
  EXPECT_TRUE(steps[1].paths.empty());
  const plat::OpenFileRequest request{"Photo files (*.jpg)|*.jpg||",
                                      plat::OFN_ALLOWMULTISELECT | plat::OFN_FILEMUSTEXIST};
  std::vector<std::string> chosen;
  {
    bool done = false;
    CScriptRunner runner(std::move(steps), [] { return plat::HWND{}; }, [&](bool, const std::string&) { done = true; });
    ASSERT_TRUE(runner.Start());
    EXPECT_FALSE(plat::GetOpenFileNames(request, chosen));  // nothing queued yet: cancelled
    plat::MSG m;
    for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         !done && std::chrono::steady_clock::now() < until;) {
      while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&m);
      ::usleep(5000);
    }
    ASSERT_TRUE(done);
    EXPECT_TRUE(plat::GetOpenFileNames(request, chosen));
    EXPECT_EQ(chosen, (std::vector<std::string>{a, b}));
    EXPECT_FALSE(plat::GetOpenFileNames(request, chosen));  // the bare "choose" cancels
    EXPECT_TRUE(chosen.empty());
  }
  // The runner gone, no chooser is left behind.
  EXPECT_FALSE(plat::GetOpenFileNames(request, chosen));
  std::filesystem::remove(a);
  std::filesystem::remove(b);
}

}  // namespace
