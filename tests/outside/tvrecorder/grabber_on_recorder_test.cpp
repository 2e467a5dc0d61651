// The TV engine on the real recorder and profile store, the virtual tuner's
// stations declared in the machine registry: preview into a window, the
// recorder's own search, and a recording that ends by its event.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <thread>

#include "engines/capture/grabber/grabber.h"
#include "outside/tvrecorder/profile_store.h"
#include "outside/tvrecorder/sys_recorder.h"
#include "platform/media/tv/virtual_tuner.h"
#include "platform/registry/registry.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/support/temp_environment.h"

namespace {

using namespace plat;

class Sink : public IGrabberEventSink {
 public:
  std::vector<std::string> calls;
  int Log(std::string s) {
    calls.push_back(std::move(s));
    return 1;
  }
  bool Has(const std::string& s) const { return std::find(calls.begin(), calls.end(), s) != calls.end(); }
  long Count(const std::string& s) const { return std::count(calls.begin(), calls.end(), s); }
  int OnDiskFull() override { return Log("OnDiskFull"); }
  int OnSearchFinished(IGrabber*) override { return Log("OnSearchFinished"); }
  int OnSearchPercent(int) override { return 1; }
  int OnRecordingEnded(IGrabber*) override { return Log("OnRecordingEnded"); }
  int OnPictureReady(int) override { return Log("OnPictureReady"); }
  int OnSignalLost() override { return 1; }
  int OnScanStep(int, int, int) override { return 1; }
  int OnPreviewStep(int, int, const char*, const TvPicture*) override { return 1; }
  int OnTuning(int a, int, int isChannel) override {
    return isChannel ? Log("OnTuning(" + std::to_string(a) + ")") : 1;
  }
  int OnTeletextPageChanged() override { return Log("OnTeletextPageChanged"); }
  int OnTimeShiftNoSpace() override { return 1; }
  int OnDiscNotice(int) override { return 1; }
  int OnDeviceLost() override { return 1; }
  int OnProgressValue(int) override { return 1; }
  int OnProgressEnd() override { return 1; }
  int OnBurnPreparation(int) override { return 1; }
  int OnSourceReopened(IGrabber*) override { return 1; }
  int OnSourceNotice(int) override { return 1; }
  int OnRecorderNotice(int, int) override { return 1; }
  int OnSourceError(int) override { return 1; }
  int OnSourceRestarted() override { return 1; }
  int OnReplayAtLive() override { return 1; }
};

// Dispatches messages until `done` holds or 20 s pass.
template <class Done>
bool PumpUntil(Done done) {
  for (int i = 0; i < 2000; ++i) {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void SetStation(const char* key, DWORD kHz, const char* name, DWORD teletext = 0) {
  const std::string path = std::string(plat::tv::kVirtualTunerKey) + "\\Stations\\" + key;
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, "Frequency", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kHz), sizeof kHz);
  RegSetValueExA(k, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), static_cast<DWORD>(strlen(name) + 1));
  RegSetValueExA(k, "Teletext", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&teletext), sizeof teletext);
  RegCloseKey(k);
}

LRESULT OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

