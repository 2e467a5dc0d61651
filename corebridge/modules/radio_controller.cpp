// The Radio controller's core: the context of each action, the dispatch by
// action id, muting, tuning, fine-tuning, seeking and the band switch.
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "corebridge/core/music_config.h"
#include "corebridge/modules/radio_controller_internal.h"

namespace radio_controller {

Road RoadOf(int vendor) {
  switch (vendor) {
    case 3: return Road::Component;
    case 0:
    case 4: return Road::Tuner;
    default: return Road::None;
  }
}

int Ctx::Caps() const {
  int value = 0;
  if (!engine || FAILED(engine->GetDeviceId(&value))) return 0;
  return value;
}

void Ctx::ShowCurrent() const {
  if (page) page->ShowCurrentPage();
}
void Ctx::RestoreFocus() const {
  if (page) page->RestoreListFocus();
}
void Ctx::Redraw(int flag) const {
  if (page) page->Redraw(flag);
}
void Ctx::DrawText() const {
  if (page) page->DrawRadioText();
}
void Ctx::RefreshList() const {
  if (page) page->RefreshStationList();
}
void Ctx::ResetDigits() const {
  if (page) page->ResetDigitEntry();
}

std::optional<Ctx> MakeCtx(CUISystem& system) {
  CConfig* config = system.Config();
  if (!config || !config->m_pRadio) return std::nullopt;
  IFrameServices* frame = system.UICallback();
  return Ctx{system, *config->m_pRadio, system.CoreService<IRadioCore>(), system.RadioPageCallback(), frame,
             frame ? frame->GetVendorId() : 0};
}

int& CurrentFrequency(CRadioConfig& radio) {
  return radio.m_nCurBand == RADIO_BAND_AM ? radio.m_nCurAMFrequency : radio.m_nCurFMFrequency;
}
int BandMin(const CRadioConfig& radio) { return radio.m_nCurBand == RADIO_BAND_AM ? radio.m_nAMMin : radio.m_nFMMin; }
int BandMax(const CRadioConfig& radio) { return radio.m_nCurBand == RADIO_BAND_AM ? radio.m_nAMMax : radio.m_nFMMax; }
int& FineStep(CRadioConfig& radio) {
  return radio.m_nCurBand == RADIO_BAND_AM ? radio.m_nAMFineTuneScale : radio.m_nFMFineTuneScale;
}
int& ScanStep(CRadioConfig& radio) {
  return radio.m_nCurBand == RADIO_BAND_AM ? radio.m_nAMAutoScanScale : radio.m_nFMAutoScanScale;
}

namespace {

// The decimal point of the user's numeric locale, read without touching the
// process-wide locale.
std::string DecimalPoint() {
  locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return ".";
  const char* point = nl_langinfo_l(RADIXCHAR, locale);
  std::string text = point && *point ? point : ".";
  freelocale(locale);
  return text;
}

// The territory of the user's locale ("US" of "en_US.UTF-8"), empty when none.
std::string Territory() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    std::string text = value;
    const auto underscore = text.find('_');
    if (underscore == std::string::npos) return {};
    text = text.substr(underscore + 1, 2);
    return text.size() == 2 ? text : std::string{};
  }
  return {};
}

}  // namespace

std::string FrequencyText(int frequency, int band) {
  char text[64];
  if (band == RADIO_BAND_AM) {
    std::snprintf(text, sizeof text, "%d", frequency / 1000000);
  } else {
    std::snprintf(text, sizeof text, "%d%s%02d", frequency / 1000000, DecimalPoint().c_str(),
                  (frequency / 10000) % 100);
  }
  return text;
}

int CountryCode(const CUISystem& system) {
  if (system.Services().countryCode) return system.Services().countryCode();
  // The calling code of the territory; only the two codes with band plans
  // of their own matter here.
  static constexpr const char* kCode1[] = {"US", "CA", "PR", "GU", "VI", "AS", "MP", "BS", "BB", "JM",
                                           "TT", "DO", "BM", "KY", "AG", "DM", "GD", "KN", "LC", "VC"};
  const std::string territory = Territory();
  if (territory == "JP") return 81;
  for (const char* code : kCode1)
    if (territory == code) return 1;
  return 0;
}

int EngineArea(int area) {
  switch (area) {
    case 2: return 1;
    case 3: return 2;
    default: return 0;
  }
}

void FixAmSteps(CRadioConfig& radio, int area) {
  for (int* step : {&radio.m_nAMFineTuneScale, &radio.m_nAMAutoScanScale}) {
    if (area == 2) {
      if (*step != 10000000 && *step != 20000000) *step = 10000000;
    } else if (*step != 9000000 && *step != 18000000) {
      *step = 9000000;
    }
  }
}

int SubMode(const CRadioConfig& radio) {
  int top = 0;
  return radio.PeekRadioPage(top) ? top : 0;
}

void SetSubMode(CRadioConfig& radio, int mode) {
  radio.ClearRadioPages();
  radio.m_nSelectedStation = -1;
  radio.m_nMovingPresetId = -1;
  radio.m_nMoveSource = -1;
  if (mode != 0) radio.PushRadioPage(mode);
}

