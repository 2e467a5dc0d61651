// The Radio controller's settings actions: source device and line, area,
// scan precision, the tuning and scan steps, the record format, destination
// and disc format, and the restore of the defaults.
#include <cstring>
#include <string>

#include "corebridge/core/audio_profile.h"
#include "corebridge/modules/radio_controller_internal.h"

namespace radio_controller {

namespace {

int StepSource(Ctx& c, int step) {
  CRadioConfig& radio = c.radio;
  const int count = radio.m_pProfiles1 ? static_cast<int>(radio.m_pProfiles1->m_profiles.size()) : 0;
  // Without devices there is nothing to step through (and no modulo).
  if (radio.m_nSourceDevice < 0 || count == 0) return 0;
  radio.m_nSourceDevice = ((radio.m_nSourceDevice + step) % count + count) % count;
  c.Redraw(0);
  return 1;
}

int StepLine(Ctx& c, int step) {
  CRadioConfig& radio = c.radio;
  const CAudioProfile* device = SourceDevice(radio);
  const int count = device ? static_cast<int>(device->m_wideItems.size()) : 0;
  // Without lines there is nothing to step through (and no modulo).
  if (count == 0) return 0;
  const int from = radio.m_nSourceLine < 0 ? 0 : radio.m_nSourceLine;
  radio.m_nSourceLine = ((from + step) % count + count) % count;
  const std::string chosen = LineName(device->m_wideItems[static_cast<std::size_t>(radio.m_nSourceLine)].data());
  if (auto audio = c.sys.CoreService<ICoreAudio>()) {
    audio->SelectDeviceByName(device->m_strName.c_str());
    audio->SelectRecordingSource(radio.m_nSourceLine);
    for (int i = 0; i < count; ++i) {
      if (LineName(device->m_wideItems[static_cast<std::size_t>(i)].data()) != chosen) audio->SetRecordingMute(i, 1);
    }
  }
  c.Redraw(0);
  return 1;
}

int StepArea(Ctx& c, bool right) {
  if (!c.Has(kCanSetArea)) return 0;
  CRadioConfig& radio = c.radio;
  Mute(c, 1);
  const int area = radio.m_nCurArea >= 1 && radio.m_nCurArea <= 3 ? radio.m_nCurArea : 1;
  radio.m_nCurArea = right ? area % 3 + 1 : (area + 1) % 3 + 1;
  c.engine->SetArea(EngineArea(radio.m_nCurArea));
  FixAmSteps(radio, radio.m_nCurArea);
  ResetStationSlots(radio);
  radio.m_bPresetsChanged = 1;
  ChooseBand(c, radio.m_nCurBand == RADIO_BAND_AM ? RADIO_BAND_AM : RADIO_BAND_FM);
  Wait(c, 200);
  Mute(c, 0);
  c.Redraw(0);
  return 1;
}

void Toggle(int& value, int a, int b) { value = value == a ? b : a; }

void ToggleAm(CRadioConfig& radio, int& value) {
  if (radio.m_nCurArea == 2) Toggle(value, 10000000, 20000000);
  else Toggle(value, 9000000, 18000000);
}

int StepRecordFormat(Ctx& c, bool right) {
  int& format = c.radio.m_nRecordFormat;
  format = right ? (format + 1) % 5 : (format + 4) % 5;
  // The component's line recording has no MP3.
  if (c.Component() && format == 1) format = right ? 2 : 0;
  c.Redraw(0);
  return 1;
}

int Restore(Ctx& c) {
  CRadioConfig& radio = c.radio;
  switch (radio.m_nPage) {
    case kPageSetting: {
      const int country = CountryCode(c.sys);
      radio.m_nCurArea = country == 1 ? 2 : country == 81 ? 3 : 1;
      const int amStep = country == 1 ? 10000000 : 9000000;
      radio.m_nAMFineTuneScale = amStep;
      radio.m_nAMAutoScanScale = amStep;
      if (c.Has(kCanSetArea)) c.engine->SetArea(EngineArea(radio.m_nCurArea));
      radio.m_nFMFineTuneScale = 50000;
      radio.m_nFMAutoScanScale = 50000;
      radio.m_nRecordFormat = 0;
      radio.m_nScanPrecision = 2;
      break;
    }
    case kPageRadioSetting:
      if (radio.m_pProfiles1 && !radio.m_pProfiles1->m_profiles.empty()) {
        radio.m_nSourceDevice = 0;
        radio.m_nSourceLine = 0;
      }
      break;
    case kPageRecordSetting:
      radio.m_nRecordFormat = 1;
      radio.m_nRecordTo = 0;
      radio.m_nRecordDiscFormat = 0;
      break;
    default: break;
  }
  c.Redraw(0);
  return 1;
}

}  // namespace

int SettingAction(Ctx& c, int id) {
  CRadioConfig& radio = c.radio;
  switch (id) {
    case kSourceLeft: return StepSource(c, -1);
    case kSourceRight: return StepSource(c, 1);
    case kLineInLeft: return StepLine(c, -1);
    case kLineInRight: return StepLine(c, 1);
    case kAreaLeft: return StepArea(c, false);
    case kAreaRight: return StepArea(c, true);
    case kPrecisionLeft:
    case kPrecisionRight: {
      static constexpr int kLeft[] = {2, 0, 1};
      static constexpr int kRight[] = {1, 2, 0};
      const int from = radio.m_nScanPrecision >= 0 && radio.m_nScanPrecision <= 2 ? radio.m_nScanPrecision : 0;
      radio.m_nScanPrecision = id == kPrecisionLeft ? kLeft[from] : kRight[from];
      break;
    }
    case kFMFinetuneLeft:
    case kFMFinetuneRight: Toggle(radio.m_nFMFineTuneScale, 50000, 100000); break;
    case kFMScanLeft:
    case kFMScanRight: Toggle(radio.m_nFMAutoScanScale, 50000, 100000); break;
    case kAMFinetuneLeft:
    case kAMFinetuneRight: ToggleAm(radio, radio.m_nAMFineTuneScale); break;
    case kAMScanLeft:
    case kAMScanRight: ToggleAm(radio, radio.m_nAMAutoScanScale); break;
    case kRecordFormatLeft: return StepRecordFormat(c, false);
    case kRecordFormatRight: return StepRecordFormat(c, true);
    case kRecordToLeft:
    case kRecordToRight:
      radio.m_nRecordTo = 0;
      c.Redraw(0);
      return 1;
    case kDiscFormatLeft:
    case kDiscFormatRight:
      radio.m_nRecordDiscFormat = radio.m_nRecordDiscFormat == 0 ? 1 : 0;
      c.Redraw(0);
      return 1;
    case kRestore: return Restore(c);
    default: return 0;
  }
  c.Redraw(0);
  return 1;
}

}  // namespace radio_controller
