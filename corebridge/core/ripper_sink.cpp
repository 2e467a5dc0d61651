// The rippers' reports: the progress of the track being ripped, its end and
// an abort. One table per ripper (MP3/WAV and WMA); they come on the thread
// that initialised the ripper, which is the UI thread while the Music
// controller's rip loop pumps messages.
#include <cstdio>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "platform/win/message.h"

namespace {

constexpr int kCopyPageA = 25;
constexpr int kCopyPageB = 26;

// The rip entry at m_nRipIndex, or null when the index is outside the list.
MusicRecord* CurrentRipEntry(CMusicConfig& music) {
  const int index = music.m_nRipIndex;
  if (index < 0 || static_cast<std::size_t>(index) >= music.m_vecRipJobs.size()) return nullptr;
  return &music.m_vecRipJobs[static_cast<std::size_t>(index)];
}

template <class Ripper>
bool StopAndRead(const plat::ComPtr<Ripper>& ripper, std::int64_t& position, std::int64_t& duration) {
  const bool positionRead = plat::SUCCEEDED(ripper->GetPosition(&position));
  ripper->GetDuration(&duration);
  ripper->Stop();
  ripper->Uninitialize();
  return positionRead;
}

}  // namespace

bool CUISystem::RipperSinkTable::StopRipper(std::int64_t& position, std::int64_t& duration, bool& present) {
  present = false;
  if (ripper_ == Ripper::Wma) {
    if (plat::ComPtr<ICdToWma> ripper = owner_.CoreService<ICdToWma>()) {
      present = true;
      return StopAndRead(ripper, position, duration);
    }
  } else if (plat::ComPtr<ICdToMp3> ripper = owner_.CoreService<ICdToMp3>()) {
    present = true;
    return StopAndRead(ripper, position, duration);
  }
  return false;
}

int CUISystem::RipperSinkTable::OnProgress(float fraction) {
  CConfig* config = owner_.Config();
  IMusicPageEvents* musicPage = owner_.MusicPageCallback();
  if (!config || !config->m_pMusic || !musicPage || !config->m_pMusic->m_bRipping) {
    // A 0 answer makes the ripper end the track at once.
    stopRequested_ = true;
    return 0;
  }
  CMusicConfig& music = *config->m_pMusic;
  int page = 0;
  if (music.PeekMusicPage(page) && (page == kCopyPageA || page == kCopyPageB)) {
    if (MusicRecord* entry = CurrentRipEntry(music)) {
      char text[64];
      std::snprintf(text, sizeof text, "%s  %d%s", "Copying", static_cast<int>(fraction * 100.0f), "%");
      entry->strTexts[CMusicConfig::kRipStatusText] = text;
    }
  }
  stopRequested_ = false;  // the rip runs again
  musicPage->Redraw(0);
  return 1;
}

int CUISystem::RipperSinkTable::OnFinished() {
  // A stop this sink asked for is no completion of the track.
  const bool stopRequested = stopRequested_;
  stopRequested_ = false;

  CConfig* config = owner_.Config();
  IMusicPageEvents* musicPage = owner_.MusicPageCallback();
  if (!config || !config->m_pMusic || !musicPage) return 0;
  CMusicConfig& music = *config->m_pMusic;
  // The index may already have run past the list (a second end report).
  MusicRecord* entry = CurrentRipEntry(music);
  if (!entry) return 0;

  std::int64_t position = 0;
  std::int64_t duration = 0;
  bool present = false;
  const bool positionRead = StopRipper(position, duration, present);
  if (!present) {
    // Nothing tells whether the track is whole: it shows as done, and the
    // rip loop is neither woken nor cleaned up.
    entry->strTexts[CMusicConfig::kRipStatusText] = "Complete";
    ++music.m_nRipIndex;
    return musicPage->Redraw(0);
  }

  // After the graph's own completion the position may no longer be
  // readable; the track then counts as whole rather than being deleted.
  const bool complete = positionRead ? position >= duration : !stopRequested;
  if (complete) {
    entry->strTexts[CMusicConfig::kRipStatusText] = "Complete";
    ++music.m_nRipIndex;
    music.m_bRipTrackDone = 1;
    // Wakes the Music controller's rip loop.
    plat::PostThreadMessage(plat::GetCurrentThreadId(), plat::WM_USER, 0, 0);
  } else {
    // The entry keeps its index so the clean-up marks and removes this
    // track's own output, not the next one's.
    owner_.CleanupIncompleteRip();
  }
  return musicPage->Redraw(1);
}

int CUISystem::RipperSinkTable::OnAborted() {
  stopRequested_ = false;
  CConfig* config = owner_.Config();
  IMusicPageEvents* musicPage = owner_.MusicPageCallback();
  if (!config || !config->m_pMusic || !musicPage) return 0;
  owner_.CleanupIncompleteRip();
  return musicPage->Redraw(0);
}
