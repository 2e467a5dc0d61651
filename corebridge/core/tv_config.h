// CTVConfig: the TV module's section of the configuration root. It stores
// the TV capture profile (section "TV_CONFIG": profile name, folders, capture
// devices, country, source, tuner type, current channel, snapshot format,
// the scanned channels) and carries the live state of the TV module that the
// TV controller and the TV page read and write in place.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/core/types.h"

class CConfig;
class CXmlSettings;

// A cell of the TV wall.
struct TVWallCell {
  std::uint32_t nChannel = 0;  // 0 for an empty cell
  std::string strName;         // channel name, 128 characters at most
  plat::HBITMAP hBitmap = nullptr;  // the cell's picture, owned by the TV controller
};

// A row of the programme guide.
struct TVGuideRow {
  int bPresent = 0;
  int bMarked = 0;
  std::string strTitle;
  int nStartHour = 0;
  int nStartMinute = 0;
  int nEndHour = 0;
  int nEndMinute = 0;
};

class CTVConfig {
 public:
  static constexpr const char* kSection = "TV_CONFIG";
  static constexpr std::size_t kMaxCellName = 128;
  static constexpr std::size_t kSourceBufferSize = 2380;
  static constexpr int kSourceBuffers = 8;

  explicit CTVConfig(CConfig* root);
  virtual ~CTVConfig();
  CTVConfig(const CTVConfig&) = delete;
  CTVConfig& operator=(const CTVConfig&) = delete;

  // 0 without a document, else 1. A missing key keeps the field's value;
  // the two arrays are emptied first.
  int TVConfigLoad(CXmlSettings& xml);
  int TVConfigSave(CXmlSettings& xml);

  // Sets (or replaces) the name of a channel number.
  void AddTVChannel(std::uint32_t number, const std::string& name);
  // Appends `count` empty cells to the TV wall.
  void ConstructTVWallCells(int count);

  // --- Stored profile -----------------------------------------------------
  std::string m_strProfileName;    // key PROFILE_NAME
  std::string m_strText;           // not stored
  std::string m_strWorkingFolder;  // folder of TV recordings; key WORKING_FOLDER
  std::string m_strSnapshotFolder; // key SNAPSHOT_FOLDER
  std::string m_strVideoDevice;    // capture device name; key VIDEO_DEVICE
  std::string m_strAudioDevice;    // key AUDIO_DEVICE
  int m_nCountryIndex = -1;        // index into the tuner's country list; key COUNTRY_INDEX
  int m_nVideoSource = 0;          // input source; key VIDEO_SOURCE
  int m_nTunerType = 0;            // key TUNER_TYPE

  // --- Live state of the TV controller ----------------------------------------
  int m_nPageType = -1;      // 1 preview, 2 main menu, 3 channel wall, 4 schedule, 5 set schedule, 6 teletext,
                             // 7 signal setting, 8 channel setting, 9 auto-scan, 10 guide, 11 recorded list
  int m_nTVMode = -1;        // TV state: 1 preview off, 2 live preview, 3 recording or burning, 4 replay
  int m_nReplayState = -1;   // replay sub-state (the play state the rows test)
  int m_nChannelEditMode = -1;  // move state of the channel list: 0, 1 selected, 2 moving
  int m_nChannel = 0;         // current channel; key CHANNEL
  int m_nSnapshotFormat = 0;  // key SNAPSHOT_FORMAT
  int m_nChannelCount = 0;    // channel count
  std::vector<std::uint32_t> m_arrPresetChannels;  // preset channel array
  std::map<std::uint32_t, std::string> m_channelNames;  // channel number -> name
  std::vector<std::uint32_t> m_signalChannels;  // channels found by the scan; key SIGNAL_CHANNEL
  std::vector<int> m_channelEnable;             // one flag per scanned channel; key CHANNEL_ENABLE
  std::vector<std::string> m_arrCountryNames;   // country-name list
  int m_nCountryListIndex = -1;                 // index in that list
  int m_nCountryCount = 0;                      // its count
  std::vector<int> m_arrCountryCodes;           // the engine's country index of each offered name
  std::vector<std::string> m_arrProfileNames;   // record-quality (profile) names
  int m_nProfileIndex = -1;                     // the chosen profile
  int m_bBurn = 0;                              // burn flag
  int m_bPal = 0;                               // PAL flag
  int m_bTeletext = 0;                          // teletext available
  std::vector<TVWallCell> m_tvWallCells;        // the TV wall
  std::string m_strCurrentProfileName;          // current profile name
  std::string m_strChannelName;                 // current channel's name
  std::string m_strSnapshotName1;               // the two snapshot names
  std::string m_strSnapshotName2;
  std::string m_strTeletextPage;                // teletext page text
  std::string m_strAutoScanText;                // auto-scan text
  std::string m_strEstimatedTime;               // estimated time of the scan
  std::string m_strRemainingTime;               // remaining-time text
  std::string m_strProgressText;                // progress text
  std::vector<std::uint32_t> m_arrAllChannels;      // all channels
  std::vector<std::uint32_t> m_arrEnabledChannels;  // the enabled channels
  int m_nTeletextSaveFormat = 0;                // format of saved teletext pages
  std::uint16_t m_nWallColumns = 16;            // packed pair
  std::uint16_t m_nWallRows = 16;
  // Per-source buffers of the TV controller, zero at the start.
  std::array<std::array<std::uint8_t, kSourceBufferSize>, kSourceBuffers> m_sourceBuffers{};
  std::array<std::array<std::uint8_t, 32>, 256> m_records256{};
  std::array<std::array<std::uint8_t, 32>, 20> m_records20{};
  std::array<std::uint8_t, 1000> m_recordPad{};
  std::array<int, 7> m_counters{};
  int m_nTeletextDisplay = 0;  // 0 video, 1 teletext, 2 teletext over video
  int m_nWallCount = 2;        // the wall count
  int m_bSourceAntenna = 0;    // input source flag (non-zero: antenna)
  std::chrono::system_clock::time_point m_tCreated = std::chrono::system_clock::now();
  int m_bSnapshotPending = 0;  // a snapshot is pending
  int m_bPresetMapping = 0;    // preset mapping flag
  int m_nPresetCount = 0;      // preset count
  int m_bEngineReady = 0;      // the engine-initialised flag
  int m_bMutedByTV = 0;        // the TV muted the output (and so may unmute it)
  plat::COLORREF m_crKey = 0;  // key colour
  std::array<TVGuideRow, 8> m_guideRows{};  // the programme guide
  std::string m_strGuideDate;               // the guide date
  int m_nGuideRange = 0;                    // the guide range
  int m_nGuideChannel = 0;                  // the guide's channel index
  CConfig* m_pConfig;  // the root, not owned
};
