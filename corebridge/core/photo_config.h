// CPhotoConfig: the Photo module's section of the configuration root. It
// holds the stored photo and slide-show settings (section "PHOTOCONFIG"),
// including the chosen background music, and the live state of the Photo
// module: photo lists, the current photo and temporary files. The Photo
// controller and the program's state queries use that state in place.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "interfaces/image_acquire.h"
#include "platform/core/types.h"

class CConfig;
class CXmlSettings;

// One photo of a photo list: a browser file entry, the user's mark, the
// picture adjustments and a cached thumbnail.
struct PhotoRecord {
  // The browser entry.
  std::string strPath;
  std::string strName;
  std::string strTargetPath;  // shortcut target, else empty
  std::string strTargetName;
  std::uint64_t ftCreation = 0;
  std::uint64_t ftLastWrite = 0;
  int bShortcut = 0;
  int bChecked = 0;  // Checked
  // Adjustments, neutral 50.
  int nBrightness = 50;
  int nHue = 50;
  int nSaturation = 50;
  int nContrast = 50;
  int nSharpness = 50;
  int nRotation = 0;  // degrees
  int bModified = 0;
  int bHasPreview = 0;  // HasPreview
  // Thumbnail: cached bitmap; the Photo controller deletes it when it
  // replaces it or destroys its caches.
  plat::HBITMAP hThumbnail = nullptr;
  plat::RECT rcPending{};  // PendingRect
};

// One file of the background-music list: its browser entry, and what the
// media player reads from its tags when the list is built.
struct PhotoMusicRecord : PhotoRecord {
  PhotoMusicRecord() = default;
  explicit PhotoMusicRecord(PhotoRecord entry) : PhotoRecord(std::move(entry)) {}
  std::string strTrackName;
  std::string strAlbum;
  std::string strArtist;
  std::string strGenre;
  std::string strSourceUrl;
  std::string strCollectionId;
  std::string strDurationText;
  double dDuration = -1.0;  // seconds; below 0 while unknown
};

// An acquisition device: its name and device type.
struct PhotoDevice {
  std::string strName;
  int nType = 0;
  std::string strIdentifier{};  // how the acquisition component finds it again
  int nIndex = 0;             // its place in the component's list
};

// Free space available to the caller on the volume that holds `path`;
// empty when it cannot be found out.
using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::string& path)>;

class CPhotoConfig {
 public:
  static constexpr const char* kSection = "PHOTOCONFIG";
  // At or below this much free space the temporary files are deleted.
  static constexpr std::uint64_t kLowDiskSpace = 0x3200000;  // 50 MiB

  explicit CPhotoConfig(CConfig* root);
  virtual ~CPhotoConfig();
  CPhotoConfig(const CPhotoConfig&) = delete;
  CPhotoConfig& operator=(const CPhotoConfig&) = delete;

  // 0 without a document, else 1. The background-music values lie in the
  // group PHOTO_BGMUSIC inside "PHOTOCONFIG".
  int PhotoConfigLoad(CXmlSettings& xml);
  int PhotoConfigSave(CXmlSettings& xml);

  int CountCheckedPhotos() const;
  int CountCheckedRecordPhotos() const;

  // When the settings folder's volume has 50 MiB or less free, deletes the
  // temporary files. The query defaults to the real file system.
  void CheckPhotoDiskSpace(const FreeSpaceQuery& query = SystemFreeSpace);
  // Deletes every temporary file that exists (a symbolic link is removed
  // itself, never its target) and empties the map.
  void DeleteTempFiles();
  static std::optional<std::uint64_t> SystemFreeSpace(const std::string& path);

  // Key-enable queries: return 1 and write the answer.
  int PhotoCanGoPrevious(int& answer) const;  // a checked photo before the current one
  int PhotoCanGoNext(int& answer) const;      // a checked photo after the current one
  int PhotoCurrentValid(int& answer) const;
  int PhotoQuery4(int& answer) const;  // sub-state non-zero, or state 2
  int PhotoQuery5(int& answer) const;  // state 1, sub-state not 0, 3 or 4
  int PhotoQuery6(int& answer) const;  // state 1, sub-state not 0 or 3
  int PhotoQuery7(int& answer) const;  // state 1, sub-state not 0 or 4

