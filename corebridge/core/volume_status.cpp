// Volume and mute actions, and the short status texts shown on the
// program's on-screen display.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"

using namespace plat;

namespace {

// Puts `value` where the first "%s" of a string-table text stands. The text
// comes from a file, so it is never used as a format itself.
std::string FillPlaceholder(const std::string& pattern, const std::string& value) {
  const size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + value + pattern.substr(at + 2);
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    char32_t c = b;
    int extra = 0;
    if (b >= 0xF0) {
      c = b & 0x07;
      extra = 3;
    } else if (b >= 0xE0) {
      c = b & 0x0F;
      extra = 2;
    } else if (b >= 0xC0) {
      c = b & 0x1F;
      extra = 1;
    }
    ++i;
    for (int k = 0; k < extra && i < text.size(); ++k, ++i) c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

// Selects the first audio device; the service is null when it cannot be
// reached or has no device.
ComPtr<ICoreAudio> FirstDevice(const CUISystem& system) {
  auto audio = system.CoreService<ICoreAudio>();
  if (!audio) return audio;
  char name[kServiceNameBytes] = {};
  char* buffer = name;
  if (FAILED(audio->GetDeviceName(0, &buffer)) || FAILED(audio->SelectDeviceByName(name))) return {};
  return audio;
}

}  // namespace

int CUISystem::ReadVolume(int& mute, float& volume) {
  auto audio = FirstDevice(*this);
  if (!audio) return 0;
  DWORD type = 0;
  return SUCCEEDED(audio->GetSpeakersLineState(0, &mute, &volume, &type)) ? 1 : 0;
}

int CUISystem::SetVolumeQuiet(int mute, float volume) {
  auto audio = FirstDevice(*this);
  if (!audio) return 0;
  const bool ok = SUCCEEDED(audio->SetSpeakersMute(0, mute)) && SUCCEEDED(audio->SetSpeakersVolume(0, volume));
  return ok ? 1 : 0;
}

int CUISystem::SetCoreMute(int mute) {
  auto audio = FirstDevice(*this);
  if (!audio) return 0;
  return SUCCEEDED(audio->SetSpeakersMute(0, mute ? 1 : 0)) ? 1 : 0;
}

namespace {

int StepVolume(CUISystem& system, bool up) {
  auto audio = FirstDevice(system);
  if (!audio) return 0;
  int mute = 0;
  float volume = 0.0f;
  DWORD type = 0;
  if (FAILED(audio->GetSpeakersLineState(0, &mute, &volume, &type))) return 0;
  // A step count out of 1..100 (a bad registry value) would divide by zero
  // or make no step at all.
  const int step = 100 / std::clamp(system.VolumeSteps(), 1, 100);
  const int percent = static_cast<int>(std::lround(volume * 100.0f));
  int target = up ? step * (percent / step + 1) : step * (percent / step - 1);
  target = std::clamp(target, 0, 100);
  if (FAILED(audio->SetSpeakersVolume(0, static_cast<float>(target) * 0.01f))) return 0;
  CConfig* config = system.Config();
  const bool unmute = mute && config && config->m_bUnmuteWhenVolAdjusted;
  if (unmute && !up) audio->SetSpeakersMute(0, 0);
  if (config && config->m_bVolumeOsd && system.UICallback()) {
    std::string label;
    system.UICallback()->LookupString(up ? "INCREASEVOL" : "DECREASEVOL", label);
    char text[600];
    std::snprintf(text, sizeof(text), "%s: %3d%% ", label.c_str(), target);
    system.SetNamedItemState(text, 0);
  }
  if (unmute && up) audio->SetSpeakersMute(0, 0);
  return 1;
}

}  // namespace

int CUISystem::OnVolUp(std::intptr_t, std::intptr_t) { return StepVolume(*this, true); }
int CUISystem::OnVolDown(std::intptr_t, std::intptr_t) { return StepVolume(*this, false); }

namespace {

int SetMute(CUISystem& system, int mode) {
  auto audio = FirstDevice(system);
  if (!audio) return 0;
  int mute = 0;
  float volume = 0.0f;
  DWORD type = 0;
  audio->GetSpeakersLineState(0, &mute, &volume, &type);
  const int wanted = mode == 2 ? !mute : mode;
  audio->SetSpeakersMute(0, wanted);
  CConfig* config = system.Config();
  if (config && config->m_bVolumeOsd) {
    if (wanted) {
      if (config->m_bKeepMuteOsd) system.ShowNamedItem("MUTEON");
      else system.SetNamedItemState("MUTEON", 1);
    } else {
      system.SetNamedItemState("MUTEOFF", 1);
    }
  }
  return 1;
}

}  // namespace

int CUISystem::OnVolMute(std::intptr_t, std::intptr_t) { return SetMute(*this, 1); }
int CUISystem::OnVolUnmute(std::intptr_t, std::intptr_t) { return SetMute(*this, 0); }
int CUISystem::OnVolMuteUnmute(std::intptr_t, std::intptr_t) { return SetMute(*this, 2); }

int CUISystem::SetNamedItemState(const std::string& text, int flag) {
  if (!m_pUICallback) return 0;
  return flag == 1 ? m_pUICallback->ShowOsdStringId(text) : m_pUICallback->ShowOsdText(text);
}

int CUISystem::ShowNamedItem(const std::string& key) {
  if (!m_pUICallback) return 0;
  const int saved = m_pUICallback->GetOsdOption();
  m_pUICallback->SetOsdOption2(0);
  const int result = m_pUICallback->ShowOsdStringId(key);
  m_pUICallback->SetOsdOption2(saved);
  return result;
}

int CUISystem::ShowNamedText(const std::string& text) {
  if (!m_pUICallback) return 0;
  const int saved = m_pUICallback->GetOsdOption();
  m_pUICallback->SetOsdOption2(0);
  const int result = m_pUICallback->ShowOsdText(text);
  m_pUICallback->SetOsdOption2(saved);
  return result;
}

int CUISystem::LookupUIStringWide(const std::u16string& key) {
  if (!m_pUICallback) return 0;
  std::string text;
  if (m_pUICallback->LookupString(Utf16ToUtf8(key), text) && !text.empty()) {
    return m_pUICallback->ShowOsdTextW(Utf8ToUtf16(text));
  }
  return m_pUICallback->ShowOsdTextW(key);
}

std::string CUISystem::SpeedText(int speed) {
  if (speed == 0) return "PAUSE";
  std::string pattern;
  if (m_pUICallback) m_pUICallback->LookupString(speed > 0 ? "FF_STRINGSPEED" : "FB_STRINGSPEED", pattern);
  const long magnitude = std::labs(static_cast<long>(speed));
  char number[32];
  if (magnitude % 10000 != 0) {
    std::snprintf(number, sizeof(number), "%2.1f", static_cast<double>(magnitude) / 10000.0);
  } else {
    std::snprintf(number, sizeof(number), "%2ld", magnitude / 10000);
  }
  return FillPlaceholder(pattern, number);
}

int CUISystem::ShowStatusText(int speed) {
  if (speed == 0) return SetNamedItemState("PAUSE", 1);
  const std::string text = SpeedText(speed);
  if (m_pConfig && m_pConfig->m_bKeepScanOsd && speed != 10000) return ShowNamedText(text);
  return SetNamedItemState(text, 0);
}
