// The DVD engine's events go to the module that plays through the engine:
// the Video module's files here; other modules' branches sit beside it.
#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"

void CUISystem::DvdSink::OnValidOperationsChange(std::uint32_t prohibited) {
  if (owner_.m_pConfig && owner_.m_pConfig->m_nActiveModule == MODULE_VIDEO) {
    owner_.VideoOnValidOperationsChange(prohibited);
  }
}

void CUISystem::DvdSink::OnComplete() {
  if (owner_.m_pConfig && owner_.m_pConfig->m_nActiveModule == MODULE_VIDEO) owner_.VideoOnPlaybackEnded();
}

void CUISystem::DvdSink::OnStopped() {
  if (owner_.m_pConfig && owner_.m_pConfig->m_nActiveModule == MODULE_VIDEO) owner_.VideoOnPlaybackEnded();
}

void CUISystem::DvdSink::OnRateChange(std::int32_t speed) {
  if (owner_.m_pConfig && owner_.m_pConfig->m_nActiveModule == MODULE_VIDEO) owner_.VideoOnRateChange(speed);
}
