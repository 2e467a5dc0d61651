// Player events by dispatch id to the system core's callback table.
#include <gtest/gtest.h>

#include "engines/playback/wmhost/engine/event_sink.h"
#include "tests/engines/playback/wmhost/recording_callback.h"

namespace {

using wmhost_test::RecordingCallback;

class EventSink : public testing::Test {
 protected:
  EventSink()
      : thread_([this] { return now_; }), sink_(thread_, [this] { return position_; }, [this] { return ready_; }) {
    sink_.SetCallback(&callback_);
  }

  plat::HRESULT Send(plat::DISPID id, std::vector<plat::VARIANT> firstToLast) {
    std::vector<plat::VARIANT> reversed(firstToLast.rbegin(), firstToLast.rend());
    plat::DISPPARAMS params;
    params.rgvarg = reversed.data();
    params.cArgs = static_cast<plat::UINT>(reversed.size());
    return sink_.Invoke(id, &params);
  }
  static plat::VARIANT Long(long value) {
    plat::VARIANT v;
    v.vt = plat::VT_I4;
    v.lVal = static_cast<plat::LONG>(value);
    return v;
  }
  static plat::VARIANT Short(short value) {
    plat::VARIANT v;
    v.vt = plat::VT_I2;
    v.iVal = value;
    return v;
  }

  std::uint64_t now_ = 1000;
  double position_ = 12.5;
  bool ready_ = true;
  wmhost::QueuedEngineThread thread_;
  RecordingCallback callback_;
  CWMPEventSink sink_;
};

TEST_F(EventSink, PlayStatesMapToTheirCalls) {
  const std::pair<long, const char*> states[] = {{1, "Stopped"},     {2, "Paused"}, {3, "Playing"},
                                                 {8, "MediaEnded"}, {10, "Ready"}, {9, nullptr},
                                                 {6, nullptr},      {0, nullptr}};
  for (const auto& [state, call] : states) {
    callback_.calls.clear();
    EXPECT_EQ(Send(DISPID_PLAYSTATECHANGE, {Long(state)}), plat::DISP_E_MEMBERNOTFOUND);
    if (call) {
      EXPECT_EQ(callback_.calls, std::vector<std::string>{call}) << state;
    } else {
      EXPECT_TRUE(callback_.calls.empty()) << state;
    }
  }
}

TEST_F(EventSink, InputAndMediaEventsPassOnlyWhileReady) {
  Send(DISPID_MEDIACHANGE, {plat::VARIANT()});
  Send(DISPID_CLICK, {Short(1), Short(0), Long(5), Long(6)});
  Send(DISPID_KEYDOWN, {Short(38), Short(4)});
  Send(DISPID_MOUSEMOVE, {Short(0), Short(0), Long(5), Long(6)});
  Send(6000, {Long(1)});  // some other event: ignored
  EXPECT_EQ(callback_.calls, (std::vector<std::string>{"MediaChange", "Click", "KeyDown 38 4", "MouseMove"}));

  callback_.calls.clear();
  ready_ = false;
  Send(DISPID_MEDIACHANGE, {plat::VARIANT()});
  Send(DISPID_PLAYSTATECHANGE, {Long(10)});
  Send(DISPID_KEYDOWN, {Short(13), Short(0)});
  // The position is no state news: it is passed on also while switching.
  Send(DISPID_POSITIONCHANGE, {plat::VARIANT(), plat::VARIANT()});
  EXPECT_EQ(callback_.calls, std::vector<std::string>{"Position"});
  EXPECT_DOUBLE_EQ(callback_.lastPosition, 12.5);
}

TEST_F(EventSink, RefusesEventsWithoutParametersOrWithNamedArguments) {
  EXPECT_EQ(sink_.Invoke(DISPID_PLAYSTATECHANGE, nullptr), plat::E_POINTER);
  plat::VARIANT state = Long(3);
  plat::DISPID named = 0;
  plat::DISPPARAMS params;
  params.rgvarg = &state;
  params.cArgs = 1;
  params.rgdispidNamedArgs = &named;
  params.cNamedArgs = 1;
  EXPECT_EQ(sink_.Invoke(DISPID_PLAYSTATECHANGE, &params), plat::DISP_E_NONAMEDARGS);
  EXPECT_TRUE(callback_.calls.empty());
  EXPECT_FALSE(sink_.PositionTimerRunning());
}

TEST_F(EventSink, PositionTicksEveryHalfSecondWhilePlaying) {
  Send(DISPID_PLAYSTATECHANGE, {Long(3)});
  ASSERT_TRUE(sink_.PositionTimerRunning());
  now_ += 499;
  thread_.RunPending();
  EXPECT_EQ(callback_.calls, std::vector<std::string>{"Playing"});
  now_ += 1;
  position_ = 3.0;
  thread_.RunPending();
  now_ += 500;
  thread_.RunPending();
  EXPECT_EQ(callback_.calls, (std::vector<std::string>{"Playing", "Position", "Position"}));
  EXPECT_DOUBLE_EQ(callback_.lastPosition, 3.0);
  // Any play-state change kills the timer.
  Send(DISPID_PLAYSTATECHANGE, {Long(2)});
  EXPECT_FALSE(sink_.PositionTimerRunning());
  now_ += 5000;
  thread_.RunPending();
  EXPECT_EQ(callback_.calls.back(), "Paused");
}

TEST_F(EventSink, PlayerEventsTakeTheSameWay) {
  sink_.OnMediaChange(nullptr);
  sink_.OnPlayStateChange(wmhost::PlayState::MediaEnded);
  sink_.OnPositionChange(1.0, 2.0);
  sink_.OnMediaError("/x.mp3", "broken");
  EXPECT_EQ(callback_.calls, (std::vector<std::string>{"MediaChange", "MediaEnded", "Position"}));
  sink_.SetCallback(nullptr);
  sink_.OnPlayStateChange(wmhost::PlayState::Playing);  // no callback: nothing, no crash
  EXPECT_EQ(callback_.calls.size(), 3u);
}

}  // namespace
