// The TV engine on a scripted recorder and profile store, a fixed clock in
// UTC, injected free space, locale and compressors, and a sink that logs
// every call with the thread it came on.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engines/capture/grabber/grabber.h"
#include "platform/com/visibility.h"
#include "platform/sys/clock.h"
#include "platform/win/message.h"
#include "tests/engines/capture/grabber/fake_recorder.h"
#include "tests/support/temp_environment.h"

namespace grabtest {

using namespace plat;

class LoggingSink : public IGrabberEventSink {
 public:
  std::vector<std::string> calls;
  std::vector<std::thread::id> threads;
  std::vector<std::uint8_t> lastPicture;
  int lastPictureWidth = 0;

  int Log(std::string text) {
    calls.push_back(std::move(text));
    threads.push_back(std::this_thread::get_id());
    return 1;
  }
  static std::string N(int v) { return std::to_string(v); }
  int OnDiskFull() override { return Log("OnDiskFull()"); }
  int OnSearchFinished(IGrabber*) override { return Log("OnSearchFinished()"); }
  int OnSearchPercent(int p) override { return Log("OnSearchPercent(" + N(p) + ")"); }
  int OnRecordingEnded(IGrabber*) override { return Log("OnRecordingEnded()"); }
  int OnPictureReady(int code) override { return Log("OnPictureReady(" + N(code) + ")"); }
  int OnSignalLost() override { return Log("OnSignalLost()"); }
  int OnScanStep(int p, int c, int s) override { return Log("OnScanStep(" + N(p) + "," + N(c) + "," + N(s) + ")"); }
  int OnPreviewStep(int p, int c, const char* name, const TvPicture* pic) override {
    if (pic) {
      lastPicture.assign(pic->bgr, pic->bgr + static_cast<std::size_t>(pic->stride) * pic->height);
      lastPictureWidth = pic->width;
    }
    return Log("OnPreviewStep(" + N(p) + "," + N(c) + "," + name + ")");
  }
  int OnTuning(int a, int b, int ch) override { return Log("OnTuning(" + N(a) + "," + N(b) + "," + N(ch) + ")"); }
  int OnTeletextPageChanged() override { return Log("OnTeletextPageChanged()"); }
  int OnTimeShiftNoSpace() override { return Log("OnTimeShiftNoSpace()"); }
  int OnDiscNotice(int v) override { return Log("OnDiscNotice(" + N(v) + ")"); }
  int OnDeviceLost() override { return Log("OnDeviceLost()"); }
  int OnProgressValue(int v) override { return Log("OnProgressValue(" + N(v) + ")"); }
  int OnProgressEnd() override { return Log("OnProgressEnd()"); }
  int OnBurnPreparation(int e) override { return Log("OnBurnPreparation(" + N(e) + ")"); }
  int OnSourceReopened(IGrabber*) override { return Log("OnSourceReopened()"); }
  int OnSourceNotice(int v) override { return Log("OnSourceNotice(" + N(v) + ")"); }
  int OnRecorderNotice(int c, int v) override { return Log("OnRecorderNotice(" + N(c) + "," + N(v) + ")"); }
  int OnSourceError(int c) override { return Log("OnSourceError(" + N(c) + ")"); }
  int OnSourceRestarted() override { return Log("OnSourceRestarted()"); }
  int OnReplayAtLive() override { return Log("OnReplayAtLive()"); }
};

// Dispatches what the thread's queue holds.
inline void Pump() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
}

// 3 May 2026, 21:07:00 UTC.
inline Clock::WallTime MayThird() { return Clock::WallTime{std::chrono::seconds{1777842420}}; }

inline GrabberInitRecord MakeRecord(const std::string& folder, int country = 129) {
  GrabberInitRecord r{};
  r.recorderValue = 7;
  std::snprintf(r.outputFolder, sizeof r.outputFolder, "%s", folder.c_str());
  r.country = country;
  r.inputKind = 0;
  r.antenna = 1;
  for (int& level : r.pictureLevels) level = 50;
  r.startChannel = 5;
  return r;
}

class PLAT_COM_LOCAL GrabberFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = ::getenv("TZ");
    if (tz) oldTz_ = tz;
    hadTz_ = tz != nullptr;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    clock = std::make_shared<ManualClock>(1'000'000, MayThird());
    SetClock(clock);
    out = env.dir() + "/out";
    recorder = MakeComObject<FakeRecorder>();
    store = MakeComObject<FakeProfileStore>();
    store->files["Default_PAL.prf"] = {MakeEntry("Record", "DVD HQ", 2, 9000000), MakeEntry("Record", "DVD SP"),
                                       MakeEntry("Record", "DivX", 0), MakeEntry("Record", "VCD", 2, 1150000),
                                       MakeEntry("Replay", "300001000", 2, 4000000)};
    store->files["Default_NTSC.prf"] = {MakeEntry("Record", "DVD SP", 2, 5000000), MakeEntry("Record", "DVD LP")};
    recorder->SetStation(5, "Station Five");
    recorder->SetStation(7, "Station Seven");
  }
  void TearDown() override {
    engine.Reset();
    Pump();
    SetClock(nullptr);
    if (hadTz_) {
      ::setenv("TZ", oldTz_.c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

  grabber::GrabberHooks Hooks() {
    grabber::GrabberHooks h;
    h.createRecorder = [this](ISysRecorder** o) {
      if (failCreate) return E_FAIL;
      recorder->AddRef();
      *o = recorder.Get();
      return S_OK;
    };
    h.createProfileStore = [this](IProfileStore** o) {
      store->AddRef();
      *o = store.Get();
      return S_OK;
    };
    h.freeMB = [this](const std::string& folder) {
      freeAsked.push_back(folder);
      return freeMB;
    };
    h.sleep = [this](int ms) { sleeps.push_back(ms); };
    h.localeCountry = [this] { return locale; };
    h.monthAbbreviation = [](int month) { return month == 5 ? std::string("May") : std::string("Mon"); };
    h.videoCompressors = [this] { return compressors; };
    h.probe = [] {
      grabber::ProbeResult p;
      p.mmx = p.sse = p.sse2 = true;
      p.mhz = 2400;
      return p;
    };
    h.startFolder = env.dir() + "/engine";
    return h;
  }

  CGrabber& Make() {
    engine = MakeComObject<CGrabber>(Hooks());
    engine->SetNotifyTarget(&sink);
    return *engine;
  }
  CGrabber& Ready(int country = 129) {
    CGrabber& g = Make();
    EXPECT_EQ(g.Init(MakeRecord(out, country)), S_OK);
    recorder->calls.clear();
    store->calls.clear();
    return g;
  }
  CGrabber& Previewing(int country = 129) {
    CGrabber& g = Ready(country);
    EXPECT_EQ(g.Preview(1), S_OK);
    recorder->calls.clear();
    return g;
  }

  test_support::TempEnvironment env{"grab"};
  std::shared_ptr<ManualClock> clock;
  std::string out;
  ComPtr<ComObject<FakeRecorder>> recorder;
  ComPtr<ComObject<FakeProfileStore>> store;
  ComPtr<ComObject<CGrabber>> engine;
  LoggingSink sink;
  bool failCreate = false;
  long long freeMB = 100000;
  std::vector<std::string> freeAsked;
  std::vector<int> sleeps;
  grabber::LocaleCountry locale{49, "Germany"};
  std::vector<grabber::VideoCompressor> compressors;

 private:
  std::string oldTz_;
  bool hadTz_ = false;
};

}  // namespace grabtest
