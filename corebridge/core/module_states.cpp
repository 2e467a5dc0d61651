#include "corebridge/core/module_states.h"

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/video_config.h"

CModuleStates::CModuleStates(CConfig& config)
    : nMoviePlayState(config.m_pMovie->m_nPlayState),
      nMusicState(config.m_pMusic->m_nMusicState),
      bMusicRipping(config.m_pMusic->m_bRipping),
      nPhotoState(config.m_pPhoto->m_nPhotoState),
      nSlideShowState(config.m_pPhoto->m_nSlideShowState),
      nVideoPlayState(config.m_pVideo->m_nPlayState),
      nRadioRecordState(config.m_pRadio->m_nRecordState),
      strRadioRecordFile(config.m_pRadio->m_strRecordingFile) {}
