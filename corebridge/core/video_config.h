// CVideoConfig: the Video module's section of the configuration root. It
// stores the video settings (section "VIDEOCONFIG": recent files, folders,
// sort mode, screen modes, DV profile) and carries the live state of the
// Video module (view, the folder and recent file lists with their indices,
// capture state) that the Video controller and the Video page use in place.
// It also sorts the file lists and builds the name pattern of snapshots.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/types.h"

class CConfig;
class CXmlSettings;

// Views of the Video module (m_nView, m_nPlaySourceView); other values show
// the folder list.
enum VideoView : int {
  VIDEO_VIEW_DEVICES = 1,
  VIDEO_VIEW_FOLDER = 2,
  VIDEO_VIEW_RECENT = 3,
  VIDEO_VIEW_PLAYING = 4,
  VIDEO_VIEW_CAPTURE = 5,
  VIDEO_VIEW_BURN = 6,
  VIDEO_VIEW_GENERAL_SETTING = 7,
  VIDEO_VIEW_CAPTURE_SETTING = 8,
  VIDEO_VIEW_SELECT_FOLDER = 9,
  VIDEO_VIEW_BROWSE = 10,
  VIDEO_VIEW_EDIT = 15,
  VIDEO_VIEW_MARK = 16,
  VIDEO_VIEW_DEVICE_RETURN = 17,
  VIDEO_VIEW_NO_CAPTURE_DEVICE = 18,
};

// Capture sources (m_nCaptureSource).
enum VideoCaptureSource : int {
  VIDEO_SOURCE_NONE = 0,
  VIDEO_SOURCE_DV = 1,
  VIDEO_SOURCE_WEBCAM = 2,
  VIDEO_SOURCE_COMPOSITE = 3,
  VIDEO_SOURCE_SVIDEO = 4,
};

// Sort modes (m_nSortMode).
enum VideoSortMode : int { VIDEO_SORT_BY_NAME = 0, VIDEO_SORT_BY_DATE = 1 };

class CVideoConfig {
 public:
  static constexpr const char* kSection = "VIDEOCONFIG";

  explicit CVideoConfig(CConfig* root);
  virtual ~CVideoConfig();
  CVideoConfig(const CVideoConfig&) = delete;
  CVideoConfig& operator=(const CVideoConfig&) = delete;

  // Returns 1. The recent list, the sort mode and the screen modes are set
  // from the file even when their keys are missing.
  int VideoConfigLoad(CXmlSettings& xml);
  int VideoConfigSave(CXmlSettings& xml);
  // The Video settings' "DefaultSetting": sort by name, both screen modes 1.
  int ResetVideoDefaults();
  void SetVideoSortMode(int mode);
  // Sorts the recent list in the recent view, else the folder list, by the
  // sort mode; m_recentValues and m_videoThumbnails move with the list (an
  // entry past the end of the thumbnails gets a null one, a dropped file's
  // bitmap is freed). Sorting by date drops
  // paths where no file exists any more; neither sort follows symbolic links.
  void SortVideoFiles();
  // The name pattern of a snapshot of the current file (the play source's
  // current entry):
  // "<snapshot folder>/<file name>(%d)%s", still to be filled with a counter
  // and an extension. A '%' in the folder or the file name is doubled, so
  // filling the pattern reproduces them as they are.
  std::string MakeVideoSnapshotName() const;

  // Key answers: `shown` is set to 1, `enabled` to the answer; return 1.
  int VideoKeyPlay(int& shown, int& enabled) const;
  int VideoKeyPrevious(int& shown, int& enabled) const;
  int VideoKeyNext(int& shown, int& enabled) const;
  int VideoKeyFastForward(int& shown, int& enabled) const;
  int VideoKeyRewind(int& shown, int& enabled) const;

  // The list playback steps through and its current index: the recent list
  // (view 3), the edit list (view 15) or the folder list.
  const std::vector<std::string>& PlaySourceList() const;
  int PlaySourceIndex() const;

