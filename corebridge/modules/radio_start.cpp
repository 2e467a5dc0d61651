// Entering and leaving the Radio module: the engine opened on the vendor's
// road, the area, the source line, the presets of the outside component,
// RDS on the tuner, and on the way out the presets written back and the
// engine closed.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "corebridge/core/audio_profile.h"
#include "platform/com/module_path.h"
#include "corebridge/modules/radio_controller_internal.h"

namespace radio_controller {

namespace {

constexpr int kPresetCount = 20;
constexpr int kPresetsPerBand = 6;
constexpr int kAmPresetBase = 10;

bool Offered(const CConfig& config) {
  return (config.m_aFeatureWords[FEATURE_ROOT] & 2) != 0 && (config.m_aFeatureWords[FEATURE_RADIO] & 2) != 0;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

void RefreshDevices(Ctx& c) {
  CRadioConfig& radio = c.radio;
  if (!radio.m_pProfiles1) radio.m_pProfiles1 = std::make_unique<CAudioProfileList>();
  if (!radio.m_pProfiles2) radio.m_pProfiles2 = std::make_unique<CAudioProfileList>();
  c.sys.EnumMixerDevices(*radio.m_pProfiles1);
  *radio.m_pProfiles2 = *radio.m_pProfiles1;
  const int count = static_cast<int>(radio.m_pProfiles1->m_profiles.size());
  if (count == 0) radio.m_nSourceDevice = -1;
  else if (radio.m_nSourceDevice < 0 || radio.m_nSourceDevice >= count) radio.m_nSourceDevice = 0;
}

// The index of the source device's line-in named "Radio", -1 when none.
int FindRadioLine(const CRadioConfig& radio) {
  const CAudioProfile* device = SourceDevice(radio);
  if (!device) return -1;
  for (std::size_t i = 0; i < device->m_wideItems.size(); ++i)
    if (SameTextIgnoringCase(LineName(device->m_wideItems[i].data()), "Radio")) return static_cast<int>(i);
  return -1;
}

// The area from the country code at start (area 0 automatic) and the AM
// steps that fit it; the engine follows.
void ApplyArea(Ctx& c) {
  CRadioConfig& radio = c.radio;
  if (radio.m_nCurArea == 0) {
    const int country = CountryCode(c.sys);
    radio.m_nCurArea = country == 1 ? 2 : country == 81 ? 3 : 1;
  }
  if (radio.m_nCurArea < 1 || radio.m_nCurArea > 3) radio.m_nCurArea = 1;
  c.engine->SetArea(EngineArea(radio.m_nCurArea));
  FixAmSteps(radio, radio.m_nCurArea);
}

// The outside component's presets: entries 0-5 FM in MHz, 10-15 AM in kHz.
void ReadPresets(Ctx& c) {
  std::array<double, kPresetCount> table{};
  if (FAILED(c.engine->SetComponentOption15(table.data()))) return;
  for (int band : {RADIO_BAND_FM, RADIO_BAND_AM}) {
    const int engineBand = band == RADIO_BAND_FM ? kEngineFM : kEngineAM;
    int low = 0;
    int high = 0;
    if (FAILED(c.engine->GetBandLow(&low, engineBand)) || FAILED(c.engine->GetBandHigh(&high, engineBand))) continue;
    const int base = band == RADIO_BAND_FM ? 0 : kAmPresetBase;
    for (int i = 0; i < kPresetsPerBand; ++i) {
      const double value = table[static_cast<std::size_t>(base + i)];
      // Out-of-range doubles never reach the integer conversion.
      if (!(value > 0.0) || value * 1e6 > 2147483647.0) continue;
      const int frequency = static_cast<int>(value * 1e6 + 0.5);
      if (frequency < low || frequency > high) continue;
      c.radio.SetRadioStation(i, MakeRadioStation(FrequencyText(frequency, band), frequency, 1, -1), band);
    }
  }
}

void WritePresets(Ctx& c) {
  std::array<double, kPresetCount> table{};
  for (int band : {RADIO_BAND_FM, RADIO_BAND_AM}) {
    const int base = band == RADIO_BAND_FM ? 0 : kAmPresetBase;
    for (int i = 0; i < kPresetsPerBand; ++i) {
      RadioStation station;
      if (c.radio.GetRadioStation(i, station, band)) table[static_cast<std::size_t>(base + i)] = station.nFrequency * 1e-6;
    }
  }
  c.engine->SetComponentOption14(table.data());
}

int OpenEngine(Ctx& c) {
  if (!c.engine) return 0;
  int opened = 0;
  switch (RoadOf(c.vendor)) {
    // The component keeps its presets in the "Radio" folder beside the
    // program.
    case Road::Component: {
      const std::string folder = plat::com_detail::ExecutableDirectory() + "/Radio";
      opened = SUCCEEDED(c.engine->Open(kRadioKindComponent, folder.c_str()));
      break;
    }
    case Road::Tuner: opened = SUCCEEDED(c.engine->Open(kRadioKindTuner, nullptr)); break;
    case Road::None: return 0;
  }
  if (!opened) return 0;
  if (c.Has(kCanSetArea)) {
    const int country = CountryCode(c.sys);
    c.engine->SetArea(country == 1 ? 1 : country == 81 ? 2 : 0);
  }
  return 1;
}

}  // namespace

int StartRadio(CUISystem& system) {
  CConfig* config = system.Config();
  if (!config || !config->m_pRadio || !Offered(*config)) return 0;
  if (config->m_nActiveModule == MODULE_RADIO) return 1;
  if (config->m_nActiveModule != MODULE_NONE) system.OnHome(0, 0);
  auto made = MakeCtx(system);
  if (!made) return 0;
  Ctx& c = *made;
  config->m_nActiveModule = MODULE_RADIO;

  if (!OpenEngine(c)) {
    // Nothing runs: the module is not left active behind a closed engine.
    config->m_nActiveModule = MODULE_NONE;
    c.SetPage(kPageNone);
    c.ShowCurrent();
    c.Redraw(0);
    return 0;
  }
  if (c.frame) c.frame->SuspendPowerSaving();
  RefreshDevices(c);

  if (c.Component()) {
    ApplyArea(c);
    c.radio.m_nSourceLine = FindRadioLine(c.radio);
    ResetStationSlots(c.radio);
    ReadPresets(c);
  } else {
    plat::HWND window = c.page ? c.page->GetWindowHandle() : nullptr;
    // The card value is opaque to the engine; the page window's low bits
    // keep the call's shape.
    const int card = static_cast<int>(reinterpret_cast<std::uintptr_t>(window) & 0x7fffffff);
    c.radio.m_bRadioText = SUCCEEDED(c.engine->InitTunerCard(card, c.sys.RadioSink())) ? 1 : 0;
  }
  if (!c.Has(kCanSwitchBand)) {
    // Without band switching the tuner stays on its one band, which need
    // not be where the saved frequency is: read its edges and tune there.
    c.radio.m_nCurBand = RADIO_BAND_FM;
    ReadBandLimits(c);
    const int saved = CurrentFrequency(c.radio);
    Tune(c, std::clamp(saved, BandMin(c.radio), BandMax(c.radio)));
    // Nothing else brings the sound back after the last module's mute.
    Mute(c, 0);
  }

  if (c.page) c.page->EnterModule();
  c.SetPage(c.Vendor4() ? kPageMainStation : kPageMain);
  c.ShowCurrent();
  ChooseBand(c, c.radio.m_nCurBand == RADIO_BAND_AM ? RADIO_BAND_AM : RADIO_BAND_FM);

  c.radio.m_nRecordState = RADIO_LISTENING;
  if (c.frame) c.frame->SetPlaybackBarVisible(1, 0);
  c.RefreshList();
  c.Redraw(0);
  if (c.frame) c.frame->NotifyCaptionBar(1);
  return 1;
}

int StopRadio(Ctx& c) {
  StopAll(c);
  CRadioConfig& radio = c.radio;
  radio.m_nRecordState = RADIO_OFF;
  radio.m_nSelectedStation = -1;
  radio.m_nMoveSource = -1;
  if (c.frame) c.frame->RestorePowerSaving();
  if (IWMPlayer* player = c.sys.WMPlayer()) player->Stop();
  Mute(c, 1);
  if (c.engine && c.Component() && radio.m_bPresetsChanged) {
    radio.m_bPresetsChanged = 0;
    c.SetPage(kPagePresetStore);
    c.ShowCurrent();
    c.Redraw(1);
    WritePresets(c);
    if (c.frame) {
      c.frame->SetCaptionBarVisible(0, 0);
      c.frame->SetPlaybackBarVisible(0, 0);
    }
  }
  if (RoadOf(c.vendor) == Road::Tuner) radio.m_bRadioText = 0;
  if (c.engine) {
    c.engine->Close();
    c.engine->ReleaseTunerCard();
  }
  if (c.frame) c.frame->SetPlaybackBarVisible(0, 0);
  if (CConfig* config = c.sys.Config()) config->m_nActiveModule = MODULE_NONE;
  return 1;
}

}  // namespace radio_controller
