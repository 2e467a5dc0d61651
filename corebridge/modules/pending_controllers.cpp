// The module controllers' operations as the system core calls them, until
// each controller is built with its module: action handlers answer 0 (the
// action fails), device-change and power hooks do nothing, and leaving a
// module clears the active-module number as the controllers will. Each call
// is reported to the controller-step hook so the callers' order can be seen.
#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"

#include <string>

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

int CUISystem::RecordAction(std::intptr_t, std::intptr_t) {
  RunStep("RecordAction");
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

int CUISystem::VideoBack(std::intptr_t, std::intptr_t) {
  RunStep("VideoBack");
  return 0;
}

int CUISystem::VideoExitPlayback(std::intptr_t, std::intptr_t) {
  RunStep("VideoExitPlayback");
  return 0;
}

int CUISystem::VideoKeyPrevious(std::intptr_t, std::intptr_t) {
  RunStep("VideoKeyPrevious");
  return 0;
}

int CUISystem::VideoKeyNext(std::intptr_t, std::intptr_t) {
  RunStep("VideoKeyNext");
  return 0;
}

int CUISystem::VideoKeyRewind(std::intptr_t, std::intptr_t) {
  RunStep("VideoKeyRewind");
  return 0;
}

int CUISystem::VideoKeyFastForward(std::intptr_t, std::intptr_t) {
  RunStep("VideoKeyFastForward");
  return 0;
}

int CUISystem::VideoPlay(std::intptr_t, std::intptr_t) {
  RunStep("VideoPlay");
  return 0;
}

int CUISystem::VideoPlayPause(std::intptr_t, std::intptr_t) {
  RunStep("VideoPlayPause");
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

int CUISystem::RecordBack(std::intptr_t, std::intptr_t) {
  RunStep("RecordBack");
  return 0;
}

int CUISystem::RadioStopModule(std::intptr_t, std::intptr_t) {
  RunStep("RadioStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::VideoStopModule(std::intptr_t, std::intptr_t) {
  RunStep("VideoStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::TVStopModule(std::intptr_t, std::intptr_t) {
  RunStep("TVStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::RecordStopModule(std::intptr_t, std::intptr_t) {
  RunStep("RecordStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::RadioOnDeviceChange(int event, int drive) {
  RunStep(("RadioOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  return 0;
}

int CUISystem::VideoOnDeviceChange(int event, int drive) {
  RunStep(("VideoOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  return 0;
}

int CUISystem::TVOnDeviceChange(int event, int drive) {
  RunStep(("TVOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  return 0;
}

int CUISystem::VideoStartPositionTimer() {
  RunStep("VideoStartPositionTimer");
  return 1;
}

int CUISystem::VideoOnDisplayChange() {
  RunStep("VideoOnDisplayChange");
  return 1;
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
