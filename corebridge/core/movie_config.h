// CMovieConfig: the Movie module's section of the configuration root. It
// holds the stored movie settings (section "MOVIECONFIG" of "Config.xml") and
// the live state of disc playback, which the DVD controller writes and the
// program's state queries and the key-enable queries below read in place.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

class CConfig;
class CXmlSettings;

// Play state of the open disc (m_nPlayState).
enum MoviePlayState : int {
  MOVIE_NO_DISC = 0,   // no disc open
  MOVIE_OPENING = 1,   // "Movie Entry" prepares the disc
  MOVIE_STOPPED = 2,   // opened and stopped
  MOVIE_PAUSED = 3,
  MOVIE_PLAYING = 4,   // normal speed
  MOVIE_SCANNING = 5,  // fast forward or rewind
};

// Operations the open disc allows (m_dwDiscCaps).
enum MovieDiscCaps : std::uint32_t {
  MOVIE_CAP_ANGLE = 0x01,
  MOVIE_CAP_SUBTITLE = 0x02,
  MOVIE_CAP_AUDIO_LANGUAGE = 0x04,
  MOVIE_CAP_MENU_DVD = 0x08,  // menu, disc type 4
  MOVIE_CAP_PREV_CHAPTER = 0x10,
  MOVIE_CAP_NEXT_CHAPTER = 0x20,
  MOVIE_CAP_FAST_FORWARD = 0x40,
  MOVIE_CAP_REWIND = 0x80,
  MOVIE_CAP_MENU_NAVIGATION = 0x100,
  MOVIE_CAP_MENU_OTHER = 0x400,  // menu, other disc types
};

// An entry of the optical-drive list: the drive root (12 characters at
// most, as the list stores it) and the drive's media kind (2-5 video CD
// kinds, 6-7 DVD).
struct MovieDriveEntry {
  std::string strRoot;
  int nMediaKind = 0;
};

class CMovieConfig {
 public:
  static constexpr const char* kSection = "MOVIECONFIG";
  static constexpr int kDefaultColorProfile = 3;
  static constexpr int kNoRating = 15;

  // Sets the defaults, fills the speed lists and the channel-expander list,
  // and reads the registry defaults ("DefaultColorProfile", "Vendor",
  // "DefaultDXVA").
  explicit CMovieConfig(CConfig* root);
  virtual ~CMovieConfig();
  CMovieConfig(const CMovieConfig&) = delete;
  CMovieConfig& operator=(const CMovieConfig&) = delete;

  // Sets m_nColorProfile from the registry value "DefaultColorProfile"
  // (3 when missing or outside 1..5). 0 when the key cannot be opened, and
  // then nothing changes.
  int ReadDefaultColorProfile();

  // 0 without a document, else 1; see the source for each key's rule.
  int MovieConfigLoad(CXmlSettings& xml);
  int MovieConfigSave(CXmlSettings& xml);

  // Key-enable queries: write `enabled` and return 1. The first answers
  // whether something plays (m_nPlayState neither 0 nor 2); the others the
  // same, and only when the disc allows that operation.
  int MovieKeyPlaying(int& enabled) const;
  int MovieKeyPrevChapter(int& enabled) const;
  int MovieKeyNextChapter(int& enabled) const;
  int MovieKeyFastForward(int& enabled) const;
  int MovieKeyRewind(int& enabled) const;

  // Whether the play state counts as playing (not 0, not 2).
  bool IsPlaying() const { return m_nPlayState != MOVIE_NO_DISC && m_nPlayState != MOVIE_STOPPED; }

  // --- Playback speeds ----------------------------------------------------
  std::vector<std::string> m_arrSpeedList1;  // fast-forward steps "1.5".."32","1" (FastForwardStep)
  std::vector<std::string> m_arrSpeedList2;  // rewind steps "1".."32","0" (RewindStep)
  int m_nPreviousPageState = 3;              // page id before the current one
  int m_nMoviePageState = 3;                 // the Movie page's view (PageState): 0, 2, 3, 4, 6, 7, 9, 18, 19...
  int m_nPinPageOrigin = 0;                  // page that asked for the parental PIN (PinPageOrigin)

  // --- Stream texts and lists ---------------------------------------------
  std::string m_strSubtitleText;                  // text of the current subtitle stream (SubtitleText)
  std::string m_strAudioText;                     // text of the current audio stream (AudioText)
  std::string m_strDriveRoot;                     // root of the open disc's drive (DriveRoot)
  std::vector<std::string> m_arrSubtitleNames;    // subtitle stream names (SubtitleNames)
  std::string m_strSnapshotFolder;                // where DVD snapshots go (SnapshotFolder)
  std::vector<std::string> m_arrAudioNames;       // audio stream names (AudioNames)
  // Disc defaults read at playback start for disc type 4: m_bSubtitleOn
  // becomes !m_bDiscSubtitleOff and m_bCaptionShown !m_bDiscCaptionOff.
  int m_bDiscCaptionOff = 0;
  int m_bDiscSubtitleOff = 0;
  int m_bPlayInterrupted = 0;  // set by the DVD event sink; abandons a start in progress

