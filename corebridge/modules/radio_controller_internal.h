// Shared pieces of the Radio controller's files: the action ids, the page
// ids, the context every handler works on (the radio section, the engine,
// the Radio page and the frame) and the helpers the files call on each other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "corebridge/core/audio_profile.h"
#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/ui_system_object.h"
#include "interfaces/radiodeck.h"

namespace radio_controller {

using plat::FAILED;
using plat::SUCCEEDED;

// Action ids of the Radio module ("Radio Entry" is 5, the rest 393 and up).
enum RadioActionId : int {
  kEntry = 5,
  kExit = 393, kSetFrequency, kFinetuneDown, kFinetuneUp, kMainPage, kRadioTextPage, kRecordedRadioPage,
  kSchedulePage, kSettingPage, kBurnMaterialPage, kPreviewAndBurnPage,
  kSchedulePriorityPage = 406, kSetSchedulePage, kScheduleHistoryPage, kRadioSettingPage, kFrequencySettingPage,
  kRecordSettingPage, kAddStationPage, kGeneralStationPage, kFavoriteStationPage, kMainStationPage,
  kBack = 416, kMenu, kRecord, kStop, kPlay, kPause, kPrevious, kNext, kBackScan, kForwardScan, kFastforward,
  kRewind, kDelete, kRename, kMove, kAddToFavorite, kChooseFM, kChooseAM, kEditSchedule,
  kSchStationLeft = 435, kSchStationRight, kSchRepeatLeft, kSchRepeatRight, kSchDateLeft, kSchDateRight,
  kSchStartHourLeft, kSchStartHourRight, kSchStartMinuteLeft, kSchStartMinuteRight, kSchStartApmLeft,
  kSchStartApmRight, kSchEndHourLeft, kSchEndHourRight, kSchEndMinuteLeft, kSchEndMinuteRight, kSchEndApmLeft,
  kSchEndApmRight, kSchFormatLeft, kSchFormatRight, kConfirmSchedule, kCancelSchedule, kClearScheduleHistory,
  kSwap = 458, kAutoScan, kAddStation,
  kSourceLeft = 461, kSourceRight, kLineInLeft, kLineInRight, kAreaLeft, kAreaRight, kPrecisionLeft,
  kPrecisionRight, kFMFinetuneLeft, kFMFinetuneRight, kFMScanLeft, kFMScanRight, kAMFinetuneLeft,
  kAMFinetuneRight, kAMScanLeft, kAMScanRight, kRecordFormatLeft, kRecordFormatRight, kRecordToLeft,
  kRecordToRight, kDiscFormatLeft,
  kDiscFormatRight = 484, kRestore, kSortByName, kSortByDate, kSortByFrequency, kSortByCategory, kSortByStatus,
};

// Radio page ids of the section's m_nPage.
enum RadioPageId : int {
  kPageNone = 0, kPagePresetStore, kPageMain, kPageRadioText, kPageRecorded, kPageBurnMaterial, kPageSchedule,
  kPageSchedulePriority, kPageSetSchedule, kPageScheduleHistory, kPageAddStation, kPageSetting,
  kPageRadioSetting, kPageFrequencySetting, kPageRecordSetting, kPageEditSchedule, kPageConflict,
  kPageMainStation, kPageGeneralStation, kPageFavoriteStation, kPageRename,
};

// Capability bits of the engine's device value (GetDeviceId).
inline constexpr int kCanMute = 0x04;
inline constexpr int kRecordsItself = 0x08;
inline constexpr int kCanAutoScan = 0x10;
inline constexpr int kCanSwitchBand = 0x20;
inline constexpr int kCanSetArea = 0x40;

// Engine band numbers (the section numbers them the other way round).
inline constexpr int kEngineFM = 1;
inline constexpr int kEngineAM = 2;

// Sub-modes of the shown list, kept on top of the section's page-history
// stack, which the Radio page reads: a favourite being moved, the preset
// places to name, choosing an entry and an entry chosen.
inline constexpr int kSubMoving = 2;
inline constexpr int kSubPresetSlots = 7;
inline constexpr int kSubChoosing = 8;
inline constexpr int kSubChosen = 9;
// The sub-mode on top of the stack, 0 for none.
int SubMode(const CRadioConfig& radio);
// Clears the stack and the selection and enters `mode` (0: none).
void SetSubMode(CRadioConfig& radio, int mode);

// Free space a recording needs: a manual one more than 200 MiB, a scheduled
// one more than 25 MiB.
inline constexpr std::uint64_t kManualRecordMinFree = 209'715'200;
inline constexpr std::uint64_t kScheduledRecordMinFree = 26'214'400;

// The tuner roads by vendor: 3 the outside radio component (kind 2), 4 and
// 0 the tuner (kind 1); 1 and 2 have no radio.
enum class Road { None, Component, Tuner };
Road RoadOf(int vendor);

// What a handler works on, gathered once per action.
struct Ctx {
  CUISystem& sys;
  CRadioConfig& radio;
  plat::ComPtr<IRadioCore> engine;  // null when the core object has none
  IRadioPageEvents* page;
  IFrameServices* frame;
  int vendor;