  std::string m_strPendingAction;    // PendingAction
  std::string m_strText2;
  int m_nPendingActionMode = 0;      // PendingActionMode
  int m_nView = VIDEO_VIEW_FOLDER;   // current view (VideoState)
  int m_nPlaySourceView = VIDEO_VIEW_FOLDER;  // view the current file was started from
  int m_nPreviousView = 0;           // the previous page state
  int m_bHasDV = 0;          // a DV camcorder is available
  int m_bHasWebcam = 0;
  int m_bHasComposite = 0;
  int m_bHasSVideo = 0;
  int m_nEntryState = 0;     // EntryState
  int m_nPlayState = 0;      // play state
  int m_bPermission = 0;     // permission flag
  int m_bCapturing = 0;      // a capture runs
  int m_bCaptureBusy = 0;
  int m_bAllowed = 0;        // allowed flag
  int m_bTargetReady = 0;
  int m_nLiveValue1 = -1;
  int m_nDVDeviceState = 1;  // 2 shows the DV transport buttons
  int m_nFolderKind = 0;     // FolderKind 0..2
  int m_bOpenFolderPending = 0;  // OpenFolderPending
  std::string m_strBrowseFolder;    // key VIDEO_BROWSEFOLDER
  std::string m_strSnapshotFolder;  // key SNAPSHOT_FOLDER
  std::string m_strDefaultFolder;   // key DEFAULT_FOLDER
  std::string m_strCapturedFolder;  // key CAPTURED_FOLDER
  std::string m_strCurrentFolder;   // DEFAULT_FOLDER when that key is loaded
  int m_bArchivePlay = 0;           // ArchivePlay
  int m_bUpLevelHighlighted = 0;    // UpLevelHighlighted
  int m_nSelectedFolder = -1;       // SelectedFolder
  int m_nHighlightedFolder = -1;    // the vendor-4 highlighted folder
  std::string m_strOpenFolderPath;  // OpenFolderPath
  int m_nPlaySelection = -1;        // PlaySelection
  std::vector<std::string> m_folderFiles;  // current folder's files, full paths (MyVideos)
  int m_nFolderIndex = -1;
  std::vector<std::string> m_recentFiles;  // recently played files; key RECENT_FILES (RecentVideos)
  int m_nRecentIndex = -1;
  std::vector<std::string> m_selectedFiles;  // SelectedVideos
  std::vector<std::string> m_arrEditList;  // the edit list
  int m_nEditIndex = -1;                    // its current index
  int m_bEditList = 0;           // the edit list's flag
  int m_nLiveValue2 = 0;
  int m_nCaptureTarget = 0;      // 0 hard disk, 1 DVD (DiscType)
  int m_nCaptureTargetKind = 2;  // with 1 and m_bTargetReady clear, capturing cannot start
  // Capture pages' lists: names and current choice.
  std::string m_strDeviceName;               // the device name
  std::vector<std::string> m_arrDevices;
  int m_nDeviceIndex = -1;
  int m_nDeviceCount = 0;
  std::string m_strDiscFormat;               // DiscFormat
  std::vector<std::string> m_arrDiscFormats; // the disc-format list
  int m_nDiscTypeIndex = -1;                 // the disc type index
  int m_nDiscTypeCount = 0;                  // and count
  std::string m_strArchiveFolder;            // ArchiveFolder
  std::vector<std::string> m_arrProfiles;    // capture profile list
  int m_nDVProfileIndex = -1;       // chosen DV capture profile; key DVPROFILEINDEX
  int m_nCaptureMode = 0;           // capture mode
  int m_nScreenMode16x9 = 1;        // 1 or 2; key SCREEN_MODE_16X9 (MovieMode169)
  int m_nScreenMode4x3 = 1;         // 1 or 2; key SCREEN_MODE_4X3 (MovieMode43)
  int m_nCaptureSource = VIDEO_SOURCE_NONE;  // see VideoCaptureSource (capture input)
  int m_nDeviceKind = 0;            // device kind
  int m_nTransportState = 0;        // 1 stopped, 2 playing, 3 paused; 4 and 5 refuse rewind / fast forward
  int m_bKeyAnswer4 = 0;            // fourth key answer outside the capture view
  int m_bKeyAnswer5 = 0;            // fifth key answer outside the capture view
  int m_bStartPaused = 0;           // the start-paused option: a file opens paused on its first picture
  int m_bThumbnailsInvalid = 0;     // ThumbnailsInvalid: 1 drops the pictures made so far (once)
  int m_bSnapshotAvailable = 0;     // a snapshot can be taken
  std::vector<int> m_recentValues;  // one value per entry of the list being sorted
  int m_bListDirty = 0;             // set when the sort mode changes
  int m_nSizeTimer = 0;             // SizeTimer
  int m_nSizeTimerCount = 0;        // SizeTimerCount
  CConfig* m_pConfig;               // the root, not owned
  int m_nPositionTimer = 0;         // the position timer id
  int m_nPositionTimerOwner = 0;    // its owner state
  int m_nSortMode = VIDEO_SORT_BY_NAME;  // key SORT_MODE (SortKind)

