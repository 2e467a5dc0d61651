// CConfig: the configuration root of the system core. One instance lives in
// the UI-system object, which loads it from "Config.xml" at start and saves
// it at stop; the program reads and writes its fields in place on the UI
// thread. It owns the module sections, knows the per-user folders, holds the
// general values of the "CONFIGURATION" section and carries the live state
// that the program and the system core share.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAuthoringConfig;
class CGeneralConfig;
class CMovieConfig;
class CMusicConfig;
class CPhotoConfig;
class CRadioConfig;
class CRecordConfig;
class CTVConfig;
class CVideoConfig;
class CXmlSettings;

// Active-module numbers (m_nActiveModule).
enum ActiveModule : int {
  MODULE_NONE = 0,  // home
  MODULE_PHOTO = 1,
  MODULE_MUSIC = 2,
  MODULE_MOVIE = 3,
  MODULE_RADIO = 4,
  MODULE_RECORD = 5,  // the record hub; 8 is its burning side
  MODULE_VIDEO = 6,
  MODULE_TV = 7,
  MODULE_BURNING = 8,
  MODULE_SETTING = 9,
};

// Order of the program's module feature-set words in m_aFeatureWords.
enum FeatureWord : int {
  FEATURE_ROOT = 0,
  FEATURE_TV = 1,
  FEATURE_RADIO = 2,
  FEATURE_PHOTO = 3,
  FEATURE_MUSIC = 4,
  FEATURE_VIDEO = 5,
  FEATURE_MOVIE = 6,
};

// An entry of the list of all drives: root path, display name and kind
// (1 audio CD, 8 data disc, ...).
struct CDriveEntry {
  std::string strRoot;
  std::string strDisplayName;
  int nKind = 0;
};

// An entry of the other drive lists: two texts as the drive enumerator hands
// them out (a root and its display name or label).
struct CDriveTexts {
  std::string strFirst;
  std::string strSecond;
};

class CConfig {
 public:
  static constexpr const char* kFileName = "Config.xml";
  static constexpr const char* kSection = "CONFIGURATION";
  // Registry key (HKEY_LOCAL_MACHINE) of the machine-wide defaults.
  static constexpr const char* kRegistryKey = "SoftWare\\Kestrovia\\Marivel";

  // Creates the sections, sets the defaults, finds (and creates) the user
  // folders, builds the version text and reads the registry defaults.
  CConfig();
  virtual ~CConfig();
  CConfig(const CConfig&) = delete;
  CConfig& operator=(const CConfig&) = delete;

  // Reads the sections, then the "CONFIGURATION" values; returns 1. A missing
  // value reads as 0 (the audio profile as 1) and, like a value read, is
  // kept only when in range.
  int ConfigLoad(CXmlSettings& xml);
  // Writes the sections, then the "CONFIGURATION" values; returns 1.
  int ConfigSave(CXmlSettings& xml);

  // "<settings folder>/Config.xml".
  std::string ConfigFilePath() const;

  // Drive-list queries of the music controller.
  int CountDrivesOfKind1() const;
  int CountDrivesOfKind8() const;
  int GetDriveList3Count() const;
  int GetDriveList4Count() const;
  int GetDriveList5Count() const;
  // The root of the n-th (from 0) drive of that kind; 0 when there is none.
  int GetDriveNameOfKind1(int n, std::string& root) const;
  int GetDriveNameOfKind8(int n, std::string& root) const;

  // --- Shared audio state -------------------------------------------------
  int m_bCurMute = 0;         // mute as the audio service last reported it
  float m_fCurVolume = 0.0f;  // volume 0.0..1.0 as last reported

  // --- Sections (owned) ---------------------------------------------------
  std::unique_ptr<CMovieConfig> m_pMovie;
  std::unique_ptr<CVideoConfig> m_pVideo;
  std::unique_ptr<CPhotoConfig> m_pPhoto;
  std::unique_ptr<CMusicConfig> m_pMusic;
  std::unique_ptr<CTVConfig> m_pTV;
  std::unique_ptr<CRadioConfig> m_pRadio;
  std::unique_ptr<CRecordConfig> m_pRecord;  // record and burning hub
  std::unique_ptr<CGeneralConfig> m_pGeneral;
  std::unique_ptr<CAuthoringConfig> m_pAuthoring;  // the disc-authoring job