  // --- Open disc ----------------------------------------------------------
  int m_nDiscType = 0;       // 0 none; 1 media kinds 2-3, 2 kind 4, 3 kind 5, 4 kinds 6-7 (DiscType)
  int m_nPlayState = MOVIE_NO_DISC;  // see MoviePlayState (PlayState)
  int m_bHasRootMenu = 0;    // RootMenuAvailable
  int m_bHasTitleMenu = 0;   // TitleMenuAvailable
  int m_nFastForwardStep = -1;  // index into m_arrSpeedList1; -1 again at each playback start
  int m_nRewindStep = -1;       // index into m_arrSpeedList2; -1 again at each playback start
  int m_nAudioStreams = 0;      // AudioStreamCount
  int m_nSubtitleStreams = 0;   // SubtitleStreamCount
  int m_nAngles = 0;            // AngleCount
  int m_nTitleState = 0;        // TitleState
  int m_nChapterNumber = 0;     // ChapterNumber
  int m_nAngleNumber = 0;       // AngleNumber
  std::uint32_t m_dwDiscCaps = 0;  // see MovieDiscCaps (UserOpFlags)
  int m_nNavigationState = 0;      // NavigationState
  std::string m_strDiscTitle;      // text of the open disc
  char m_chDrive = 0;              // drive letter of the open disc
  std::uint8_t m_nDriveLetterIndex = 0;  // drive letter minus 'A' (DriveIndex of the page)
  int m_nDriveIndex = 0;                 // chosen drive; key MOVIE_DRIVEIDX
  int m_nPendingDriveIndex = 0;          // drive the drive chooser asked for, 0 = none (PendingDriveIndex)
  int m_nDriveListPos = 0;               // position in m_arrDrives (DriveListPos)
  std::vector<MovieDriveEntry> m_arrDrives;  // optical drives (DriveList; its size is the count)

  // --- Audio and picture settings -------------------------------------------
  std::vector<std::uint32_t> m_arrSpeakers;       // speaker modes (SpeakerModes)
  int m_nAudioSpeakerIdx = 0;                     // 1 for the vendor "Vadu"; key MOVIE_AUDIOSPEAKERIDX
  std::vector<std::uint32_t> m_arrAudioProfiles;  // AudioProfiles
  int m_nAudioProfileIdx = 0;                     // key MOVIE_AUDIOPROFILEIDX
  std::vector<std::uint32_t> m_arrChannelExpanders{1, 2, 3};  // ChannelExpanders
  int m_nAudioChannelExpanderIdx = 2;             // key MOVIE_AUDIOCHANNELEXPANDERIDX
  int m_nColorProfile = kDefaultColorProfile;     // 1..5; key MOVIE_COLORPROFILE (ColorProfile)
  std::list<std::string> m_listSubtitleProfiles;  // subtitle languages (SubtitleLanguages)
  int m_nSubtitleProfileIdx = 0;                  // key MOVIE_SUBTITLEPROFILEIDX
  int m_bClosedCaptionOn = 1;                     // closed-caption mode; key MOVIE_CLOSEDCAPTIONON
  std::list<std::string> m_listLanguageProfiles;  // audio languages (AudioLanguages)
  int m_nLanguageProfileIdx = 0;                  // key MOVIE_LANGUAGEPROFILEIDX
  int m_bSubtitleOn = 0;                          // set when playback starts
  int m_bCaptionShown = 0;                        // set when playback starts
  std::list<std::string> m_listThirdProfiles;     // system locales (SystemLocales)
  int m_nThirdProfileKind = 3;
  int m_nThirdProfileIdx = 0;
  std::string m_strParentalPassword;  // parental PIN as typed; key MOVIE_PCPASSWORD (ParentalPin)
  int m_nRating = kNoRating;          // 1 G, 3 PG, 4 PG13, 5 R, 7 NC17, 15 none; key MOVIE_RATING (ParentalLevel)
  int m_nDiscRating = kNoRating;      // rating of the open disc

  // Region and parental values written by the DVD sink.
  int m_nRequestedLevel = 0;      // level the disc asks permission for (RequestedLevel)
  int m_bLevelRequestPending = 0; // the disc waits for that permission (LevelRequestPending)
  int m_nSystemRegion = 0;        // SystemRegion
  int m_nDiscRegion = 0;          // DiscRegion
  int m_nRegionChangesLeft = 0;   // RegionChangesLeft
  std::uint8_t m_bRegionEventSeen = 0;  // RegionEventSeen

  int m_bUseDxva = 0;  // hardware video decoding; registry "DefaultDXVA"; key MOVIE_ISUSEDXVA (DxvaOn)
  std::string m_strLiveText1;
  std::string m_strLiveText2;
  int m_bScreenOptionShown = 1;  // the screen-mode check marks apply
  int m_bColorOptionShown = 1;   // the colour-profile check marks apply
  int m_bVivexOn = 1;            // VivexOn
  int m_bModeNoticePending = 0;

  // --- Fields the Movie controller and page keep beside the above ---------
  int m_bDesktopSaved = 0;           // the desktop state was saved for the video desktop (DesktopSaved)
  int m_bVideoDesktopOn = 0;         // VideoDesktopOn
  int m_bAudioDefaultPicked = 0;     // AudioDefaultPicked
  int m_bSubtitleDefaultPicked = 0;  // SubtitleDefaultPicked
  // 1 while the subtitle (audio) stream is not chosen automatically at a
  // chapter change (SubtitleChosen, AudioChosen).
  int m_nSubtitleChosen = 0;
  int m_nAudioChosen = 0;
  int m_bPageChanged1 = 0;           // first change flag of the Movie page
  int m_bPageChanged2 = 0;           // second change flag of the Movie page

  CConfig* m_pRoot;  // not owned

 private:
  int PlayingWithCap(std::uint32_t cap, int& enabled) const;
  void ReadRegistryDefaults();
};
