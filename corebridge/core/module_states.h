// The module controllers' live states that the system core reads: play
// states, the slide show, the radio recording. Most are fields of the module
// sections, reached here by reference; the few the sections do not carry yet
// (the Music source view and track locations, a pending slide show) are kept
// here for the Music and Photo controllers.
#pragma once

#include <string>
#include <vector>

class CConfig;

struct CModuleStates {
  explicit CModuleStates(CConfig& config);
  CModuleStates(const CModuleStates&) = delete;
  CModuleStates& operator=(const CModuleStates&) = delete;

  // Movie play state: 0 no disc, 1 opening, 2 stopped, 3 paused, 4 playing,
  // 5 fast forward or rewind.
  int& nMoviePlayState;
  // Music player state: 0 playing, 1 paused, 2 stopped, 3 fast forward, 4 rewind.
  int& nMusicState;
  int& bMusicRipping;
  // Photo view (1 slide show, 2 a single picture) and slide-show state
  // (2 paused, 3 fast forward, 4 rewind).
  int& nPhotoState;
  int& nSlideShowState;
  // Video player state.
  int& nVideoPlayState;
  // Radio record state (2 recording, 3 recording a schedule) and its file.
  int& nRadioRecordState;
  std::string& strRadioRecordFile;

  int nMusicSourceView = 0;                 // 19: an audio CD
  std::vector<std::string> vecMusicTracks;  // locations of the current track list
  int bSlideShowPending = 0;
};
