// An IWMPlayerEventSink that records the calls it gets, in order.
#pragma once

#include <string>
#include <vector>

#include "interfaces/wmhost/wmplayer.h"

namespace wmhost_test {

class RecordingCallback final : public IWMPlayerEventSink {
 public:
  plat::HRESULT OnMediaChange() override { return Record("MediaChange"), plat::S_OK; }
  int OnPlaying() override { return Record("Playing"); }
  int OnPaused() override { return Record("Paused"); }
  int OnStopped() override { return Record("Stopped"); }
  int OnMediaEnded() override { return Record("MediaEnded"); }
  int OnReady() override { return Record("Ready"); }
  int OnMouseMove() override { return Record("MouseMove"); }
  int OnClick() override { return Record("Click"); }
  int OnKeyDown(int keyCode, int shiftState) override {
    return Record("KeyDown " + std::to_string(keyCode) + " " + std::to_string(shiftState));
  }
  int OnSearchProgress() override { return Record("SearchProgress"); }
  int OnPosition(double seconds) override {
    lastPosition = seconds;
    return Record("Position");
  }

  // The calls without the position ticks.
  std::vector<std::string> WithoutPositions() const {
    std::vector<std::string> kept;
    for (const auto& call : calls) {
      if (call != "Position") kept.push_back(call);
    }
    return kept;
  }

  std::vector<std::string> calls;
  double lastPosition = -1;

 private:
  int Record(std::string call) {
    calls.push_back(std::move(call));
    return 1;
  }
};

}  // namespace wmhost_test
