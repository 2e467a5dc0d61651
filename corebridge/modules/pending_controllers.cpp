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

int CUISystem::RadioStopModule(std::intptr_t, std::intptr_t) {
  RunStep("RadioStopModule");
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::RadioOnDeviceChange(int event, int drive) {
  RunStep(("RadioOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
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


