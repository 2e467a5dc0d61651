// The module controllers' live states that the system core reads and the
// controllers write: play states, the slide show, the radio recording, the
// Music source. They are kept here, in the UI-system object, until the
// module sections carry them; the system core reads them only through this
// record.
#pragma once

#include <string>
#include <vector>

#include "corebridge/core/schedule_item.h"

struct CModuleStates {
  // Movie play state: 0 no disc, 1 opening, 2 stopped, 3 paused, 4 playing,
  // 5 fast forward or rewind.
  int nMoviePlayState = 0;
  // Music player state: 0 playing, 1 paused, 2 stopped, 3 fast forward, 4 rewind.
  int nMusicState = 2;
  int bMusicRipping = 0;
  int nMusicSourceView = 0;                 // 19: an audio CD
  std::vector<std::string> vecMusicTracks;  // locations of the current track list
  // Photo view: 1 slide show, 2 a single picture; slide-show state 2 paused,
  // 3 fast forward, 4 rewind.
  int nPhotoState = 0;
  int nSlideShowState = 0;
  int bSlideShowPending = 0;
  // Video player state: 2 stopped, 3 paused, 4 playing, 5 scanning.
  int nVideoPlayState = 0;
  // Radio record state: 2 recording, 3 recording a schedule.
  int nRadioRecordState = 0;
  std::string strRadioRecordFile;
  CScheduleItem radioScheduleItem;  // the schedule being recorded
};