void ResetStationSlots(CRadioConfig& radio) {
  for (int band : {RADIO_BAND_FM, RADIO_BAND_AM}) {
    radio.ResetRadioStations(band);
    radio.BuildRadioStations(6, band);
  }
}

const CAudioProfile* SourceDevice(const CRadioConfig& radio) {
  if (radio.m_nSourceDevice < 0 || !radio.m_pProfiles1) return nullptr;
  const auto& devices = radio.m_pProfiles1->m_profiles;
  if (static_cast<std::size_t>(radio.m_nSourceDevice) >= devices.size()) return nullptr;
  return &devices[static_cast<std::size_t>(radio.m_nSourceDevice)];
}

std::string LineName(const std::uint8_t* record) {
  const auto* text = reinterpret_cast<const char*>(record);
  return std::string(text, strnlen(text, 64));
}

int SourceLineNamed(const CAudioProfile& device, const std::string& name) {
  for (std::size_t i = 0; i < device.m_items.size(); ++i)
    if (LineName(device.m_items[i].data()) == name) return static_cast<int>(i);
  return -1;
}

void Mute(Ctx& c, int mute) {
  if (c.Has(kCanMute)) {
    if (c.engine) c.engine->SetMute(mute);
    return;
  }
  // Without a mute of its own the radio sounds through the card: its source
  // line of the chosen line's name is muted.
  const CAudioProfile* device = SourceDevice(c.radio);
  const int line = c.radio.m_nSourceLine;
  if (!device || line < 0 || static_cast<std::size_t>(line) >= device->m_wideItems.size()) return;
  const int source = SourceLineNamed(*device, LineName(device->m_wideItems[static_cast<std::size_t>(line)].data()));
  auto audio = c.sys.CoreService<ICoreAudio>();
  if (!audio || source < 0) return;
  audio->SelectDeviceByName(device->m_strName.c_str());
  audio->SetSourceMute(source, mute);
}

void Wait(Ctx& c, int ms) {
  ++c.sys.m_nRadioWaits;
  c.sys.WaitPumpingMessages(ms);
  --c.sys.m_nRadioWaits;
}

void ReadBandLimits(Ctx& c) {
  if (!c.engine) return;
  const int engineBand = c.radio.m_nCurBand == RADIO_BAND_AM ? kEngineAM : kEngineFM;
  int low = 0;
  int high = 0;
  if (FAILED(c.engine->GetBandLow(&low, engineBand)) || FAILED(c.engine->GetBandHigh(&high, engineBand)) ||
      low > high) {
    return;
  }
  if (c.radio.m_nCurBand == RADIO_BAND_AM) {
    c.radio.m_nAMMin = low;
    c.radio.m_nAMMax = high;
  } else {
    c.radio.m_nFMMin = low;
    c.radio.m_nFMMax = high;
  }
}

namespace {

// How a tune shows: the page and the playback bar drawn again, or only the
// page's live texts (the frequency among them), as a seek does at each step.
enum class TuneShow { PageAndBar, LiveTexts };

int TuneShowing(Ctx& c, int frequency, TuneShow show) {
  if (!c.engine || frequency < BandMin(c.radio) || frequency > BandMax(c.radio)) return 0;
  if (c.Component()) frequency -= frequency % 5;
  if (FAILED(c.engine->SetFrequency(frequency))) return 0;
  CurrentFrequency(c.radio) = frequency;
  if (show == TuneShow::PageAndBar) {
    if (c.frame) c.frame->NotifyPlaybackBar(1);
    c.Redraw(0);
  } else {
    c.DrawText();
  }
  c.ResetDigits();
  return 1;
}

}  // namespace

int Tune(Ctx& c, int frequency) { return TuneShowing(c, frequency, TuneShow::PageAndBar); }

namespace {

int FineTune(Ctx& c, bool up) {
  const int current = CurrentFrequency(c.radio);
  const int step = FineStep(c.radio);
  const int target = up ? (current > BandMax(c.radio) - step ? BandMax(c.radio) : current + step)
                        : (current < BandMin(c.radio) + step ? BandMin(c.radio) : current - step);
  Mute(c, 1);
  const int tuned = Tune(c, target);
  Wait(c, 200);
  Mute(c, 0);
  return tuned;
}

}  // namespace

int Seek(Ctx& c, bool upward) {
  if (!c.engine) return 0;
  const int step = ScanStep(c.radio);
  if (step <= 0) return 0;
  Mute(c, 1);
  int found = 0;
  // 64-bit so a step past either edge cannot overflow.
  long long d = static_cast<long long>(CurrentFrequency(c.radio)) + (upward ? step : -step);
  // Each step shows its frequency through the page's live texts: drawing
  // the whole page and the playback bar at every step made a seek across a
  // few megahertz take seconds. Both are drawn whole once the seek ends.
  bool tuned = false;
  while (upward ? d <= BandMax(c.radio) : d >= BandMin(c.radio)) {
    tuned = TuneShowing(c, static_cast<int>(d), TuneShow::LiveTexts) || tuned;
    Wait(c, 10);
    // Leaving the radio during the wait (Home) closed the engine.
    if (CConfig* config = c.sys.Config(); !config || config->m_nActiveModule != MODULE_RADIO) {
      tuned = false;
      break;
    }
    int level = 0;
    if (SUCCEEDED(c.engine->GetSignalStrength(&level)) && level > 3) {
      found = 1;
      break;
    }
    d += upward ? step : -step;
  }
  if (tuned) {
    if (c.frame) c.frame->NotifyPlaybackBar(1);
    c.Redraw(0);
  }
  Wait(c, 200);
  Mute(c, 0);
  return found;
}

