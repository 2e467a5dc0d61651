// CRadioConfig: the Radio module's section of the configuration root. It
// stores the radio settings (section "RADIOCONFIG") with the FM and AM
// station lists and their presets, and carries the live state of the Radio
// module (current page, page history, radio state, recorded files, the
// schedule being edited) that the Radio controller and the Radio page read
// and write in place.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "corebridge/core/audio_profile.h"
#include "corebridge/core/radio_station.h"

class CConfig;
class CScheduleItem;
class CXmlSettings;

// Bands; band 0 in an operation means the current band.
enum RadioBand : int { RADIO_BAND_CURRENT = 0, RADIO_BAND_AM = 1, RADIO_BAND_FM = 2 };

// Activity of the Radio module (m_nRecordState).
enum RadioState : int {
  RADIO_OFF = 0,
  RADIO_LISTENING = 1,
  RADIO_RECORDING = 2,
  RADIO_SCHEDULED_RECORDING = 3,
  RADIO_SCANNING = 4,  // going back is refused
  RADIO_PLAYING_RECORDING = 5,
  RADIO_RECORDING_PAUSED = 6,
  RADIO_RECORDED_LIST = 7,
};

// Radio pages tested by the section's answers.
enum RadioPage : int { RADIO_PAGE_SCHEDULE = 15, RADIO_PAGE_STATIONS = 18, RADIO_PAGE_FAVORITES = 19 };

// An entry of the recorded-files list.
struct RadioRecordedFile {
  std::string strPath;  // full path
  std::string strName;
  std::string strText3;
  std::string strText4;
  std::uint64_t ftCreation = 0;
  std::uint64_t ftLastWrite = 0;  // compared by the date sort (oldest first)
  std::uint64_t ftTime3 = 0;
  std::uint64_t ftTime4 = 0;
  int nFlag = 0;
  std::array<std::uint8_t, 12> reserved{};
};

class CRadioConfig {
 public:
  static constexpr const char* kSection = "RADIOCONFIG";
  // Sort keys of the recorded-files list.
  static constexpr int kRecordedSortDate = 4;
  static constexpr int kRecordedSortName = 7;

  explicit CRadioConfig(CConfig* root);
  virtual ~CRadioConfig();
  CRadioConfig(const CRadioConfig&) = delete;
  CRadioConfig& operator=(const CRadioConfig&) = delete;

  // 0 without a document, else 1. Each value is read only when its key is
  // present. A band's station arrays that differ in length give only the
  // stations that every array describes.
  int RadioConfigLoad(CXmlSettings& xml);
  int RadioConfigSave(CXmlSettings& xml);

  // --- Stations (band: 1 AM, 2 FM, 0 the current band) -------------------
  // The band's list, null for an unknown band.
  std::vector<RadioStation>* StationList(int band);
  const std::vector<RadioStation>* StationList(int band) const;
  int GetRadioStationCount(int band) const;
  int GetRadioStation(int index, RadioStation& out, int band) const;
  int SetRadioStation(int index, const RadioStation& station, int band);
  int BuildRadioStations(int n, int band);
  int AddRadioStation(int frequency, const std::string& name, int select, int band);
  int DeleteRadioStation(int index, int band);
  int ResetRadioStations(int band);
  int SwapRadioStations(int index1, int index2, int band);
  int GetPrevRadioStation(int index, RadioStation& out, int band) const;
  int GetNextRadioStation(int index, RadioStation& out, int band) const;
  int CountRadioFavorites(int band) const;
  int PrevFavoriteStation(int presetNo, RadioStation& out, int band) const;
  int NextFavoriteStation(int presetNo, RadioStation& out, int band) const;
  int FindFavoriteStation(int presetNo, RadioStation& out, int band) const;
  int DeleteRadioStationByKey(int presetNo, int band);
  int MoveRadioStation(int fromPreset, int toPreset, int band);
  // Sorts both bands by the key (1 frequency, 2 name, 3 select, 8 preset)
  // and keeps the current station of the current band current.
  int SortRadioStations(int key, int value);
  // Sorts the recorded files (4 date, 7 name) and keeps the current one.
  int SortRadioStationsByName(int key, int value);

  // --- Pages --------------------------------------------------------------
  void SetRadioPage(int page);
  void PushRadioPage(int page);
  int PopRadioPage(int& page);   // 0 when empty
  int PeekRadioPage(int& page) const;  // 0 when empty
  void ClearRadioPages();

  // --- Answers for key dispatch and action states (return 1) -------------
  int RadioCanGoBack(int& answer) const;           // not while scanning
  int RadioMenuAllowed(int& answer) const;         // not while recording
  int RadioStationSelected(int& answer) const;     // on the station pages; else unchanged
  // On the favourites page: `answer` a station is selected, `second` the
  // top of the page history is 2.
  int RadioCanMoveStation(int& answer, int& second) const;
  int RadioCanAddFavorite(int& answer) const;      // on the station page
  int RadioIsSchedulePage(int& first, int& second) const;
  int RadioKeyEnable(int& first, int& second) const;

  // Index of the current station of a band (m_nCurFMStation/m_nCurAMStation).
  int* CurrentStationIndex(int band);