  // --- Further fields of the Video controller -------------------------------
  // The trick-play speed ladder (10000 = normal speed), set at every entry.
  std::array<int, 15> m_speedLadder{};
  // Trick play as the engine permits it (the valid-operations event): bit 8
  // clear permits fast forward, bit 9 clear rewind. The allowed answers the
  // shell reads are m_bKeyAnswer4 (fast forward) and m_bKeyAnswer5 (rewind).
  int m_bFastForwardPermitted = 1;
  int m_bRewindPermitted = 1;
  int m_bSeekNotAllowed = 0;
  std::string m_strOpenFile;        // the file open in the engine, empty when none
  int m_bOpening = 0;               // a file is being opened: playback actions are refused
  std::string m_strSelectedFolder;  // the folder chosen on the folder-selection page
  // Sets the play state (0 unknown, 1 stopped, 2 playing, 3 paused,
  // 4 rewinding, 5 fast forward) into both fields that carry it.
  void SetPlayState(int state) {
    m_nPlayState = state;
    m_nTransportState = state;
  }

  // --- Further fields of the capture controller ------------------------------
  // m_nCaptureTarget is the disc type index (0 hard disk, 1 DVD) stepped over
  // m_nDiscTypeCount; m_nDiscTypeIndex is the disc-format index into
  // m_arrDiscFormats (vendor 2).
  int m_nPreviousCaptureMode = 0;   // the capture mode before the capture page
  int m_bDVOpened = 0;              // the camcorder engine is open
  int m_bDiscWriterAvailable = 0;   // the camcorder engine reports a disc writer
  int m_bTapePositionSaved = 0;     // a wind remembered the tape position
  int m_bNotAvi = 0;                // the capture file is not an AVI file
  int m_bProfilesRead = 0;          // the recording profiles were listed
  int m_nProfileIndex = -1;         // index into m_arrProfiles, -1 none
  std::string m_strProfileName;     // the current recording profile
  plat::UINT_PTR m_nHDCaptureTimer = 0;    // capture-time timer of a hard-disk capture
  plat::UINT_PTR m_nDiscCaptureTimer = 0;  // capture-time timer of a disc capture

  // --- Further fields of the Video page -------------------------------------
  std::vector<plat::HBITMAP> m_videoThumbnails;  // VideoThumbnails, owned by the Video page
  std::string m_strAuthoringCapturedFolder;      // captured folder of the authoring product
  std::string m_strAuthoringDiscFormat;          // disc format of the authoring product
  std::vector<std::string> m_arrSavedFocusList;  // the saved focus list
  int m_nSavedFocusEntry = -1;                   // and entry

 private:
  std::vector<std::string>& ListBeingSorted();
  void SortByName(std::vector<std::string>& list);
  void SortByDate(std::vector<std::string>& list);
  // Takes the thumbnail of list entry `index` out of m_videoThumbnails (null
  // past its end).
  plat::HBITMAP TakeThumbnail(std::size_t index);
  // Refills the list, its values and its thumbnails from sorted entries;
  // bitmaps still left in m_videoThumbnails are freed.
  template <typename Entries>
  void Refill(std::vector<std::string>& list, Entries& entries);
  int CaptureAnswer(int refusedTransportState) const;
};