TEST(GrabberOnRecorder, PreviewSearchAndRecord) {
  test_support::TempEnvironment env("grabrec");
  // American channels 7, 14 and 26.
  SetStation("A", 175250, "Alpha");
  SetStation("B", 471250, "Bravo", 1);
  SetStation("C", 543250, "Charlie");

  CSysRecorder* recorderObject = nullptr;
  grabber::GrabberHooks hooks = grabber::GrabberHooks::Machine();
  hooks.createRecorder = [&](ISysRecorder** out) {
    auto r = MakeComObject<CSysRecorder>();
    recorderObject = r.Get();
    *out = r.Detach();
    return S_OK;
  };
  hooks.createProfileStore = [](IProfileStore** out) {
    *out = MakeComObject<CProfileStore>().Detach();
    return S_OK;
  };
  hooks.startFolder = MARIVEL_TEST_BIN_DIR;
  auto engine = MakeComObject<CGrabber>(hooks);
  Sink sink;
  engine->SetNotifyTarget(&sink);

  GrabberInitRecord record{};
  const std::string out = env.dir() + "/out";
  std::snprintf(record.outputFolder, sizeof record.outputFolder, "%s", out.c_str());
  record.country = 0;  // United States: NTSC, the American plan
  record.antenna = 1;
  record.startChannel = 7;
  for (int& level : record.pictureLevels) level = -1;
  ASSERT_EQ(engine->Init(record), S_OK);
  EXPECT_EQ(engine->GetProfileFamily(), 1);
  char name[64] = {};
  engine->GetSelectedProfileName(name);
  EXPECT_STREQ(name, "DVD SP");
  char channel[kGrabberTextChars] = {};
  ASSERT_EQ(engine->GetChannelName(channel, 0), S_OK);
  EXPECT_STREQ(channel, "Alpha");

  WNDCLASS wc;
  wc.lpfnWndProc = &OwnerProc;
  wc.lpszClassName = "GrabberOwner";
  RegisterClass(&wc);
  HWND owner = CreateWindowEx(0, "GrabberOwner", "owner", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                              nullptr);
  ASSERT_NE(owner, nullptr);
  ShowWindow(owner, SW_SHOW);
  ASSERT_EQ(engine->SetVideoOwner(owner), S_OK);
  ASSERT_EQ(engine->SetVideoSize(320, 240), S_OK);
  ASSERT_EQ(engine->Preview(1), S_OK);
  EXPECT_EQ(engine->state(), grabstate::kPreview);
  EXPECT_TRUE(PumpUntil([&] { return recorderObject->video_window().painted() > 0; }));

  // The recorder's search finds the three stations, then the first is tuned.
  ASSERT_EQ(engine->AutoScan(1), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return sink.Has("OnSearchFinished"); }));
  EXPECT_TRUE(sink.Has("OnTuning(7)"));
  EXPECT_TRUE(sink.Has("OnTuning(14)"));
  EXPECT_TRUE(sink.Has("OnTuning(26)"));
  EXPECT_EQ(engine->state(), grabstate::kSourceRunning);
  EXPECT_EQ(engine->current_channel(), 7);
  int value = 0, status = 0;
  ASSERT_EQ(engine->GetStoredChannel(2, &value, &status), S_OK);
  EXPECT_EQ(engine->GetStoredChannel(3, &value, &status), E_FAIL);
  ASSERT_EQ(engine->GetChannelName(channel, 14), S_OK);
  EXPECT_STREQ(channel, "Bravo");  // the name the search kept

  // Back to preview, then two seconds of recording that end by the recorder's event.
  ASSERT_EQ(engine->Preview(0), S_OK);
  ASSERT_EQ(engine->Preview(1), S_OK);
  ASSERT_EQ(engine->TuneChannel(14), S_OK);
  ASSERT_EQ(engine->Record(1), S_OK);
  EXPECT_EQ(engine->state(), grabstate::kRecording);
  // Stopped once the file has grown past what the checks below ask of it.
  auto recorded = [&] {
    std::uintmax_t size = 0;
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(out, error))
      if (e.is_regular_file(error)) size = std::max(size, e.file_size(error));
    return size;
  };
  EXPECT_TRUE(PumpUntil([&] { return recorded() > 200000u; }));
  ASSERT_EQ(engine->Record(0), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return sink.Has("OnRecordingEnded"); }));
  EXPECT_EQ(engine->state(), grabstate::kIdle);
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(out)) {
    if (e.is_regular_file()) files.push_back(e.path().filename().string());
  }
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].substr(0, 6), "Bravo_");
  EXPECT_EQ(files[0].substr(files[0].size() - 9), ".0000.mpg");
  EXPECT_GT(std::filesystem::file_size(out + "/" + files[0]), 100000u);
  std::filesystem::remove(out + "/" + files[0]);

  // An AVI recording: the engine hands the recorder its MPEG-4 settings first.
  ASSERT_EQ(engine->EnableDivXSettings(1), S_OK);
  ASSERT_EQ(engine->SelectRecordProfile("DivX"), S_OK);
  ASSERT_EQ(engine->Preview(1), S_OK);
  ASSERT_EQ(engine->Record(1), S_OK);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  ASSERT_EQ(engine->Record(0), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return sink.Count("OnRecordingEnded") == 2; }));
  files.clear();
  for (const auto& e : std::filesystem::directory_iterator(out)) {
    if (e.is_regular_file()) files.push_back(e.path().filename().string());
  }
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].substr(files[0].size() - 9), ".0000.avi");
  EXPECT_GT(std::filesystem::file_size(out + "/" + files[0]), 0u);

  // Time shift through the engine: it starts paused, plays, and seeks back.
  ASSERT_EQ(engine->Preview(1), S_OK);
  ASSERT_EQ(engine->TimeShift(1), S_OK);
  EXPECT_EQ(engine->state(), grabstate::kTimeShift);
  std::this_thread::sleep_for(std::chrono::seconds(2));
  ASSERT_EQ(engine->TimeShiftOp122(), S_OK);
  ASSERT_EQ(engine->SeekBackward(1), S_OK);  // clamps to the start of the buffer
  int h = 0, m = 0, s = 0;
  EXPECT_EQ(engine->GetPlaybackPosition(&h, &m, &s), S_OK);
  ASSERT_EQ(engine->Preview(0), S_OK);
  EXPECT_EQ(engine->state(), grabstate::kIdle);

  // Teletext of the tuned station in its own window.
  ASSERT_EQ(engine->Preview(1), S_OK);
  ASSERT_EQ(engine->TuneChannel(14), S_OK);
  ASSERT_EQ(engine->RecorderOp97(owner), S_OK);
  ASSERT_EQ(engine->RecorderOp98(0, 0, 480, 250), S_OK);
  ASSERT_EQ(engine->ShowTeletext(1), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return engine->GetTeletextAvailable() == S_OK; }));
  EXPECT_TRUE(PumpUntil([&] { return recorderObject->teletext_window().painted() > 0; }));
  EXPECT_EQ(engine->GetTeletextPage(), 100);
  ASSERT_EQ(engine->NextTeletextPage(), S_OK);
  EXPECT_EQ(engine->GetTeletextPage(), 101);
  EXPECT_TRUE(PumpUntil([&] { return recorderObject->teletext().Has(101); }));
  ASSERT_EQ(engine->TeletextKeyGreen(), S_OK);  // the page's green link: 102
  EXPECT_EQ(engine->GetTeletextPage(), 102);
  ASSERT_EQ(engine->TeletextKeyBlue(), S_OK);   // blue: the index
  EXPECT_EQ(engine->GetTeletextPage(), 100);
  EXPECT_TRUE(sink.Has("OnTeletextPageChanged"));

  engine.Reset();
  DestroyWindow(owner);
  UnregisterClass("GrabberOwner", nullptr);
}

}  // namespace
