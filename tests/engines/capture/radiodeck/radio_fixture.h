// The radio engine's tests: a test hive declaring a virtual radio of three
// stations (one without RDS), a sink that notes each call with the thread
// it came on, and helpers that pump the thread's messages while waiting.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "interfaces/event_sinks.h"
#include "platform/media/radio/virtual_radio.h"
#include "platform/registry/registry.h"
#include "platform/win/message.h"
#include "tests/support/temp_environment.h"

namespace radio_test {

using namespace plat;

inline void SetText(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}
inline void SetDword(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}
inline HKEY CreateKey(const std::string& path) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}

struct Station {
  const char* key;
  DWORD hz;
  const char* name;  // nullptr: no RDS
  const char* text;
  DWORD type;
  DWORD tone;
};

inline constexpr Station kStations[] = {
    {"A", 88'000'000, "ALPHA", "Alpha plays it all", 10, 600},
    {"B", 95'500'000, nullptr, nullptr, 0, 1000},
    {"C", 104'000'000, "CHARLIE", "News on the hour", 1, 1500},
};

// Declares the virtual radio (preferred over any real one).
inline void DeclareVirtualRadio(const char* bands = "FM") {
  HKEY root = CreateKey(plat::radio::kVirtualRadioKey);
  SetText(root, "Name", "Test");
  SetText(root, "Bands", bands);
  SetDword(root, "Prefer", 1);
  RegCloseKey(root);
  for (const Station& s : kStations) {
    HKEY key = CreateKey(std::string(plat::radio::kVirtualRadioKey) + "\\Stations\\" + s.key);
    SetDword(key, "Frequency", s.hz);
    if (s.name) SetText(key, "Name", s.name);
    if (s.text) SetText(key, "RadioText", s.text);
    SetDword(key, "ProgramType", s.type);
    SetDword(key, "Tone", s.tone);
    SetDword(key, "PI", 0xC000 + s.tone);
    RegCloseKey(key);
  }
}

inline void Pump() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
}

// Pumps until `done` holds or `ms` pass; true when it holds.
inline bool PumpUntil(const std::function<bool()>& done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  Pump();
  return true;
}

struct Call {
  int slot;
  std::string text;
  int value;
  std::thread::id thread;
};

class RecordingSink final : public IRadioEventSink {
 public:
  int OnSearchStarted() override { return Note(0); }
  int OnStationFound(int frequency) override { return Note(1, {}, frequency); }
  int OnSearchEnded() override { return Note(2); }
  int OnRecordingStarted() override { return Note(3); }
  int OnRecordingStopped() override { return Note(4); }
  int Reserved5() override { return 0; }
  int OnRadioText(const char* text) override { return Note(6, text); }
  int OnProgramType(const char* name) override { return Note(7, name); }
  int OnClockTime(const char* text) override { return Note(8, text); }
  int OnStationName(const char* name) override { return Note(9, name); }

  std::vector<Call> calls;

  std::vector<int> Slots(std::initializer_list<int> only) const {
    std::vector<int> out;
    for (const Call& c : calls) {
      for (int s : only) {
        if (c.slot == s) out.push_back(c.slot);
      }
    }
    return out;
  }
  std::vector<int> Found() const {
    std::vector<int> out;
    for (const Call& c : calls) {
      if (c.slot == 1) out.push_back(c.value);
    }
    return out;
  }
  bool Has(int slot, const std::string& text = {}) const {
    for (const Call& c : calls) {
      if (c.slot == slot && (text.empty() || c.text == text)) return true;
    }
    return false;
  }

 private:
  int Note(int slot, const char* text = nullptr, int value = 0) {
    calls.push_back({slot, text ? text : "", value, std::this_thread::get_id()});
    return 0;
  }
};

}  // namespace radio_test
