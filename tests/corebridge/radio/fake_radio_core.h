// A scripted radio engine for the Radio controller's tests: every IRadioCore
// slot is logged as "<slot> <arguments>" and answers S_OK unless the test
// makes it fail; the device value, band edges, stations (signal levels by
// frequency), presets and recordings come from fields.
#pragma once

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "interfaces/radiodeck.h"
#include "platform/com/hresult.h"
#include "platform/com/object.h"

namespace radio_test {

class FakeRadioCore : public IRadioCore {
 public:
  using Interfaces = plat::InterfaceList<IRadioCore>;
  using HRESULT = plat::HRESULT;

  // --- Script -------------------------------------------------------------
  std::set<int> failing;  // slots that answer E_FAIL
  int device = kRadioDeviceTuner;
  // Band edges by engine band (1 FM, 2 AM).
  std::map<int, std::pair<int, int>> edges{{1, {87500000, 108000000}}, {2, {522000000, 1710000000}}};
  std::map<int, int> levels;  // signal level by frequency; 0 elsewhere
  double presets[20] = {};    // what slot 24 hands out
  double written[20] = {};    // what slot 25 got
  bool writeRecordings = true;  // StartRecord creates its file

  int frequency = 0;
  int band = 1;
  int area = -1;
  int mute = 0;
  int openKind = 0;
  int state = kRadioClosed;
  std::string recording;
  IRadioEventSink* sink = nullptr;
  std::vector<std::string> calls;

  bool Saw(const std::string& call) const {
    for (const auto& c : calls)
      if (c == call) return true;
    return false;
  }
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : calls)
      if (c == prefix || c.rfind(prefix + " ", 0) == 0) ++n;
    return n;
  }
  bool SawSlot(int slot) const { return Count(std::to_string(slot)) > 0; }

  HRESULT Open(int kind, const char* folder) override {
    if (Fail(3, "3 " + std::to_string(kind) + (folder ? " " + std::string(folder) : std::string()))) return plat::E_FAIL;
    if (kind != 1 && kind != 2) return plat::E_FAIL;
    openKind = kind;
    state = kRadioPlaying;
    return plat::S_OK;
  }
  HRESULT Close() override {
    state = kRadioClosed;
    return Result(4, "4");
  }
  HRESULT SetMute(int flag) override {
    if (Fail(5, "5 " + std::to_string(flag))) return plat::E_FAIL;
    mute = flag;
    return plat::S_OK;
  }
  HRESULT GetDeviceId(int* value) override {
    *value = device;
    return plat::S_OK;
  }
  HRESULT StartScan(int step, IRadioEventSink* s) override {
    if (Fail(7, "7 " + std::to_string(step))) return plat::E_FAIL;
    sink = s;
    state = kRadioSearching;
    return plat::S_OK;
  }
  HRESULT GetScanProgress(float* progress) override {
    *progress = 0.5f;
    return state == kRadioSearching ? plat::S_OK : plat::E_FAIL;
  }
  HRESULT StartRecord(const char* file, int format, IRadioEventSink* s) override {
    if (Fail(9, "9 " + std::string(file) + " " + std::to_string(format))) return plat::E_FAIL;
    sink = s;
    recording = file;
    if (writeRecordings) std::ofstream(file) << "x";
    state = kRadioRecording;
    return plat::S_OK;
  }
  HRESULT Stop() override {
    state = state == kRadioClosed ? kRadioClosed : kRadioPlaying;
    return Result(10, "10");
  }
  HRESULT GetState(int* value) override {
    *value = state;
    return plat::S_OK;
  }
  HRESULT GetSignalStrength(int* level) override {
    const auto it = levels.find(frequency);
    *level = it == levels.end() ? 0 : it->second;
    return Fail(12, "") ? plat::E_FAIL : plat::S_OK;
  }
  HRESULT GetBand(int* value) override {
    *value = band;
    return plat::S_OK;
  }
  HRESULT SetBand(int value) override {
    if (Fail(14, "14 " + std::to_string(value))) return plat::E_FAIL;
    band = value;
    return plat::S_OK;
  }
  HRESULT GetBandLow(int* value, int b) override {
    *value = edges[b].first;
    return Fail(15, "") ? plat::E_FAIL : plat::S_OK;
  }
  HRESULT GetBandHigh(int* value, int b) override {
    *value = edges[b].second;
    return Fail(16, "") ? plat::E_FAIL : plat::S_OK;
  }
  HRESULT GetFrequency(int* value) override {
    *value = frequency;
    return plat::S_OK;
  }
  HRESULT SetFrequency(int value) override {
    if (Fail(18, "18 " + std::to_string(value))) return plat::E_FAIL;
    frequency = value;
    return plat::S_OK;
  }
  HRESULT SetArea(int value) override {
    if (Fail(19, "19 " + std::to_string(value))) return plat::E_FAIL;
    area = value;
    return plat::S_OK;
  }
  HRESULT GetStereo(int* value) override {
    *value = 1;
    return plat::S_OK;
  }
  HRESULT IsSignalStrong(int* value) override {
    *value = 0;
    return plat::S_OK;
  }
  HRESULT InitTunerCard(int, IRadioEventSink* s) override {
    if (Fail(22, "22")) return plat::E_FAIL;
    sink = s;
    return plat::S_OK;
  }
  HRESULT ReleaseTunerCard() override { return Result(23, "23"); }
  HRESULT SetComponentOption15(double* table) override {
    if (Fail(24, "24")) return plat::E_FAIL;
    for (int i = 0; i < 20; ++i) table[i] = presets[i];
    return plat::S_OK;
  }
  HRESULT SetComponentOption14(double* table) override {
    if (Fail(25, "25")) return plat::E_FAIL;
    for (int i = 0; i < 20; ++i) written[i] = table[i];
    return plat::S_OK;
  }

 private:
  // Logs the call (unless empty) and tells whether the slot is made to fail.
  bool Fail(int slot, const std::string& call) {
    if (!call.empty()) calls.push_back(call);
    return failing.count(slot) != 0;
  }
  HRESULT Result(int slot, const std::string& call) { return Fail(slot, call) ? plat::E_FAIL : plat::S_OK; }
};

}  // namespace radio_test
