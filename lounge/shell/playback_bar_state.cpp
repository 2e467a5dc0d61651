#include "lounge/shell/playback_bar_state.h"

#include <algorithm>
#include <array>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/tv_config.h"
#include "corebridge/core/video_config.h"
#include "lounge/shell/action_state_movie.h"
#include "lounge/shell/action_state_music.h"
#include "lounge/shell/action_state_photo.h"
#include "lounge/shell/action_state_radio.h"
#include "lounge/shell/action_state_tv.h"
#include "lounge/shell/action_state_video.h"
#include "lounge/shell/app_services.h"

namespace {

enum class BarSection { kNone, kMovie, kVideo, kTV, kRadio, kPhoto, kMusic, kVolume };

struct BarRoute {
  std::string_view name;
  BarSection section;
};

// The buttons the bar layouts carry, by the section that answers them.
constexpr std::array kRoutes{
    BarRoute{"Movie Play", BarSection::kMovie},
    BarRoute{"Movie Pause", BarSection::kMovie},
    BarRoute{"Movie Stop", BarSection::kMovie},
    BarRoute{"Movie PreChapter", BarSection::kMovie},
    BarRoute{"Movie NextChapter", BarSection::kMovie},
    BarRoute{"Movie FastForeward", BarSection::kMovie},
    BarRoute{"Movie Rewind", BarSection::kMovie},
    BarRoute{"Movie FW_MainMenu", BarSection::kMovie},
    BarRoute{"Movie Language", BarSection::kMovie},
    BarRoute{"Movie Subtitle", BarSection::kMovie},
    BarRoute{"Movie Angle", BarSection::kMovie},
    BarRoute{"Movie VideoDesktop", BarSection::kMovie},
    BarRoute{"Video Play", BarSection::kVideo},
    BarRoute{"Video Pause", BarSection::kVideo},
    BarRoute{"Video Stop", BarSection::kVideo},
    BarRoute{"Video Previous Video", BarSection::kVideo},
    BarRoute{"Video Next Video", BarSection::kVideo},
    BarRoute{"Video FastForeward", BarSection::kVideo},
    BarRoute{"Video Rewind", BarSection::kVideo},
    BarRoute{"Video Take Snapshot", BarSection::kVideo},
    BarRoute{"TV Play", BarSection::kTV},
    BarRoute{"TV Pause", BarSection::kTV},
    BarRoute{"TV Stop", BarSection::kTV},
    BarRoute{"TV Rewind", BarSection::kTV},
    BarRoute{"TV FastForward", BarSection::kTV},
    BarRoute{"TV Record", BarSection::kTV},
    BarRoute{"TV Prev Channel", BarSection::kTV},
    BarRoute{"TV Next Channel", BarSection::kTV},
    BarRoute{"Radio Stop", BarSection::kRadio},
    BarRoute{"Radio Record", BarSection::kRadio},
    BarRoute{"Radio Play", BarSection::kRadio},
    BarRoute{"Radio Pause", BarSection::kRadio},
    BarRoute{"Radio Previous", BarSection::kRadio},
    BarRoute{"Radio Next", BarSection::kRadio},
    BarRoute{"Radio Fastforward", BarSection::kRadio},
    BarRoute{"Radio Rewind", BarSection::kRadio},
    BarRoute{"Photo Slideshow Play", BarSection::kPhoto},
    BarRoute{"Photo Slideshow Stop", BarSection::kPhoto},
    BarRoute{"Photo Slideshow Pause", BarSection::kPhoto},
    BarRoute{"Photo Slideshow Fastforward", BarSection::kPhoto},
    BarRoute{"Photo Slideshow Rewind", BarSection::kPhoto},
    BarRoute{"Photo Slideshow NextSlide", BarSection::kPhoto},
    BarRoute{"Photo Slideshow PreviousSlide", BarSection::kPhoto},
    BarRoute{"Photo PreviousImage", BarSection::kPhoto},
    BarRoute{"Photo NextImage", BarSection::kPhoto},
    BarRoute{"Photo Rotate Left", BarSection::kPhoto},
    BarRoute{"Photo Rotate Right", BarSection::kPhoto},
    BarRoute{"Music Play", BarSection::kMusic},
    BarRoute{"Music Pause", BarSection::kMusic},
    BarRoute{"Music Stop", BarSection::kMusic},
    BarRoute{"Music Next Track", BarSection::kMusic},
    BarRoute{"Music Previous Track", BarSection::kMusic},
    BarRoute{"Music Rewind", BarSection::kMusic},
    BarRoute{"Music Fastforward", BarSection::kMusic},
    BarRoute{"Music Visualization", BarSection::kMusic},
    BarRoute{"Music Visualization Focus", BarSection::kMusic},
    BarRoute{"Music Previous Effect", BarSection::kMusic},
    BarRoute{"Music Next Effect", BarSection::kMusic},
    BarRoute{"Music Visualization Plus Selection", BarSection::kMusic},
    BarRoute{"Music Repeat All", BarSection::kMusic},
    BarRoute{"Music Repeat All Focus", BarSection::kMusic},
    BarRoute{"Music Shuffle", BarSection::kMusic},
    BarRoute{"Music Shuffle Focus", BarSection::kMusic},
    BarRoute{"Vol Mute", BarSection::kVolume},
    BarRoute{"Vol Unmute", BarSection::kVolume},
    BarRoute{"Vol Up", BarSection::kVolume},
    BarRoute{"Vol Down", BarSection::kVolume},
};

BarSection SectionOf(std::string_view action) {
  const auto route = std::find_if(kRoutes.begin(), kRoutes.end(), [&](const BarRoute& r) { return r.name == action; });
  return route == kRoutes.end() ? BarSection::kNone : route->section;
}

// The page the Music module shows now; its fast-forward button goes away on
// vendor 3's page 24.
constexpr int kMusicPageWithoutFastForward = 24;

int QueryVolumeState(const CConfig& config, int vendor, std::string_view action, int& shown, int& enabled) {
  if (action == "Vol Mute") {
    enabled = 1, shown = !config.m_bCurMute;
  } else if (action == "Vol Unmute") {
    enabled = 1, shown = config.m_bCurMute != 0;
  } else if (action == "Vol Up") {
    enabled = config.m_fCurVolume < 0.99f, shown = 1;
  } else {
    enabled = config.m_fCurVolume > 0.0f, shown = 1;
  }
  if (vendor == VENDOR_VADU && config.m_nActiveModule == MODULE_PHOTO && config.m_pPhoto &&
      config.m_pPhoto->m_nPhotoState != 1)
    enabled = 0;
  return 1;
}

}  // namespace

