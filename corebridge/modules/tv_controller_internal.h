// Shared pieces of the TV controller's files: the action ids, the country
// order tables and small helpers over the TV section and the engine.
#pragma once

#include <span>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/tv_config.h"
#include "corebridge/core/ui_system_object.h"
#include "interfaces/grabber.h"
#include "platform/gdi/objects.h"

namespace tv_controller {

using plat::FAILED;
using plat::SUCCEEDED;

// Action ids of the TV module ("TV Entry" is 4, the rest 318 and up).
enum TvActionId : int {
  kEntry = 4,
  kPreviewPage = 318, kMainMenuPage, kRecordedTVPage, kTVWallPage, kSchedulePage, kSetSchedulePage,
  kTeletextPage, kNextViewPage, kSignalSettingPage, kChannelSettingPage, kAutoScanPage,
  kPlay = 329, kPause, kStop, kRewind, kFastForeward, kRecord, kStopAutoScan, kStopTVWall, kSnapshot,
  kSetChannel = 338, kPrevChannel, kNextChannel, kLastChannel, kEnableChannel, kRenameChannel,
  kWallPrevPage = 344, kWallNextPage,
  kSetPage = 366, kPrevPage, kNextPage, kPrevSubPage, kNextSubPage, kTeletextSnapshot,
  kKeyRed = 372, kKeyGreen, kKeyYellow, kKeyBlue, kUpdatePage,
  kGuidePrevChannel = 377, kGuideNextChannel, kGuidePrevDate, kGuideNextDate, kGuidePrevItem, kGuideNextItem,
  kSourceLeft = 383, kSourceRight, kCountryLeft, kCountryRight, kQualityLeft, kQualityRight, kDefaultEnter,
  kResizeVideo = 390, kHideVideo, kChangeDisplay,
};

// Page types and modes of the TV section.
enum : int {
  kPagePreview = 1, kPageMainMenu, kPageWall, kPageSchedule, kPageSetSchedule, kPageTeletext,
  kPageSignal, kPageChannels, kPageAutoScan, kPageGuide, kPageRecorded,
};
enum : int { kModeOff = 1, kModeLive, kModeRecording, kModeReplay };

// The engine's country indexes in display order, without the closing -1.
std::span<const int> GeneralCountryOrder();
std::span<const int> Vendor4CountryOrder();

// The mixer line types the time shift mutes: line in and CD audio.
inline constexpr unsigned kLineInType = 4098;
inline constexpr unsigned kCdLineType = 4101;

// The OSD notice keys by notice type.
const char* NoticeKey(int type);

CTVConfig* Section(CUISystem& system);
plat::ComPtr<IGrabber> Engine(CUISystem& system);
ITvPageEvents* Page(CUISystem& system);
// Shows OSD notice `type` (10 the channel name).
void Notice(CUISystem& system, int type);
void MuteSourceLines(CUISystem& system, int mute);
// Mutes the output while the engine starts, scans or shows the wall; the
// unmute only undoes the TV's own mute, so a mute of the user's stays.
void MuteOutput(CUISystem& system, bool mute);
void ReadKeyColour(CUISystem& system, IGrabber& engine);
int PreviewOn(CUISystem& system);
int PreviewOff(CUISystem& system);
void RemainingTime(CUISystem& system);
// The channel lists from the scanned channels of the TV section; after a
// scan (or without any) from the band's channels where a station was found,
// all of them enabled.
void RebuildChannels(CUISystem& system, bool afterScan);
void RebuildCountries(CUISystem& system);
void RebuildProfiles(CUISystem& system);
void ReadEngineNames(CUISystem& system, IGrabber& engine);
void ReadPal(CUISystem& system, IGrabber& engine);
bool InitEngine(CUISystem& system, IGrabber& engine);
void Resize(CUISystem& system, const plat::RECT* given);
void ShowPreviewPage(CUISystem& system);

// "TV Entry", and every other action with the engine at hand.
int Entry(CUISystem& system);
int Dispatch(CUISystem& system, IGrabber& engine, CTVConfig& tv, int id, std::intptr_t a, std::intptr_t b);
int PictureSnapshot(CUISystem& system, IGrabber& engine, CTVConfig& tv);
int TeletextSnapshot(CUISystem& system, IGrabber& engine, CTVConfig& tv);
// The engine has written the pending snapshot's temporary file.
void FinishPictureSnapshot(CUISystem& system, CTVConfig& tv);

}  // namespace tv_controller
