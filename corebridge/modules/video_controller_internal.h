// Steps shared by the Video controller's files: the section, the page's
// calls, remote-control notices and the playback steps the page actions and
// the engine events both need.
#pragma once

#include <string>
#include <vector>

#include "corebridge/core/video_config.h"

class CUISystem;

namespace video_controller {

inline constexpr int kNormalSpeed = 10000;

CVideoConfig* Section(CUISystem& system);
// Page calls; nothing happens without the page.
void ShowStatePage(CUISystem& system);
void RedrawPage(CUISystem& system, int flag);
// Sets the page state (and the previous state when `both`), then shows it.
void GoToState(CUISystem& system, int state, bool both);
// The playback mode for the remote-control window (vendor 1 only).
void NotifyMode(CUISystem& system, int mode);
// Whether playback actions go to the capture controller (DV capture page).
bool InDvCapture(const CVideoConfig& video);

// The list playback takes its file from in a page state (3 recent, 15 edit,
// else the folder list) and that list's index.
std::vector<std::string>& ListOfState(CVideoConfig& video, int state);
int& IndexOfState(CVideoConfig& video, int state);

// Opens (or resumes) and plays `path`; false when it cannot be played, in
// which case the engine holds no file.
bool OpenAndPlay(CUISystem& system, const std::string& path);
// Stops and closes the open file; false while a file is being opened.
bool StopFile(CUISystem& system);
// Closes the open file without the settling waits (end of playback).
void CloseFile(CUISystem& system);
// Reads the play state and the trick-play answers from the engine.
void RefreshPlayState(CUISystem& system);
// "Video Stop": stops the file, back to the state before playback.
int LeavePlayback(CUISystem& system);

}  // namespace video_controller