  int m_nRecordState = RADIO_OFF;  // see RadioState
  int m_nCurBand = RADIO_BAND_FM;  // key RADIO_CURBAND
  int m_nRecordedSortKey = 0;      // 4 date, 7 name
  int m_nStationSortKey = 0;       // 1, 2, 3, 8
  int m_nOtherSortKey = 0;         // schedules list: 1 frequency, 4 date, 5 category, 6 status
  int m_nRecordedSortValue = 0;    // second argument of the last recorded-files sort
  int m_nStationSortValue = 0;     // second argument of the last station sort
  int m_nScanPrecision = 0;        // 0 low, 1 normal, 2 high
  int m_nRecordFormat = 0;         // 0 WAV, 1 MP3, 2-4 WMA 32K/64K/128K; key RADIO_RECORDFORMAT
  int m_nSpare1 = 0;
  int m_nRecordTo = 0;             // 0 hard disk; key RADIO_RECORDTO
  int m_nRecordDiscFormat = 0;     // 0 MP3 CD, 1 audio CD; key RADIO_RECORDDISCFORMAT
  int m_nCurArea = 0;              // key RADIO_CURAREA
  int m_nSpare2 = 2;
  int m_nFMMin = 87500000;         // lowest FM frequency
  int m_nFMMax = 108000000;        // highest FM frequency
  std::vector<RadioRecordedFile> m_recordedFiles;
  int m_nCurRecorded = -1;      // current recorded file
  int m_nSelectedStation = -1;  // station selected on the station pages
  int m_nEditScheduleIndex = -1;  // list index of the schedule being edited
  std::string m_strRecordFolder;     // record folder
  std::string m_strRecordingFile;    // current recording file
  double m_dPlaybackRate = 1.0;      // playback rate
  int m_bForwardAllowed = 0;    // fast forward possible in states 5 and 6
  int m_bRewindAllowed = 0;     // rewind possible in states 5 and 6
  int m_nSourceDevice = 0;      // source device index
  int m_nSourceLine = 0;        // source line index (line-in)
  int m_nSpare3 = -1;
  int m_nSpare4 = 3;
  std::unique_ptr<CAudioProfileList> m_pProfiles1;
  std::unique_ptr<CAudioProfileList> m_pProfiles2;
  std::unique_ptr<CScheduleItem> m_pEditSchedule;       // the radio schedule being edited
  int m_nSpare5 = -1;
  std::unique_ptr<CScheduleItem> m_pRecordingSchedule;  // the running scheduled recording, or null
  CConfig* m_pConfig;  // the root, not owned
  int m_nTunerStatus = 0;  // last tuner status from the controller's poll
  int m_bRadioText = 0;    // radio text is available (RDS)
  std::string m_strRdsStation;   // RDS station name
  std::string m_strRdsType;      // RDS programme type
  std::string m_strRdsDateTime;  // RDS date-time text
  std::string m_strRdsText;      // RDS radio text
  int m_bPresetsChanged = 0;     // presets-changed flag
  int m_nPage = 0;               // current Radio page
  int m_nPrevPage = 0;           // page before the last SetRadioPage
  std::vector<int> m_pageHistory;  // a stack of page numbers
  std::vector<RadioStation> m_fmStations;
  std::vector<RadioStation> m_amStations;
  std::vector<RadioStation> m_favoriteStations;  // the favourites list as the page shows it
  int m_nCurFMStation = -1;      // key RADIO_CURFMSTATION
  int m_nCurAMStation = -1;      // key RADIO_CURAMSTATION
  int m_nPrevFMStation = -1;     // current FM station before the last sort
  int m_nPrevAMStation = -1;
  int m_nFMFineTuneScale = 50000;    // key RADIO_FMFINETUNESCALE
  int m_nAMFineTuneScale = 9000000;  // key RADIO_AMFINETUNESCALE
  int m_nFMAutoScanScale = 50000;    // key RADIO_FMAUTOSCANSCALE
  int m_nAMAutoScanScale = 9000000;  // key RADIO_AMAUTOSCANSCALE
  int m_nCurFMFrequency = 100700000; // key RADIO_CURFMFREQUENCY (Hz)
  int m_nCurAMFrequency = 522000000; // key RADIO_CURAMFREQUENCY (thousandths of a hertz)

  // --- Further live values of the Radio controller and page ---------------
  int m_nConflictReturnPage = 0;  // page saved before the conflict page
  int m_nSignalLevel = 0;         // 0..5
  int m_nListSubMode = 0;         // the list sub-mode
  int m_nMoveSource = -1;         // the move source
  int m_nMovingPresetId = -1;     // preset id of the favourite being moved
  int m_nScanProgress = 0;        // the scan progress
  int m_nStoredSignal = 0;        // the stored signal value

  // AM band limits in thousandths of a hertz, like m_nCurAMFrequency; the FM
  // limits above never apply to AM. The Radio controller sets both bands'
  // limits from the tuner.
  int m_nAMMin = 522000000;   // 522 kHz
  int m_nAMMax = 1710000000;  // 1710 kHz
};