  int m_nFullScreen = 0;                // FullScreen
  int m_nPhotoState = 20;               // the Photo view (PhotoState): 0, 1 slide show, 2 full screen, 3 editing...
  std::vector<int> m_vecViewHistory;    // view history
  int m_nPhotoPageState = 0;            // slide-show sub-state: 0 none, 3 fast forward, 4 rewind
  int m_nMusicState = 0;                // background-music state 0..2
  int m_nTransition = 5;                // 0 WIPE, 1 SLIDE, 2 PAGE, 3 FADE, 4 RANDOM, 5 NONE; key PHOTO_TRANSITION (TransitionEffect)
  int m_nPhotoSortKind = 1;             // 1 name, 2 date (SortOrder)
  int m_bAcquiring = 0;                 // an acquisition from a device runs
  std::vector<PhotoRecord> m_vecPhotos;        // the photo list
  int m_bEnginesReady = 0;                     // the picture engines are ready
  std::vector<PhotoRecord> m_vecRecordPhotos;  // photos chosen for recording
  std::vector<std::string> m_arrMultiEdit;     // the multi-edit list
  std::map<std::string, std::string> m_mapTempFiles;  // name -> path of a temporary file
  std::list<std::uint32_t> m_listValues1;
  std::list<std::uint32_t> m_listValues2;
  std::vector<PhotoRecord> m_vecFolders;       // the folder list
  std::vector<PhotoMusicRecord> m_vecMusic;    // the music list
  std::map<std::string, std::string> m_mapEditedCopies;  // edited-copy map: path -> working copy
  std::vector<PhotoDevice> m_vecDevices;       // acquisition devices
  int m_nSelectedDevice = -1;                  // the selected device index
  std::string m_strRememberedDevice;           // the remembered device name
  AcquireItemList m_arrAcquiredItems;          // the acquired item list

  // --- Background music (group PHOTO_BGMUSIC) -------------------------------
  int m_nBgMusicType = 0;  // 0..7; key PHOTO_BGMUSICTYPE (BackgroundMusicKind)
  std::string m_wszBgAlbumName;
  std::string m_wszBgAlbumId;
  std::string m_wszBgArtist;
  std::string m_wszBgPlaylistName;
  std::string m_wszBgPlaylistUrl;
  int m_nBgPlaylistOrder = 0;
  std::string m_wszBgCdName;
  std::string m_szBgCdDrive;  // at most 7 characters
  std::string m_wszBgTrackName;
  std::string m_wszBgTrackAlbum;
  std::string m_wszBgTrackArtist;
  std::string m_wszBgTrackGenre;
  std::string m_wszBgTrackPath;
  std::string m_wszBgTrackExt;
  std::string m_wszBgTrackCollectionId;
  std::string m_wszBgTrackDurationText;
  double m_dBgTrackDuration = -1.0;
  std::string m_szBgMusicPath;  // the chosen music folder (kind 7)
  PhotoMusicRecord m_chosenMusic;  // the chosen-music record

  // --- Folders and lists ------------------------------------------------------
  std::vector<std::string> m_arrTempList;  // the temporary-file list
  std::string m_strCurrentFolder;          // CurrentFolder
  std::string m_strRootFolder;             // the root the photo browser shows the current folder under
  std::string m_strMusicFolder;            // the music folder
  std::string m_strBrowseFolder;           // key PHOTO_BROWSEFOLDER (BrowseFolder)
  std::string m_strBackAction;             // the hand-over's way back (record hub or burning); empty otherwise
  std::string m_strText1;
  std::string m_strText2;
  std::string m_strImageExtensions = "|.jpg|.jpeg|.bmp|.png|.gif||";
  std::string m_strAudioExtensions = "|.mp3|.wav|.wma||";
  std::string m_strAcquiredImageFolder;  // key PHOTO_ACQUIREDIMAGEFOLDER (AcquiredImageFolder)
  std::string m_strText3;

  int m_nCurrentPhoto = -1;      // CurrentImage
  int m_nSlideStart = -1;        // the slide-show start index
  int m_nHighlightedPhoto = -1;  // HighlightedPhoto
  int m_nSlideDuration = 3;      // seconds, > 0; key PHOTO_DURATION (PictureDuration)
  int m_nSlideShowState = 1;     // slide-show state 0..4
  int m_nTransitionSeconds = 0;  // transition seconds
  int m_nAdjustMaximum = 100;    // top of the adjustment scale
  int m_nRotationStep = 90;      // rotation step in degrees
  int m_nAdjustStep = 10;        // adjustment step
  int m_nAdjustNeutral = 50;     // neutral adjustment value
  int m_nAdjustLowerLimit = 10;  // lowest adjustment the page offers
  int m_nAdjustUpperLimit = 90;  // highest adjustment the page offers
  int m_nLiveValue = 0;
  int m_bPlayBgMusic = 1;  // key PHOTO_ISPLAYBGMUSIC (PlayMusic)
  plat::HANDLE m_hAcquireThread = nullptr;  // the acquisition thread, owned by the Photo controller
  int m_bAcquireThreadRunning = 0;  // the acquisition-running flag
  int m_bBusy = 0;                  // the busy flag
  CConfig* m_pRoot;  // not owned

 private:
  bool HasCheckedPhotoBefore(int index) const;
  bool HasCheckedPhotoAfter(int index) const;
  bool CurrentPhotoValid() const;
};
