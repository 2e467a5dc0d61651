// The radio engine's events (IRadioEventSink) as the Radio controller handles
// them: the band scan, recordings started and stopped by the engine, the RDS
// texts; and the signal poll of the schedule timer's tick.
#include <string>

#include "corebridge/modules/radio_controller_internal.h"

using namespace radio_controller;

namespace {

// The context for an engine event; none while the radio is not the active
// module (a late event of a closed radio must not redraw another module).
std::optional<Ctx> EventCtx(CUISystem& system) {
  CConfig* config = system.Config();
  if (!config || config->m_nActiveModule != MODULE_RADIO) return std::nullopt;
  return MakeCtx(system);
}

bool OnStationPages(int page) {
  return page == kPageMain || page == kPageSetting || page == kPageFrequencySetting || page == kPageMainStation;
}

bool OnTextPages(int page) { return page == kPageMain || page == kPageRadioText || page == kPageMainStation; }

}  // namespace

int CUISystem::RadioSinkTable::OnSearchStarted() {
  auto c = EventCtx(owner_);
  if (!c) return 0;
  Mute(*c, 1);
  c->radio.m_nRecordState = RADIO_SCANNING;
  c->Redraw(0);
  return 1;
}

int CUISystem::RadioSinkTable::OnStationFound(int frequency) {
  auto c = EventCtx(owner_);
  if (!c) return 0;
  CRadioConfig& radio = c->radio;
  const std::string name = radio.m_strRdsText.empty() ? FrequencyText(frequency, radio.m_nCurBand) : radio.m_strRdsText;
  radio.AddRadioStation(frequency, name, 1, RADIO_BAND_CURRENT);
  if (int* current = radio.CurrentStationIndex(RADIO_BAND_CURRENT))
    *current = radio.GetRadioStationCount(RADIO_BAND_CURRENT) - 1;
  float progress = 0.0f;
  if (c->engine && SUCCEEDED(c->engine->GetScanProgress(&progress)) && progress >= 0.0f && progress <= 1.0f)
    radio.m_nScanProgress = static_cast<int>(progress * 100.0f);
  if (OnStationPages(radio.m_nPage)) {
    c->RefreshList();
    c->Redraw(1);
  }
  return 1;
}

int CUISystem::RadioSinkTable::OnSearchEnded() {
  auto c = EventCtx(owner_);
  if (!c) return 0;
  CRadioConfig& radio = c->radio;
  Mute(*c, 0);
  RadioStation first;
  if (radio.GetRadioStation(0, first, RADIO_BAND_CURRENT)) {
    Tune(*c, first.nFrequency);
    if (int* current = radio.CurrentStationIndex(RADIO_BAND_CURRENT)) *current = 0;
  }
  radio.m_nRecordState = RADIO_LISTENING;
  if (radio.m_nPage == kPageMainStation || radio.m_nPage == kPageGeneralStation) {
    c->RefreshList();
    c->Redraw(1);
  } else {
    c->Redraw(radio.m_nPage == kPageSetting ? 1 : 0);
  }
  return 1;
}

int CUISystem::RadioSinkTable::OnRecordingStarted() {
  auto c = EventCtx(owner_);
  if (!c) return 0;
  if (c->Vendor4() && c->radio.m_nPage != kPageMainStation) {
    c->SetPage(kPageMainStation);
    c->ShowCurrent();
    c->RefreshList();
  }
  c->radio.m_nRecordState = RADIO_RECORDING;
  c->Redraw(0);
  return 1;
}

int CUISystem::RadioSinkTable::OnRecordingStopped() {
  auto c = EventCtx(owner_);
  if (!c) return 0;
  int& state = c->radio.m_nRecordState;
  if (state == RADIO_RECORDING || state == RADIO_SCHEDULED_RECORDING) state = RADIO_LISTENING;
  return 1;
}

int CUISystem::RadioSinkTable::OnRdsText(std::string CRadioConfig::*field, const char* text) {
  auto c = EventCtx(owner_);
  if (!c || !c->radio.m_bRadioText) return 0;
  c->radio.*field = text ? text : "";
  if (OnTextPages(c->radio.m_nPage)) c->DrawText();
  return 1;
}

int CUISystem::RadioSinkTable::OnRadioText(const char* text) { return OnRdsText(&CRadioConfig::m_strRdsText, text); }
int CUISystem::RadioSinkTable::OnProgramType(const char* name) {
  return OnRdsText(&CRadioConfig::m_strRdsType, name);
}
int CUISystem::RadioSinkTable::OnClockTime(const char* text) {
  return OnRdsText(&CRadioConfig::m_strRdsDateTime, text);
}
int CUISystem::RadioSinkTable::OnStationName(const char* name) {
  return OnRdsText(&CRadioConfig::m_strRdsStation, name);
}

int CUISystem::RadioCommand(std::intptr_t, std::intptr_t) {
  RunStep("RadioCommand");
  auto c = EventCtx(*this);
  if (!c || !c->engine || !OnTextPages(c->radio.m_nPage)) return 0;
  int level = 0;
  if (FAILED(c->engine->GetSignalStrength(&level))) return 0;
  if (level != c->radio.m_nStoredSignal) {
    c->radio.m_nStoredSignal = level;
    c->radio.m_nSignalLevel = level;
    c->DrawText();
  }
  return 1;
}