  // --- Folders and identity -----------------------------------------------
  std::string m_strSettingsFolder;    // holds "Config.xml" and "Schedule.sys"
  std::string m_strPicturesFolder;    // the user's pictures folder
  std::string m_strMusicFolder;       // the user's music folder
  std::string m_strUserVideosFolder;  // the user's videos folder
  std::string m_strVideoFolder;       // the Video module's folder, set at start
  std::string m_strRadioFolder;       // the Radio module's recordings folder, set at start
  std::string m_strSnapshotFolder;    // the common snapshot folder, set at start
  std::string m_strDocumentsFolder;   // the user's documents folder
  std::string m_strUserName;          // login name of the user
  std::string m_strWindowsFolder{"/"};  // system folder: "/" unless the registry names one
  std::string m_strVersion;           // "3.0.MMDD" of the executable's modification date
  // Display roots of the vendor-4 reader slots: archive, CD, USB, SmartMedia,
  // Memory Stick, CompactFlash, Secure Digital.
  std::array<std::string, 7> m_szDriveRoots{"C:\\", "D:\\", "K:\\", "J:\\", "H:\\", "G:\\", "I:\\"};

  // --- General settings ---------------------------------------------------
  int m_nActiveModule = MODULE_NONE;  // see ActiveModule
  int m_nDisplayMode = 1;             // display device ratio: 1 a 4:3 screen, 2 a 16:9 screen
  int m_nBootSelection = 1;           // 1 start into the product, 2 to the desktop
  int m_nScreenRatio = 1;             // 1 4:3, 2 wide; "SCREENRATIOCONFIG"
  int m_nWideScreenMode = 1;          // 1 letterbox, 2 pan and scan, 3 WIDEFILL
  float m_fScaleFactor = 1.0f;        // picture aspect factor: 0.75, 1.3333334 or 1.0
  int m_nResolution = 0;              // display resolution choice 1..5; 0 the screen's own mode
  int m_nLanguage = 2;                // system language 1 German, 2 English (the texts shipped); "LANGUAGECONFIG"
  int m_nAudioProfile = 8;            // 1..9; "AUDIOPROFILECONFIG"
  int m_bSubwoofer = 0;               // 0 or 1; "SUBWOOFERCONFIG"
  int m_bSoundEffect = 0;             // click sounds on; "SOUNDEFFECTCONFIG"
  int m_nOsdDuration = 2;             // on-screen text seconds 0..10; "OSDDURATIONCONFIG"
  int m_bPowerSave = 0;               // registry "PowerSave": follow the power source
  int m_bOnMains = 1;                 // 1 on mains, 0 on battery (while power saving)
  std::uint8_t m_nSavedPowerScheme = 0;  // throttle value saved while on battery

  // --- Drive lists ----------------------------------------------------------
  std::vector<CDriveEntry> m_vecOpticalDrives;  // all drives, with kind
  std::vector<CDriveTexts> m_vecDriveList2;     // drives of kind 8
  std::vector<CDriveTexts> m_vecDriveList3;
  std::vector<CDriveTexts> m_vecDriveList4;
  std::vector<CDriveTexts> m_vecDriveList5;
  int m_nPendingDeviceEvent = 0;  // device change waiting for the UI thread (0x8000, 0x8004, 7)
  int m_nPendingDeviceDrive = 0;  // its drive number, 0 = A:

  // --- Live state shared with the program -----------------------------------
  int m_bDebugNotices = 0;            // mode notices also go to the debug output
  int m_bVolumeOsd = 1;               // show volume and mute changes as on-screen texts ("DisableVolumnOSD")
  int m_bUnmuteWhenVolAdjusted = 0;   // a volume step switches mute off
  int m_bKeepMuteOsd = 0;             // "MUTEON" stays on screen while muted
  int m_bKeepScanOsd = 0;             // fast-forward/rewind texts stay on screen while scanning
  int m_bPauseNoticeText = 0;         // "PAUSE" stays on screen while paused
  int m_bMute = 0;                    // mute read at start, given back at stop
  float m_fVolume = 0.0f;             // volume read at start, given back at stop
  int m_bHighlightSoundOn = 0;        // play the highlight click (feature bit 0x1)
  int m_bPressedSoundOn = 0;          // play the press click (feature bit 0x2)
  int m_bSnapshotSoundOn = 0;         // play the snapshot sound (feature bit 0x100)
  std::string m_strHighlightSound;    // sound file of the highlight click
  std::string m_strPressedSound;      // sound file of the press click
  std::string m_strSnapshotSound;     // sound file of a snapshot
  int m_bSuppress = 0;                // no click sounds, no automatic disc entry (session lock)
  int m_bLocked = 0;                  // the session is locked
  int m_bStartFromCd = 0;             // the command line asked for a CD start
  int m_nStartDriveIndex = 0;         // drive of the command line's start, 0 = A:
  int m_nLoungeState = 0;             // the program's state word (it tests 1 to 4)

  // The program's nine start-up words: vendor id, the seven module feature
  // words (see FeatureWord) and the general feature word.
  int m_nVendorId = 0;  // 0 none, 1..4 the supported makers
  std::array<int, 7> m_aFeatureWords{-1, -1, -1, -1, -1, -1, -1};
  int m_nGeneralFeatures = -1;  // bit 0 highlight sound, 1 press sound, 8 snapshot sound

 private:
  void FindFolders();
  void ReadRegistryDefaults();
};
