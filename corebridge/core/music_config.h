// CMusicConfig: the Music module's section of the configuration root. It
// holds the stored music settings (section "MUSICCONFIG") and the live state
// of the Music module: its lists, its page history and its visualization
// choices, which the Music controller and the program's state queries use in
// place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "corebridge/core/audio_profile.h"
#include "platform/core/types.h"

class CConfig;
class CXmlSettings;

// Music player state (m_nMusicState).
enum MusicPlayerState : int {
  MUSIC_PLAYING = 0,
  MUSIC_PAUSED = 1,
  MUSIC_STOPPED = 2,
  MUSIC_FAST_FORWARD = 3,
  MUSIC_REWIND = 4,
};

// A library record (track, album, artist, genre, playlist): seven texts, the
// fourth the track key, and a check flag.
struct MusicRecord {
  std::string strTexts[7];
  int bChecked = 0;
};

// An item of the play list and the current list: a browser file entry with
// a value, and a "checked" flag.
struct MusicItem {
  std::string strPath;
  std::string strName;
  std::string strTargetPath;
  std::string strTargetName;
  std::uint64_t ftCreation = 0;
  std::uint64_t ftLastWrite = 0;
  int bShortcut = 0;
  int nValue = 0;
  int bChecked = 0;
};

// An entry of the list-position stack.
struct MusicListPosition {
  int nFirst = 0;
  int nSecond = 0;
  int nPosition = 0;
};

// A visualization the player offers.
struct MusicVisualEffect {
  int bSelected = 0;
  std::string strId;
  std::string strLongName;
  std::uint32_t nId = 0;
};

class CMusicConfig {
 public:
  static constexpr const char* kSection = "MUSICCONFIG";
  static constexpr int kFolderBrowsePage = 6;
  static constexpr int kVisualizationPage = 24;
  // Texts of a rip entry (m_vecRipJobs): its output file and its status.
  static constexpr int kRipOutputPathText = 5;
  static constexpr int kRipStatusText = 6;
  // Text of a track record holding the medium's URL.
  static constexpr int kTrackUrlText = 3;

  explicit CMusicConfig(CConfig* root);
  virtual ~CMusicConfig();
  CMusicConfig(const CMusicConfig&) = delete;
  CMusicConfig& operator=(const CMusicConfig&) = delete;

  // 0 without a document, else 1.
  int MusicConfigLoad(CXmlSettings& xml);
  int MusicConfigSave(CXmlSettings& xml);

  // Page history: a stack of page numbers; the top is the current page.
  void PushMusicPage(int page);
  int PeekMusicPage(int& page) const;  // 0 when empty
  int PopMusicPage(int& page);         // 0 when empty

  // List positions.
  int PushMusicListPosition(int a, int b, int position);
  // The top entry's position; 1 only when it is >= 0.
  int PeekMusicListPosition(int& position) const;
  int PopMusicListPosition(MusicListPosition& entry);

  int CountCheckedVisualEffects(int& count) const;
  int CountCheckedMusicItems(int& count) const;
  // Tracks of m_vecLibraryTracks whose state (the record's last field, bChecked)
  // is 1, respectively 8; 0 for an empty list.
  int CountTracksInState1() const;
  int CountTracksInState8() const;
  bool MusicTrackIndexValid(int index) const;
  // Empties the play list, the current list and the two folder lists.
  int ClearMusicLists();

  // Action and key-enable queries: return 1 and write their answer.
  int IsMusicBrowseState(int& answer) const;         // 1 in states 1..4
  int MusicNotStopped(int& answer) const;            // state != 2
  int MusicNoAnswer(int& answer) const;              // leaves the answer
  int MusicCanRewind(int& answer) const;             // rewind possible, not while the program's state word is 1
  int MusicCanFastForward(int& answer) const;        // fast forward possible, state neither 2 nor 3
  int GetVisualizationSelection(int& answer) const;  // a selected visualization, not stopped
  int MusicQueryVisualizationPlus(int& answer) const;
  // `first`: 1 when stopped. On the folder page, `second`: the play list is
  // not empty.
  int MusicQueryPlayPause(int& first, int& second) const;

  int m_nMusicState = MUSIC_STOPPED;  // see MusicPlayerState (MusicPlayState)
  int m_nCurrentItem = -1;            // current item index (-1 none)
  int m_nPlayingItem = 0;

  // --- Lists of the Music controller ----------------------------------------
  std::vector<MusicRecord> m_vecLibraryTracks;  // the track list shown: library, album or CD tracks
  std::vector<MusicRecord> m_vecAlbums;         // AlbumList
  std::vector<MusicRecord> m_vecArtists;        // ArtistList
  std::vector<MusicRecord> m_vecGenres;         // GenreList
  std::vector<MusicRecord> m_vecPlaylists;      // PlaylistList
  std::vector<MusicRecord> m_vecRipJobs;        // RipJobs: one entry per CD track chosen for ripping
  // The browsed folder's files and sub-folders, as the Music page's browser
  // lists them; the controller plays and tags them by index.
  std::vector<MusicItem> m_vecPlayList;
  std::vector<MusicItem> m_vecCurrentList;
  std::vector<MusicListPosition> m_arrListPositions;  // a stack
  std::vector<MusicVisualEffect> m_arrVisualEffects;  // VisualizationList
  std::vector<int> m_arrPageHistory;                  // a stack of page numbers
  CConfig* m_pRoot;  // not owned

