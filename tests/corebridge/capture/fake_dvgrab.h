// A scripted camcorder engine for the capture controller's tests: every
// IDvGrab slot is logged as "<slot> <arguments>" and answers S_OK unless the
// test makes it fail; the camcorder list, its kind and frame rate, the
// capture time and the settings records handed over come from fields.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "interfaces/dvgrab.h"
#include "interfaces/event_sinks.h"
#include "platform/com/hresult.h"
#include "platform/com/object.h"

namespace capture_test {

using plat::SUCCEEDED;

class FakeDvGrab : public IDvGrab {
 public:
  using Interfaces = plat::InterfaceList<IDvGrab>;
  using HRESULT = plat::HRESULT;

  // --- Script -------------------------------------------------------------
  std::set<int> failing;   // slots that answer E_FAIL
  int cameras = 1;         // camcorders listed; EnumerateDevices fails without
  int kind = 1;            // 1 DV, 2 MPEG-2 TS
  float frameRate = 25.0f;
  bool rateKnown = true;   // GetFrameRate fails when false
  bool discWriter = false;
  int captureSeconds = 0;  // the capture time, while capturing
  // --- Observed -----------------------------------------------------------
  IDvGrabEventSink* sink = nullptr;
  std::vector<EncoderBlock> blocks;  // every settings record handed over
  std::vector<std::string> calls;
  bool open = false;
  bool capturing = false;
  int selected = -1;
  std::string folder;
  plat::RECT window{};

  bool Saw(const std::string& call) const {
    for (const auto& c : calls)
      if (c == call) return true;
    return false;
  }
  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call ? 1 : 0;
    return n;
  }

  HRESULT Open(int, int flags, const char*) override {
    const HRESULT hr = Result(3, "3 " + std::to_string(flags));
    if (SUCCEEDED(hr)) open = true;
    return hr;
  }
  HRESULT Close() override {
    open = false;
    capturing = false;
    sink = nullptr;
    selected = -1;
    return Result(4, "4");
  }
  HRESULT SetNotifyTarget(IDvGrabEventSink* target) override {
    sink = target;
    return Result(5, target ? "5 sink" : "5 null");
  }
  HRESULT SetOutputFolder(const char* path) override {
    folder = path ? path : "";
    return Result(6, "6 " + folder);
  }
  HRESULT GetOutputFolder(char*) override { return Result(7, "7"); }
  HRESULT SetCaptureFormat(int value) override { return Result(8, "8 " + std::to_string(value)); }
  HRESULT SetOutputType(int type) override { return Result(9, "9 " + std::to_string(type)); }
  HRESULT SetEncoderParams(EncoderBlock block) override {
    blocks.push_back(block);
    return Result(10, "10 " + std::to_string(block.format));
  }
  HRESULT Reserved11() override { return Result(11, "11"); }
  HRESULT GetFrameRate(float* rate) override {
    if (!rateKnown || selected < 0) {
      calls.push_back("12");
      return plat::E_FAIL;
    }
    *rate = frameRate;
    return Result(12, "12");
  }
  HRESULT SetVideoWindow(plat::HWND, int left, int top, int right, int bottom) override {
    window = {left, top, right, bottom};
    return Result(13, "13");
  }
  HRESULT SetCaptureFile(const char* path) override { return Result(14, std::string("14 ") + (path ? path : "")); }
  HRESULT Capture(int start) override {
    const HRESULT hr = Result(15, "15 " + std::to_string(start));
    if (SUCCEEDED(hr)) capturing = start != 0;
    return hr;
  }
  HRESULT Play() override { return Result(16, "16"); }
  HRESULT Pause() override { return Result(17, "17"); }
  HRESULT Stop() override { return Result(18, "18"); }
  HRESULT Rewind() override { return Result(19, "19"); }
  HRESULT FastForward() override { return Result(20, "20"); }
  HRESULT GetTimecode(int*, int*, int*) override { return Result(21, "21"); }
  HRESULT GetCaptureTime(int* hours, int* minutes, int* seconds) override {
    if (!capturing) return plat::E_FAIL;
    *hours = captureSeconds / 3600;
    *minutes = captureSeconds / 60 % 60;
    *seconds = captureSeconds % 60;
    return plat::S_OK;
  }
  HRESULT EnumerateDevices() override {
    calls.push_back("23");
    return cameras > 0 && !failing.count(23) ? plat::S_OK : plat::E_FAIL;
  }
  HRESULT HasDiscWriter() override {
    calls.push_back("24");
    return discWriter ? plat::S_OK : plat::E_FAIL;
  }
  HRESULT CheckDeviceReady() override { return Result(25, "25"); }
  HRESULT GetDeviceKind(int* out) override {
    if (cameras <= 0) return plat::E_FAIL;
    *out = kind;
    return Result(26, "26");
  }
  HRESULT SelectDevice(int index) override {
    if (index >= cameras) {
      calls.push_back("27 " + std::to_string(index));
      return plat::E_FAIL;
    }
    const HRESULT hr = Result(27, "27 " + std::to_string(index));
    if (SUCCEEDED(hr)) {
      if (capturing) capturing = false;
      selected = index;
    }
    return hr;
  }
  HRESULT GetDeviceName(char*) override { return Result(28, "28"); }
  HRESULT GetDeviceNameAt(char*, int index) override { return Result(29, "29 " + std::to_string(index)); }
  HRESULT SelectDrive(int index) override { return Result(30, "30 " + std::to_string(index)); }
  HRESULT StartCaptureToDisc() override {
    const HRESULT hr = Result(31, "31");
    if (SUCCEEDED(hr)) capturing = true;
    return hr;
  }
  HRESULT StopCaptureToDisc() override {
    const HRESULT hr = Result(32, "32");
    if (SUCCEEDED(hr)) capturing = false;
    return hr;
  }

 private:
  HRESULT Result(int slot, std::string call) {
    calls.push_back(std::move(call));
    return failing.count(slot) ? plat::E_FAIL : plat::S_OK;
  }
};

}  // namespace capture_test
