// Shared pieces of the Photo controller's files: view numbers, slide-show
// states, mode notices and small record helpers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "platform/sys/drive_table.h"

namespace photo {

// Views (the Photo section's PhotoState).
inline constexpr int kViewBrowser = 0;
inline constexpr int kViewSlideShow = 1;
inline constexpr int kViewFullScreen = 2;
inline constexpr int kViewEditBrowser = 3;
inline constexpr int kViewEdit = 4;
inline constexpr int kViewAcquire = 5;
inline constexpr int kViewSettings = 6;
inline constexpr int kViewMusicBrowser = 7;
inline constexpr int kViewBurnBrowser = 17;
inline constexpr int kViewBurnPreview = 18;
inline constexpr int kViewDriveSelector = 20;
inline constexpr int kViewAcquireFolder = 21;
inline constexpr int kViewBrowseFolder = 22;
inline constexpr int kViewArchive = 23;
inline constexpr int kViewCdDvd = 24;
inline constexpr int kViewUsb = 25;  // to 29: the reader slots
inline constexpr int kViewSecureDigital = 29;
inline constexpr int kViewRecordFolder = 30;
inline constexpr int kViewRecordBrowse = 31;
inline constexpr int kViewMultiEdit = 32;

// Slide-show states.
inline constexpr int kShowNone = 0;
inline constexpr int kShowPlaying = 1;
inline constexpr int kShowPaused = 2;
inline constexpr int kShowFastForward = 3;
inline constexpr int kShowRewind = 4;

// Background-music states.
inline constexpr int kMusicStopped = 0;
inline constexpr int kMusicPlaying = 1;
inline constexpr int kMusicPaused = 2;

// Browser sources of the page's list refresh.
inline constexpr int kSourcePhotos = 0;
inline constexpr int kSourceMusic = 1;
inline constexpr int kSourceDrives = 2;
inline constexpr int kSourceAcquired = 3;
inline constexpr int kSourceFolders = 4;

// Remote-control modes.
enum Mode : int {
  kModeAlbum = 0,
  kModePlay = 1,
  kModePause = 2,
  kModeStop = 3,
  kModeFastForward = 4,
  kModeRewind = 5,
  kModePrevious = 6,
  kModeNext = 7,
  kModeRotateLeft = 10,
  kModeRotateRight = 11,
};

inline constexpr std::int64_t kSecond = 10'000'000;  // 100-ns units
inline constexpr int kPhotoModule = 8;               // lParam of the mode notices
inline constexpr int kNeutral = 50;

// The path a record shows: a shortcut's target when it has one.
inline std::string RecordPath(const PhotoRecord& record) {
  return record.bShortcut && !record.strTargetPath.empty() ? record.strTargetPath : record.strPath;
}

inline bool ValidIndex(const std::vector<PhotoRecord>& list, int index) {
  return index >= 0 && index < static_cast<int>(list.size());
}

inline bool AdjustedAny(const PhotoRecord& r) {
  return r.nBrightness != kNeutral || r.nHue != kNeutral || r.nSaturation != kNeutral || r.nContrast != kNeutral ||
         r.nSharpness != kNeutral;
}

// Views that browse a folder of the drive or the browse folder.
inline bool IsFolderView(int view) {
  return view == kViewBrowser || (view >= kViewArchive && view <= kViewRecordBrowse);
}

// The volume holding `path`: the one whose mount point is its longest leading
// folder; none for a path outside every volume.
std::optional<plat::VolumeInfo> VolumeOf(const std::string& path);

}  // namespace photo
