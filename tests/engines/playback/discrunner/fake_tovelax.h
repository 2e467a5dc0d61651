// A scripted stand-in for the DVD playback library, built as a loadable
// module that exports the library's three entry points. Tests reach its
// script through the extra entry point "FakeTovelaxScript" of the loaded
// module: what every call answers, the queued events, and a log of calls.
#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "outside/tovelax/tovelax_api.h"

namespace faketov {

struct Event {
  std::int32_t code = 0;
  std::intptr_t value1 = 0;
  std::intptr_t value2 = 0;
};

struct Script {
  // Answers.
  tovelax::HRESULT openResult = tovelax::kOk;
  std::uint32_t mediaBits = tovelax::kMediaDvdDisc;
  tovelax::HRESULT mediaResult = tovelax::kOk;
  std::int32_t speed = tovelax::kNormalSpeed;
  std::int32_t nativeWidth = 720, nativeHeight = 576;
  tovelax::VideoAttributes videoAttributes{};
  tovelax::HRESULT videoAttributesResult = tovelax::kOk;
  tovelax::HRESULT scalingResult = tovelax::kOk;
  std::int32_t numberLowest = 1, numberHighest = 99;
  std::int32_t subtitleCount = 0, subtitleCurrent = 0, subtitleDisabled = 0;
  std::set<std::int32_t> enabledSubtitles;
  std::int32_t audioCount = 0, audioCurrent = 0;
  std::uint32_t currentTime = 0;
  std::uint32_t parentalMask = 0;
  tovelax::HRESULT chapterResult = tovelax::kOk;
  tovelax::HRESULT trackResult = tovelax::kOk;
  tovelax::HRESULT grabResult = tovelax::kOk;
  std::vector<std::uint8_t> frameDib;  // what GrabFrame and property 2 hand out
  std::uint32_t defaultAudioLanguage = 0x09, defaultSubtitleLanguage = 0x07;
  std::deque<Event> events;

  // What happened.
  std::vector<std::string> calls;
  int eventsTaken = 0;
  int eventsFreed = 0;
  std::int32_t dest[4] = {};
  std::int32_t src[4] = {};
  tovelax::HWND owner = nullptr;
  tovelax::HWND notifyWindow = nullptr;
  std::uint32_t notifyMessage = 0;
  std::string bookmarkFile;
  std::string registryPath;
  tovelax::INotifyPoster* poster = nullptr;
  tovelax::IFrameSink* frameSink = nullptr;

  bool Called(const std::string& call) const {
    for (const auto& c : calls)
      if (c == call) return true;
    return false;
  }
};

using ScriptFn = Script* (*)();
inline constexpr const char* kScriptEntry = "FakeTovelaxScript";

}  // namespace faketov