  bool Component() const { return vendor == 3; }
  bool Vendor4() const { return vendor == 4; }
  int Caps() const;
  bool Has(int bit) const { return (Caps() & bit) != 0; }

  // Page calls, each skipped without a page.
  void ShowCurrent() const;
  void RestoreFocus() const;
  void Redraw(int flag) const;
  void DrawText() const;
  void RefreshList() const;
  void ResetDigits() const;
  void SetPage(int id) const { radio.SetRadioPage(id); }
};

// The context of this call; nullopt without the radio section.
std::optional<Ctx> MakeCtx(CUISystem& system);

// The current band's frequency, limits and steps (section numbering).
int& CurrentFrequency(CRadioConfig& radio);
int BandMin(const CRadioConfig& radio);
int BandMax(const CRadioConfig& radio);
int& FineStep(CRadioConfig& radio);
int& ScanStep(CRadioConfig& radio);

// "98,50" style text of an FM frequency in the user's decimal point; AM "999".
std::string FrequencyText(int frequency, int band);
// The user's country calling code (1, 81, ...; 0 unknown).
int CountryCode(const CUISystem& system);
// The engine area for a section area (1 -> 0, 2 -> 1, 3 -> 2).
int EngineArea(int area);
// Forces both AM steps into the value set of the area.
void FixAmSteps(CRadioConfig& radio, int area);
// The favourites of the current band as the favourite page lists them, in
// preset order.
void RebuildFavorites(CRadioConfig& radio);
// Empties both station lists and gives each six empty places.
void ResetStationSlots(CRadioConfig& radio);

// The chosen source device's profile, null when none. Its line-in list (the
// recording lines) holds the chosen line, m_nSourceLine.
const CAudioProfile* SourceDevice(const CRadioConfig& radio);
// A line record's name (at most its first 64 bytes).
std::string LineName(const std::uint8_t* record);
// The index of the device's source (playback) line of that name, -1 none.
int SourceLineNamed(const CAudioProfile& device, const std::string& name);

// Mutes or unmutes around a retune.
void Mute(Ctx& c, int mute);
// Waits `ms` with the messages flowing; radio actions are refused meanwhile.
void Wait(Ctx& c, int ms);
// Tunes to f; 1 on success ("Radio Set Frequency Value").
int Tune(Ctx& c, int frequency);
int Seek(Ctx& c, bool upward);
int ChooseBand(Ctx& c, int band);
// Reads the current band's limits from the engine into the section.
void ReadBandLimits(Ctx& c);

// Handlers by file.
int StartRadio(CUISystem& system);
int StopRadio(Ctx& c);
int StationAction(Ctx& c, int id, std::intptr_t a);
int RecordingAction(Ctx& c, int id);
int SettingAction(Ctx& c, int id);
int PageAction(Ctx& c, int id);
int ScheduleAction(Ctx& c, int id);
int Back(Ctx& c);

// Recording (radio_recording.cpp).
// The path itself, or "<stem>(n)<extension>" with the first n (1..9999)
// that names no file; empty when all are taken.
std::string UniqueFileName(const std::string& path);
// "<folder>/FM09850_DDMMYYYY_HHMM.mp3" for the local time, made unique.
std::string RecordingFileName(const CUISystem& system, const CRadioConfig& radio, int frequency, int band);
// The free bytes of the folder's file system; false when unknown.
bool FreeSpace(const CUISystem& system, const std::string& folder, std::uint64_t& bytes);
int StartManualRecording(Ctx& c);
int StartRecordingInto(Ctx& c, const std::string& file, int scheduled);
int StopRecording(Ctx& c);
int StopPlayback(Ctx& c);
int PlayRecorded(Ctx& c);
// Ends a scheduled recording: status 4 by time, 3 by the user.
int EndScheduledRecording(Ctx& c, int status);
int StopAll(Ctx& c);

}  // namespace radio_controller
