// Where the visits through the program look and click: rectangles of the
// default skin's Root and Setting\SettingMain layouts on the 1280x720 screen
// both visits run on.
#pragma once

#include "tests/lounge/app/screen_regions.h"

namespace app_test {

constexpr int kVisitScreenW = 1280, kVisitScreenH = 720;
inline Box AtVisit(Box layout) { return OnScreen(layout, kVisitScreenW, kVisitScreenH); }

// Root layout.
inline const Box kModuleIcon = AtVisit({120, 250, 400, 400});
inline const Box kModuleName = AtVisit({60, 676, 520, 80});
inline const Box kTime = AtVisit({960, 36, 620, 50});
inline const Box kMovieEntry = AtVisit({640, 230, 216, 250});
inline const Box kMusicEntry = AtVisit({886, 230, 216, 250});
inline const Box kSettingEntry = AtVisit({1378, 516, 216, 250});
// The top left, where the caption bar lies over a page (the frame buttons on
// the right and the clock are left out: they change by themselves).
inline const Box kCaptionArea = AtVisit({0, 0, 900, 120});
// Minimize, Maximize or Restore, and Close; Close alone.
inline const Box kFrameButtons = AtVisit({1620, 40, 248, 72});
inline const Box kCloseButton = AtVisit({1796, 40, 72, 72});
// Setting\SettingMain layout.
inline const Box kOsdOption = AtVisit({936, 794, 568, 44});
inline const Box kOsdLeft = AtVisit({860, 784, 64, 64});

// Music\MusicDevice, Music\SourceType and Music\Tracks layouts: the list
// panel's first two rows (on the device page the default folder and the
// media library), the left of the third (clear of the album art), the whole
// panel and the play time of the control panel.
inline const Box kMusicRow0 = AtVisit({120, 240, 1120, 76});
inline const Box kMusicRow1 = AtVisit({120, 324, 1120, 76});
inline const Box kMusicRow2 = AtVisit({120, 408, 780, 76});
inline const Box kMusicTime = AtVisit({1000, 964, 240, 40});
// The focused track's title on Music\Tracks.
inline const Box kMusicFocusedTitle = AtVisit({1360, 142, 440, 34});
// Inside the album cover of Music\Tracks.
inline const Box kMusicCover = AtVisit({1050, 260, 260, 260});
inline const Box kMusicPanel = AtVisit({120, 240, 1120, 672});
// Where the playback bar shows, at the bottom of the screen.
inline const Box kPlaybackBarArea = AtVisit({0, 900, 1920, 180});

}  // namespace app_test
