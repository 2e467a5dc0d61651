// The DVD engine's one event table: the engine holds this table whichever
// module opened the disc, and each event goes on to the table of the module
// that drives the engine now.
#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"

IDvdEventSink* CUISystem::DvdSink::Target() const {
  switch (owner_.m_pConfig ? owner_.m_pConfig->m_nActiveModule : MODULE_NONE) {
    case MODULE_VIDEO: return owner_.VideoDvdEventSink();
    default: return owner_.MovieDvdEventSink();
  }
}

void CUISystem::DvdSink::OnDomainChange(std::int32_t value) { Target()->OnDomainChange(value); }
void CUISystem::DvdSink::OnTitleChange(std::int32_t value) { Target()->OnTitleChange(value); }
void CUISystem::DvdSink::OnChapterStart(std::int32_t chapter) { Target()->OnChapterStart(chapter); }
void CUISystem::DvdSink::OnAudioChange(std::int32_t count) { Target()->OnAudioChange(count); }
void CUISystem::DvdSink::OnSubtitleChange(std::int32_t count) { Target()->OnSubtitleChange(count); }
void CUISystem::DvdSink::OnAngleChange(std::int32_t count) { Target()->OnAngleChange(count); }
void CUISystem::DvdSink::OnButtonChange(std::int32_t count) { Target()->OnButtonChange(count); }
void CUISystem::DvdSink::OnTimeChange(const std::uint32_t* eventTime, const std::uint32_t* currentTime) {
  Target()->OnTimeChange(eventTime, currentTime);
}
void CUISystem::DvdSink::OnValidOperationsChange(std::uint32_t prohibited) {
  Target()->OnValidOperationsChange(prohibited);
}
void CUISystem::DvdSink::OnInvalidRegion(std::int32_t discRegionMask) { Target()->OnInvalidRegion(discRegionMask); }
void CUISystem::DvdSink::Reserved10() { Target()->Reserved10(); }
void CUISystem::DvdSink::OnParentalLevelChange(std::int32_t level) { Target()->OnParentalLevelChange(level); }
void CUISystem::DvdSink::OnParentalLevelTooLow() { Target()->OnParentalLevelTooLow(); }
void CUISystem::DvdSink::OnDiscEjected() { Target()->OnDiscEjected(); }
void CUISystem::DvdSink::OnDiscInserted() { Target()->OnDiscInserted(); }
void CUISystem::DvdSink::OnComplete() { Target()->OnComplete(); }
void CUISystem::DvdSink::OnStopped() { Target()->OnStopped(); }
void CUISystem::DvdSink::OnLibraryNotice() { Target()->OnLibraryNotice(); }
void CUISystem::DvdSink::OnRateChange(std::int32_t speed) { Target()->OnRateChange(speed); }

// The Video module's files: permissions, the end of playback and speed changes.
void CUISystem::VideoDvdEvents::OnValidOperationsChange(std::uint32_t prohibited) {
  owner_.VideoOnValidOperationsChange(prohibited);
}
void CUISystem::VideoDvdEvents::OnComplete() { owner_.VideoOnPlaybackEnded(); }
void CUISystem::VideoDvdEvents::OnStopped() { owner_.VideoOnPlaybackEnded(); }
void CUISystem::VideoDvdEvents::OnRateChange(std::int32_t speed) { owner_.VideoOnRateChange(speed); }