  // The now-playing medium's attributes, as the player reports them.
  std::string m_wstrMediaName;
  std::string m_wstrMediaArtist;
  std::string m_wstrMediaAlbum;
  std::string m_wstrMediaUrl;
  std::string m_wstrMediaDuration;
  std::string m_wstrMediaCollectionId;
  std::string m_wstrMediaReleaseDate;
  int m_bMediaInfoRead = 1;  // all seven attributes were read at the last media change

  int m_nSortMode = 1;        // 1 name, 2 date (SortMode)
  int m_nOrdering = 1;        // key MUSIC_ORDERING
  int m_nRippingFormat = 1;   // key MUSIC_RIPPING_FORMAT (RipFormat)
  int m_nRecordingFormat = 1; // recording format of the capture page

  int m_bCopyToDriveMode = 0;   // CopyToDriveMode
  int m_bCopyToFolderMode = 0;  // CopyToFolderMode
  int m_bFromOtherModule = 0;   // FromOtherModule
  int m_bRipSelectAll = 0;      // RipSelectAll
  int m_bAudioCdArrived = 0;    // AudioCdArrived
  int m_bRipping = 0;           // a rip runs (RipActive)
  int m_bRipTrackDone = 0;      // the track being ripped has reached its end (RipTrackDone)
  int m_bLibraryEmpty = 0;      // LibraryEmpty
  int m_bShuffle = 0;           // key MUSIC_SHUFFLE (ShuffleOn)

  int m_bRepeatAll = 0;        // key MUSIC_REPEAT_ALL (RepeatOn)
  int m_bWithSongInfo = 1;     // key MUSIC_WITH_SONG_INFO (ShowSongInfo)
  int m_nRipIndex = -1;        // entry of m_vecRipJobs being ripped; -1 none, the entry count after the last
  int m_bCanFastForward = 0;   // the player can fast-forward
  int m_bCanRewind = 0;        // the player can rewind

  int m_bBrowserCanGoUp = 1;       // copy of the browser's can-go-up answer
  int m_bMediaSearchActive = 0;    // a media search runs (SearchActive)
  int m_bFilesDeleted = 0;         // files were deleted from the lists
  int m_bRescan = 0;               // a newly arrived volume asks for a rescan
  int m_nDeviceCount = 0;          // number of music devices
  int m_nBurnProgress = 0;         // burn progress value
  int m_nSearchProgress = 0;       // media-search progress in percent
  std::uint32_t m_nSearchedFiles = 0;  // files the media search has handled
  int m_bStopOnNextPlay = 0;       // the next start of playback stops instead
  int m_nNowPlayingIndex = -1;     // entry of m_vecLibraryTracks being played, -1 none
  double m_dPlayPosition = 0;      // play position in seconds

  int m_nListIndex1 = -1;
  int m_nListIndex2 = -1;
  int m_nListIndex3 = -1;
  int m_nVisualizationSel = -1;  // chosen visualization, -1 none (VisualizationIndex)
  int m_nRememberedItem = 0;     // the remembered list item
  int m_nMixerDeviceIndex = -1;  // MixerDeviceIndex
  int m_nMixerSourceIndex = -1;  // MixerSourceIndex

  int m_nVolumeSteps = 9;
  int m_nCurrentDrive = 0;  // CurrentDrive as a drive number (0 = A:)
  std::string m_strCurrentDrive;  // CurrentDrive as text: "X:" or a folder, the top the Music page browses
  std::string m_strBackAction;    // the action that leaves the module when entered from another one
  std::string m_strAlbumArtPath;  // the last album art path the player gave
  int m_nBrowseMode = 0;          // 0 path, 1 album, 2 artist, 3 song
  int m_nLoadedPlaylist = -1;     // the playlist the player has loaded, -1 none
  int m_bPlayFromCd = 0;          // playback started on the audio-CD page
  int m_bPlayerPrepared = 0;      // the player's modes and visualizations are read
  std::vector<std::string> m_arrMixerSources;  // lines of the selected mixer device

  std::string m_strDefaultFolder;    // DefaultFolder, also the folder selector's start
  std::string m_strBrowseFolder;     // key MUSIC_BROWSEFOLDER (BrowsePath): the folder the Music page browses
  std::string m_wszCopyTarget;       // the copy target
  int m_nCopyBackAction = 0;         // the copy target's back action
  std::vector<std::string> m_arrMixerDevices;   // MixerDevices
  std::vector<std::string> m_arrDeletedFiles;   // deletion list
  plat::HANDLE m_hWorker = nullptr;  // the music worker's handle, owned by the Music controller
  int m_nWorkerThreadId = 0;         // the music worker's thread id
  int m_bWorkerStop = 0;             // asks the music worker to stop
  int m_nBufferSize = 4098;

  std::unique_ptr<CAudioProfileList> m_pMixerProfiles1;
  std::unique_ptr<CAudioProfileList> m_pMixerProfiles2;
  int m_nReserved1 = 0;
  int m_nReserved2 = 0;
};
