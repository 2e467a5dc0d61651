// The module controllers' operations as the system core calls them, until
// each controller is built with its module: action handlers answer 0 (the
// action fails), device-change and power hooks do nothing, and leaving a
// module clears the active-module number as the controllers will. Each call
// is reported to the controller-step hook so the callers' order can be seen.
#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"

#include <string>

int CUISystem::MusicAction(std::intptr_t, std::intptr_t) {
  RunStep("MusicAction");
  return 0;
}

int CUISystem::VideoAction(std::intptr_t, std::intptr_t) {
  RunStep("VideoAction");
  return 0;
}

int CUISystem::TVAction(std::intptr_t, std::intptr_t) {
  RunStep("TVAction");
  return 0;
}

int CUISystem::RadioAction(std::intptr_t, std::intptr_t) {
  RunStep("RadioAction");
  return 0;
}

int CUISystem::AuthoringAction(std::intptr_t, std::intptr_t) {
  RunStep("AuthoringAction");
  return 0;
}

int CUISystem::BurningAction(std::intptr_t, std::intptr_t) {
  RunStep("BurningAction");
  return 0;
}










int CUISystem::OnMusicEntry(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicEntry");
  return 0;
}

int CUISystem::OnMusicStop(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicStop");
  return 0;
}

int CUISystem::OnMusicPlayPause(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicPlayPause");
  return 0;
}

int CUISystem::OnMusicPreviousTrack(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicPreviousTrack");
  return 0;
}

int CUISystem::OnMusicNextTrack(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicNextTrack");
  return 0;
}

int CUISystem::OnMusicFastforward(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicFastforward");
  return 0;
}

int CUISystem::OnMusicRewind(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicRewind");
  return 0;
}

int CUISystem::OnMusicBack(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicBack");
  return 0;
}

int CUISystem::OnMusicStopRipping(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicStopRipping");
  return 0;
}

int CUISystem::OnMusicStopMediaSearch(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicStopMediaSearch");
  return 0;
}

int CUISystem::TVBack(std::intptr_t, std::intptr_t) {
  RunStep("TVBack");
  return 0;
}

int CUISystem::TVStart(std::intptr_t, std::intptr_t) {
  RunStep("TVStart");
  return 0;
}

int CUISystem::RadioBack(std::intptr_t, std::intptr_t) {
  RunStep("RadioBack");
  return 0;
}

int CUISystem::RadioStart(std::intptr_t, std::intptr_t) {
  RunStep("RadioStart");
  return 0;
}

int CUISystem::RadioCommand(std::intptr_t, std::intptr_t) {
  RunStep("RadioCommand");
  return 0;
}

int CUISystem::RadioStopRecording(std::intptr_t, std::intptr_t) {
  RunStep("RadioStopRecording");
  return 0;
}

int CUISystem::OnRadioRecord(std::intptr_t, std::intptr_t) {
  RunStep("OnRadioRecord");
  return 0;
}

int CUISystem::MusicStopModule(std::intptr_t, std::intptr_t) {
  RunStep("MusicStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::RadioStopModule(std::intptr_t, std::intptr_t) {
  RunStep("RadioStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::TVStopModule(std::intptr_t, std::intptr_t) {
  RunStep("TVStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}



int CUISystem::MusicOnDeviceChange(int event, int drive) {
  RunStep(("MusicOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  return 0;
}

int CUISystem::RadioOnDeviceChange(int event, int drive) {
  RunStep(("RadioOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  return 0;
}

int CUISystem::TVOnDeviceChange(int event, int drive) {
  RunStep(("TVOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  return 0;
}







int CUISystem::MusicLoadAudioCd(const std::string& drive) {
  RunStep(("MusicLoadAudioCd " + drive).c_str());
  return 0;
}

int CUISystem::TVShowRecordStatus(const char* kind) {
  RunStep((std::string("TVShowRecordStatus ") + (kind ? kind : "")).c_str());
  return 0;
}

int CUISystem::RadioPrepareRecording(const CScheduleItem&) {
  RunStep("RadioPrepareRecording");
  return 0;
}

int CUISystem::RadioScheduleRecord(int) {
  RunStep("RadioScheduleRecord");
  return 0;
}

int CUISystem::PhotoSendToRecord(const std::string& path, const std::string& backAction) {
  RunStep(("PhotoSendToRecord " + path + " " + backAction).c_str());
  return 0;
}

int CUISystem::MusicEnterCopyToDrive(const std::string& path, const std::string& backAction) {
  RunStep(("MusicEnterCopyToDrive " + path + " " + backAction).c_str());
  return 0;
}
