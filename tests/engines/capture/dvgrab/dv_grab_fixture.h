// The camcorder engine on a scripted DV component, a manual clock and a sink
// that logs every call with the thread it came on.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "engines/capture/dvgrab/dv_grab.h"
#include "platform/win/message.h"
#include "tests/engines/capture/dvgrab/fake_dv_device.h"
#include "tests/support/temp_environment.h"

namespace dvtest {

using namespace plat;

class LoggingSink : public IDvGrabEventSink {
 public:
  std::vector<int> calls;
  std::vector<std::thread::id> threads;
  int Log(int slot) {
    calls.push_back(slot);
    threads.push_back(std::this_thread::get_id());
    return 1;
  }
  int Notify0(SinkArg, SinkArg) override { return Log(0); }
  int Notify1(SinkArg, SinkArg) override { return Log(1); }
  int Notify2(SinkArg, SinkArg) override { return Log(2); }
  int Notify3(SinkArg, SinkArg) override { return Log(3); }
  int Notify4(SinkArg, SinkArg) override { return Log(4); }
  int Notify5(SinkArg, SinkArg) override { return Log(5); }
  int Notify6(SinkArg, SinkArg) override { return Log(6); }
  int Notify7(SinkArg, SinkArg) override { return Log(7); }
  int Notify8(SinkArg, SinkArg) override { return Log(8); }
  int Notify9(SinkArg, SinkArg) override { return Log(9); }
  int Notify10(SinkArg, SinkArg) override { return Log(10); }
  int Notify11(SinkArg, SinkArg) override { return Log(11); }
  int Notify12(SinkArg, SinkArg) override { return Log(12); }
};

inline void Pump() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
}

// 3 May 2026, 21:07.
inline std::tm MayThird() {
  std::tm tm{};
  tm.tm_year = 126;
  tm.tm_mon = 4;
  tm.tm_mday = 3;
  tm.tm_hour = 21;
  tm.tm_min = 7;
  return tm;
}

class PLAT_COM_LOCAL DvGrabTest : public ::testing::Test {
 protected:
  void SetUp() override { out = env.dir() + "/captured"; }
  void TearDown() override {
    engine.Reset();
    Pump();
  }

  dvgrab::DvGrabHooks Hooks() {
    dvgrab::DvGrabHooks h;
    h.createDevice = [this](IDvDevice** o) {
      if (failCreate) return E_FAIL;
      device->AddRef();
      *o = device.Get();
      return S_OK;
    };
    h.steadySeconds = [this] { return now; };
    h.localTime = [] { return MayThird(); };
    h.programFolder = env.dir() + "/program";
    return h;
  }
  CDvGrab& Make() {
    engine = MakeComObject<CDvGrab>(Hooks());
    engine->SetNotifyTarget(&sink);
    return *engine;
  }
  CDvGrab& Opened() {
    CDvGrab& g = Make();
    EXPECT_EQ(g.Open(0, 2, nullptr), S_OK);
    return g;
  }
  // Opened with device `index` selected and the log cleared.
  CDvGrab& Selected(int index = 0) {
    CDvGrab& g = Opened();
    EXPECT_EQ(g.SetOutputFolder(out.c_str()), S_OK);
    EXPECT_EQ(g.SelectDevice(index), S_OK);
    device->Clear();
    return g;
  }

  test_support::TempEnvironment env{"dvg"};
  std::string out;
  ComPtr<ComObject<FakeDvDevice>> device = MakeComObject<FakeDvDevice>();
  ComPtr<ComObject<CDvGrab>> engine;
  LoggingSink sink;
  bool failCreate = false;
  long long now = 1000;
};

}  // namespace dvtest