int ChooseBand(Ctx& c, int band) {
  if (!c.engine || !c.Has(kCanSwitchBand)) return 0;
  c.radio.m_nSelectedStation = -1;
  Mute(c, 1);
  int result = 0;
  if (SUCCEEDED(c.engine->SetBand(band == RADIO_BAND_AM ? kEngineAM : kEngineFM))) {
    c.radio.m_nCurBand = band;
    ReadBandLimits(c);
    const int current = CurrentFrequency(c.radio);
    const bool inside = current >= BandMin(c.radio) && current <= BandMax(c.radio);
    Tune(c, inside ? current : BandMin(c.radio));
    c.RefreshList();
    c.Redraw(0);
    result = 1;
  }
  Wait(c, 200);
  Mute(c, 0);
  return result;
}

namespace {

int Dispatch(Ctx& c, int id, std::intptr_t a) {
  switch (id) {
    case kExit: return c.sys.RadioStopModule(0, 0);
    case kSetFrequency: return Tune(c, static_cast<int>(a));
    case kFinetuneDown: return FineTune(c, false);
    case kFinetuneUp: return FineTune(c, true);
    case kBackScan: return Seek(c, false);
    case kForwardScan: return Seek(c, true);
    case kChooseFM: return ChooseBand(c, RADIO_BAND_FM);
    case kChooseAM: return ChooseBand(c, RADIO_BAND_AM);
    case kBack: return c.sys.RadioBack(0, 0);
    case kPrevious:
    case kNext:
    case kAutoScan:
    case kAddStation:
    case kSwap:
    case kDelete:
    case kRename:
    case kMove:
    case kAddToFavorite: return StationAction(c, id, a);
    case kMainPage:
    case kRadioTextPage:
    case kSchedulePage:
    case kSettingPage:
    case kBurnMaterialPage:
    case kSchedulePriorityPage:
    case kScheduleHistoryPage:
    case kRadioSettingPage:
    case kFrequencySettingPage:
    case kRecordSettingPage:
    case kAddStationPage:
    case kGeneralStationPage:
    case kFavoriteStationPage:
    case kMainStationPage:
    case kMenu:
    case kSortByName:
    case kSortByDate:
    case kSortByFrequency: return PageAction(c, id);
    case kRecordedRadioPage:
    case kRecord:
    case kStop:
    case kPlay:
    case kPause:
    case kFastforward:
    case kRewind: return RecordingAction(c, id);
    case kPreviewAndBurnPage:
    case kSortByCategory:
    case kSortByStatus:
    case kClearScheduleHistory: return 0;
    default: break;
  }
  if (id >= kSourceLeft && id <= kRestore) return SettingAction(c, id);
  if (id == kSetSchedulePage || id == kEditSchedule || (id >= kSchStationLeft && id <= kCancelSchedule))
    return ScheduleAction(c, id);
  return 0;
}

}  // namespace

}  // namespace radio_controller

using namespace radio_controller;

int CUISystem::RadioRun(int id, std::intptr_t a, std::intptr_t) {
  // A seek or retune waits with the messages flowing; a radio action that
  // arrives meanwhile would retune under it.
  if (m_nRadioWaits > 0) return 0;
  if (id == kEntry) return StartRadio(*this);
  auto c = MakeCtx(*this);
  if (!c || !c->engine) return 0;
  return Dispatch(*c, id, a);
}

int CUISystem::RadioStart(std::intptr_t, std::intptr_t) {
  RunStep("RadioStart");
  return StartRadio(*this);
}

int CUISystem::RadioStopModule(std::intptr_t, std::intptr_t) {
  RunStep("RadioStopModule");
  auto c = MakeCtx(*this);
  if (!c) {
    if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
    return 1;
  }
  return StopRadio(*c);
}

int CUISystem::RadioBack(std::intptr_t, std::intptr_t) {
  RunStep("RadioBack");
  auto c = MakeCtx(*this);
  if (!c) return 0;
  return radio_controller::Back(*c);
}

int CUISystem::RadioOnDeviceChange(int event, int drive) {
  RunStep(("RadioOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  // A volume of kind 1 that arrives while the radio runs may hold music.
  constexpr int kArrival = 0x8000;
  if (event != kArrival || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  int kind = 0;
  if (FAILED(GetDriveInfo(drive, &kind)) || kind != 1) return 0;
  m_pConfig->m_pMusic->m_bRescan = 1;
  return 1;
}