int QueryPlaybackBarActionState(const CConfig& config, int vendor, std::string_view action, int& shown,
                                int& enabled, int& checked) {
  const BarSection section = SectionOf(action);
  const bool movieActive = config.m_nActiveModule == MODULE_MOVIE;
  switch (section) {
    case BarSection::kMovie:
      return config.m_pMovie ? QueryMovieActionState(*config.m_pMovie, action, shown, enabled, checked) : 0;
    case BarSection::kVideo:
      return config.m_pVideo ? QueryVideoActionState(*config.m_pVideo, action, shown, enabled, checked) : 0;
    case BarSection::kTV:
      return config.m_pTV ? QueryTVActionState(*config.m_pTV, action, shown, enabled, checked) : 0;
    case BarSection::kRadio:
      return config.m_pRadio ? QueryRadioActionState(*config.m_pRadio, action, shown, enabled, checked,
                                                     RadioStateCaller::kPlaybackBar)
                             : 0;
    case BarSection::kPhoto:
      return config.m_pPhoto ? QueryPhotoActionState(*config.m_pPhoto, action, shown, enabled, checked) : 0;
    case BarSection::kMusic: {
      if (!config.m_pMusic) return 0;
      const int result = QueryMusicActionState(*config.m_pMusic, action, shown, enabled, checked);
      const auto& history = config.m_pMusic->m_arrPageHistory;
      if (action == "Music Fastforward" && vendor == VENDOR_RUVE && !history.empty() &&
          history.back() == kMusicPageWithoutFastForward)
        shown = 0, enabled = 0;
      return result;
    }
    case BarSection::kVolume:
      if (movieActive)
        return config.m_pMovie ? QueryMovieVolumeState(*config.m_pMovie, shown, enabled, checked) : 0;
      return QueryVolumeState(config, vendor, action, shown, enabled);
    case BarSection::kNone:
      break;
  }
  return movieActive ? 0 : 1;
}
